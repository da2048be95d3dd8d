// SPDX-License-Identifier: GPL-3.0-or-later
// Every window under a dark desktop palette: each text it shows reads on what is behind it.
// ARROWSEL_DARK_PICTURES=<folder> also leaves each window's picture there, to look at.
#include "app/arrow_sel.h"
#include "app/side_commands.h"
#include "tests/app/every_window.h"
#include "tests/support/recording_seam.h"
#include "tests/support/temp_dir.h"
#include "widgets/cell_button.h"
#include "widgets/ink.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOptionGroupBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace arrowsel::app {
namespace {

namespace fs = std::filesystem;
using widgets::contrastRatio;

// A dark scheme as desktops ship it (the colours of Adwaita-dark).
QPalette darkPalette() {
    const QColor window(0x35, 0x35, 0x35);
    const QColor base(0x2a, 0x2a, 0x2a);
    const QColor text(0xee, 0xee, 0xee);
    QPalette p(text, window, window.lighter(150), window.darker(200), window.darker(150), text, Qt::white, base,
               window);
    p.setColor(QPalette::AlternateBase, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x56, 0xa0, 0xd3));
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, QColor(0x91, 0x91, 0x91));
    }
    return p;
}

QPalette::ColorGroup groupOf(const QWidget& w) {
    return w.isActiveWindow() ? QPalette::Active : QPalette::Inactive;
}

// A colour a style sheet on the widget or above it gives `property`, the nearest first.
std::optional<QColor> sheetColor(const QWidget& w, const QString& property) {
    const QRegularExpression rule(QStringLiteral("(?:^|[;{\\s])%1\\s*:\\s*([^;}]+)").arg(property));
    for (const QWidget* a = &w; a != nullptr; a = a->parentWidget()) {
        const QRegularExpressionMatch m = rule.match(a->styleSheet());
        if (m.hasMatch()) {
            return QColor::fromString(m.captured(1).trimmed());
        }
    }
    return std::nullopt;
}

// The widgets that paint a background of their own under their text.
bool paintsItsBackground(const QWidget& w) {
    const auto* area = w.parentWidget() ? qobject_cast<const QAbstractScrollArea*>(w.parentWidget()) : nullptr;
    return w.isWindow() || w.autoFillBackground() || qobject_cast<const QPushButton*>(&w) ||
           qobject_cast<const QToolButton*>(&w) || qobject_cast<const QLineEdit*>(&w) ||
           qobject_cast<const QComboBox*>(&w) || (area != nullptr && area->viewport() == &w);
}

// What is behind a text the widget draws: its own background where it paints one, else the
// nearest one above it.
QColor behind(const QWidget& w) {
    if (const auto sheet = sheetColor(w, QStringLiteral("background(?:-color)?"))) {
        return *sheet;
    }
    const QWidget* a = &w;
    while (!paintsItsBackground(*a)) {
        a = a->parentWidget();
    }
    return a->palette().color(groupOf(*a), a->backgroundRole());
}

QColor inkOf(const QWidget& w, QPalette::ColorRole role) {
    if (const auto sheet = sheetColor(w, QStringLiteral("color"))) {
        return *sheet;
    }
    return w.palette().color(groupOf(w), role);
}

struct Text {
    QString shown;
    QColor ink;
    QColor background;
};

// The text a widget shows and the colours it is drawn in, as the widget resolves them; nothing for
// a widget without text of its own.
std::optional<Text> textOf(const QWidget& w) {
    if (const auto* cell = qobject_cast<const widgets::TCellButton*>(&w)) {
        // A cell's colour is the chart's meaning, whatever the desktop: its text is always black.
        return Text{cell->caption(), Qt::black, cell->color()};
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(&w)) {
        return Text{edit->text(), inkOf(w, QPalette::Text), behind(w)};
    }
    if (const auto* edit = qobject_cast<const QTextEdit*>(&w)) {
        return Text{edit->toPlainText().left(40), inkOf(*edit->viewport(), QPalette::Text), behind(*edit->viewport())};
    }
    if (const auto* box = qobject_cast<const QGroupBox*>(&w); box && !box->title().isEmpty()) {
        QStyleOptionGroupBox opt;
        opt.initFrom(box);
        const QColor title =
            QColor::fromRgba(QRgb(box->style()->styleHint(QStyle::SH_GroupBox_TextLabelColor, &opt, box)));
        return Text{box->title(), title, behind(*box->parentWidget())};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&w); button && !button->text().isEmpty()) {
        return Text{button->text(), inkOf(w, w.foregroundRole()), behind(w)};
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(&w); combo && !combo->isEditable()) {
        return Text{combo->currentText(), inkOf(w, w.foregroundRole()), behind(w)};
    }
    if (const auto* label = qobject_cast<const QLabel*>(&w); label && !label->text().isEmpty()) {
        return Text{label->text(), inkOf(w, w.foregroundRole()), behind(w)};
    }
    return std::nullopt;
}

// Every text of `top` that shows, with its contrast below the readable least. Disabled controls
// are left out: their greyed text says that they do not answer.
void checkReadable(QWidget& top, const QString& name) {
    QApplication::processEvents();
    const QImage picture = top.grab().toImage();
    if (const QString folder = qEnvironmentVariable("ARROWSEL_DARK_PICTURES"); !folder.isEmpty()) {
        QDir().mkpath(folder);
        picture.save(QDir(folder).filePath(name + QStringLiteral(".png")));
    }
    QList<QWidget*> widgets = top.findChildren<QWidget*>();
    widgets.prepend(&top);
    int measured = 0;
    for (const QWidget* w : widgets) {
        if (!w->isVisible() || !w->isEnabled() || w->window() != &top) {
            continue;
        }
        const std::optional<Text> text = textOf(*w);
        if (!text) {
            continue;
        }
        ++measured;
        const double ratio = contrastRatio(text->ink, text->background);
        EXPECT_GE(ratio, widgets::kReadableContrast)
            << name.toStdString() << ": " << w->metaObject()->className() << " " << w->objectName().toStdString()
            << " \"" << text->shown.left(40).toStdString() << "\" " << text->ink.name().toStdString() << " on "
            << text->background.name().toStdString() << " (" << ratio << ":1)";
    }
    EXPECT_GT(measured, 0) << name.toStdString();
}

class DarkPaletteTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path bundled = fs::path(ARROWSEL_BINARY_DIR) / "sampledata" / "data";
        if (!fs::exists(bundled / "HUNTCHRT.DBF")) {
            GTEST_SKIP() << "sample data not generated";
        }
        fs::copy(bundled, folder.path(), fs::copy_options::recursive);
        QApplication::setPalette(darkPalette());
    }
    void TearDown() override { QApplication::setPalette(light); }

    const QPalette light = QApplication::palette();
    test::TempDir folder;
    test::RecordingSeam seam;
};

TEST_F(DarkPaletteTest, everyTextOfEveryWindowReadsOnItsBackground) {
    TArrowSel window(folder.path());
    installSideCommands(window);
    test::visitEveryWindow(window, seam, [](QWidget& top, const QString& name) { checkReadable(top, name); });
}

} // namespace
} // namespace arrowsel::app
