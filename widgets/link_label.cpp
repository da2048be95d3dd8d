#include "widgets/link_label.h"

#include "widgets/message_seam.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace arrowsel::widgets {

TLinkLabel::TLinkLabel(const QString& text, const QUrl& url, QWidget* parent) : QLabel(text, parent), url_(url) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0xCC));
    setPalette(pal);
    setToolTip(url.toString());
    setAccessibleName(text);
    setAccessibleDescription(url.toString());
}

void TLinkLabel::open() {
    MessageSeam::current().openUrl(url_);
    emit opened();
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        open();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void TLinkLabel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
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
}

QSize TLabelButton::sizeHint() const {
    QFontMetrics fm = fontMetrics();
    return {fm.horizontalAdvance(text()) + 8, fm.height() + 4};
}

void TLabelButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QColor ink = palette().color(QPalette::WindowText);
    p.setPen(isDown() ? ink.lighter(160) : ink);
    p.drawText(rect(), Qt::AlignCenter | Qt::TextShowMnemonic, text());
    if (hasFocus()) {
        QStyleOptionFocusRect opt;
        opt.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &p, this);
    }
}

} // namespace arrowsel::widgets
