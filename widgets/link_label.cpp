// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/link_label.h"

#include "ui/message_seam.h"
#include "widgets/ink.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace arrowsel::widgets {

namespace {
const QColor kLinkBlue(0x00, 0x00, 0xCC);
const QColor kPressedRed(0xCC, 0x00, 0x00);

// The window's own blue and red where they read; on a dark desktop the desktop's link colour, and
// a red lightened until it reads.
QColor linkInk(const QPalette& p, bool pressed) {
    const QColor background = p.color(QPalette::Window);
    const QColor text = p.color(QPalette::WindowText);
    if (pressed) {
        return readableOn(background, kPressedRed, text);
    }
    if (contrastRatio(kLinkBlue, background) >= kReadableContrast) {
        return kLinkBlue;
    }
    return readableOn(background, p.color(QPalette::Link), text);
}
} // namespace

TLinkLabel::TLinkLabel(const QString& text, const QUrl& url, QWidget* parent) : QLabel(text, parent), url_(url) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    setPressed(false);
    setToolTip(url.toString());
    setAccessibleName(text);
    setAccessibleDescription(url.toString());
}

void TLinkLabel::open() {
    ui::MessageSeam& seam = ui::MessageSeam::current();
    if (!seam.openUrl(url_)) {
        seam.error(window(), tr("No web browser could open %1.\n\nOpen it in a browser yourself, or set "
                                "up a web browser for this desktop and try again.")
                                 .arg(url_.toString()));
    }
    emit opened();
}

void TLinkLabel::setPressed(bool pressed) {
    keepInk(*this, QPalette::WindowText, [pressed](const QPalette& p) { return linkInk(p, pressed); });
}

void TLinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        setPressed(true);
    }
    QLabel::mousePressEvent(event);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        setPressed(false);
    }
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        open();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void TLinkLabel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        open();
        return;
    }
    QLabel::keyPressEvent(event);
}

void TLinkLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (hasFocus()) {
        QPainter p(this);
        QStyleOptionFocusRect opt;
        opt.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &p, this);
    }
}

TLabelButton::TLabelButton(const QString& caption, QWidget* parent) : QAbstractButton(parent) {
    setText(caption);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setForegroundRole(QPalette::WindowText); // drawn on the window, as a label is
}

QSize TLabelButton::sizeHint() const {
    QFontMetrics fm = fontMetrics();
    return {fm.horizontalAdvance(text()) + 8, fm.height() + 4};
}

void TLabelButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QColor ink = palette().color(foregroundRole());
    p.setPen(isDown() ? ink.lighter(160) : ink);
    p.drawText(rect(), Qt::AlignCenter | Qt::TextShowMnemonic, text());
    if (hasFocus()) {
        QStyleOptionFocusRect opt;
        opt.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &p, this);
    }
}

} // namespace arrowsel::widgets
