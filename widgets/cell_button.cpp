// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/cell_button.h"

#include <QCursor>
#include <QEnterEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace arrowsel::widgets {

TCellButton::TCellButton(QWidget* parent) : QAbstractButton(parent), color_(Qt::white) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCellButton::setCaption(const QString& caption) {
    if (caption == caption_) {
        return;
    }
    caption_ = caption;
    updateAccessibleName();
    update();
}

void TCellButton::setColor(const QColor& color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    update();
}

void TCellButton::setShowCaption(bool show) {
    showCaption_ = show;
    updateAccessibleName();
    update();
}

void TCellButton::setCellEnabled(bool enabled) {
    setEnabled(enabled);
}

void TCellButton::setHint(const QString& hint) {
    if (hint == toolTip()) {
        return;
    }
    setToolTip(hint);
    updateAccessibleDescription();
}

void TCellButton::setColorMeaning(const QString& meaning) {
    if (meaning == colorMeaning_) {
        return;
    }
    colorMeaning_ = meaning;
    updateAccessibleDescription();
}

void TCellButton::updateAccessibleDescription() {
    const QString hint = toolTip();
    setAccessibleDescription(colorMeaning_.isEmpty() ? hint
                             : hint.isEmpty()        ? colorMeaning_
                                                     : tr("%1. %2").arg(hint, colorMeaning_));
}

void TCellButton::setAccessibleFallback(const QString& name) {
    fallbackName_ = name;
    updateAccessibleName();
}

void TCellButton::setPointingCursor(bool pointing) {
    pointing_ = pointing;
    updateCursor();
}

void TCellButton::updateCursor() {
    if (pointing_ && isEnabled()) {
        setCursor(Qt::PointingHandCursor);
    } else {
        unsetCursor();
    }
}

void TCellButton::updateAccessibleName() {
    QString name = showCaption_ && !caption_.isEmpty() ? caption_ : fallbackName_;
    if (name != accessibleName()) {
        setAccessibleName(name);
    }
}

QSize TCellButton::sizeHint() const {
    QFontMetrics fm = fontMetrics();
    return {fm.horizontalAdvance(caption_) + 12, fm.height() + 8};
}

void TCellButton::changeEvent(QEvent* event) {
    // QWidget repaints on a change of the enabled state; this button's face does not depend on it.
    if (event->type() == QEvent::EnabledChange) {
        updateCursor();
        event->accept();
        return;
    }
    QAbstractButton::changeEvent(event);
}

bool TCellButton::pointerOver() const {
    return rect().contains(mapFromGlobal(QCursor::pos()));
}

void TCellButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    if (pointerInside_) {
        return; // back from a modal box over a pointer that stayed put
    }
    pointerInside_ = true;
    emit mouseEntered();
    // A box shown meanwhile may have been closed after the pointer moved off: then no leave
    // reaches this button, and the next enter is a new entry.
    pointerInside_ = pointerOver();
}

void TCellButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    pointerInside_ = pointerOver();
}

void TCellButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    p.fillRect(r, color_);
    // A thin raised bevel, sunk while pressed.
    QColor light = isDown() ? color_.darker(150) : QColor(Qt::white);
    QColor dark = isDown() ? QColor(Qt::white) : color_.darker(160);
    p.setPen(light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(dark);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    if (showCaption_ && !caption_.isEmpty()) {
        p.setPen(Qt::black);
        p.setFont(font());
        QRect textRect = r.adjusted(3, 1, -3, -1);
        if (isDown()) {
            textRect.translate(1, 1);
        }
        p.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, caption_);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect opt;
        opt.initFrom(this);
        opt.rect = r.adjusted(2, 2, -2, -2);
        opt.backgroundColor = color_;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &p, this);
    }
}

} // namespace arrowsel::widgets
