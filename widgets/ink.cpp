// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ink.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <utility>

namespace arrowsel::widgets {

namespace {

double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

QColor mix(const QColor& a, const QColor& b, double t) {
    const auto at = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(at(a.red(), b.red()), at(a.green(), b.green()), at(a.blue(), b.blue()));
}

// Lives as a child of its widget and watches it, so that the choice outlives no widget and
// follows every palette the widget is given from above.
class InkKeeper : public QObject {
public:
    explicit InkKeeper(QWidget& widget) : QObject(&widget), widget_(widget) { widget.installEventFilter(this); }

    void keep(QPalette::ColorRole role, std::function<QColor(const QPalette&)> ink) {
        role_ = role;
        ink_ = std::move(ink);
        apply();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &widget_ && (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange)) {
            apply();
        }
        return false;
    }

private:
    // Setting the palette comes back here as a palette change; the same choice ends it.
    void apply() {
        const QColor ink = ink_(inheritedPalette(widget_));
        QPalette pal = widget_.palette();
        if (pal.color(QPalette::Active, role_) == ink && pal.color(QPalette::Inactive, role_) == ink) {
            return;
        }
        pal.setColor(QPalette::Active, role_, ink);
        pal.setColor(QPalette::Inactive, role_, ink);
        widget_.setPalette(pal);
    }

    QWidget& widget_;
    QPalette::ColorRole role_ = QPalette::WindowText;
    std::function<QColor(const QPalette&)> ink_;
};

} // namespace

double relativeLuminance(const QColor& color) {
    const QColor c = color.toRgb();
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& background, const QColor& wanted, const QColor& fallback) {
    constexpr int kSteps = 20;
    for (int step = 0; step < kSteps; ++step) {
        const QColor c = mix(wanted, fallback, double(step) / kSteps);
        if (contrastRatio(c, background) >= kReadableContrast) {
            return c;
        }
    }
    return fallback;
}

QColor inkFor(const QColor& chosen, const QColor& background, const QColor& text) {
    if (chosen.toRgb() == QColor(Qt::black)) {
        return text;
    }
    return readableOn(background, chosen, text);
}

QPalette inheritedPalette(const QWidget& widget) {
    const QWidget* parent = widget.isWindow() ? nullptr : widget.parentWidget();
    return parent != nullptr ? parent->palette() : QApplication::palette(&widget);
}

void keepInk(QWidget& widget, QPalette::ColorRole role, std::function<QColor(const QPalette& inherited)> ink) {
    InkKeeper* keeper = nullptr;
    for (QObject* child : widget.children()) {
        keeper = keeper != nullptr ? keeper : dynamic_cast<InkKeeper*>(child);
    }
    if (keeper == nullptr) {
        keeper = new InkKeeper(widget);
    }
    keeper->keep(role, std::move(ink));
}

void keepChosenInk(QWidget& widget, const QColor& chosen, QPalette::ColorRole role, QPalette::ColorRole background) {
    keepInk(widget, role, [chosen, role, background](const QPalette& p) {
        return inkFor(chosen, p.color(background), p.color(role));
    });
}

} // namespace arrowsel::widgets
