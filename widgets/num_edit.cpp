// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/num_edit.h"

#include "widgets/ink.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>

namespace arrowsel::widgets {

namespace {

// The edit's number when it holds one (blanks around it allowed), by the C locale's rules.
bool editNumber(const QString& text, int& value) {
    const QByteArray bytes = text.trimmed().toLatin1();
    const char* begin = bytes.constData();
    const char* end = begin + bytes.size();
    if (begin != end && *begin == '+') {
        ++begin;
    }
    auto [ptr, ec] = std::from_chars(begin, end, value);
    return ec == std::errc() && ptr == end && begin != end;
}

} // namespace

TNumEdit::TNumEdit(QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void TNumEdit::setFontColor(const QColor& color) {
    if (color == fontColor_) {
        return;
    }
    fontColor_ = color;
    keepChosenInk(*this, color, QPalette::Text, QPalette::Base);
}

void TNumEdit::keyPressEvent(QKeyEvent* event) {
    if (upDown_ && upDown_->isEnabled() && event->modifiers() == Qt::NoModifier) {
        if (event->key() == Qt::Key_Up) {
            upDown_->stepUp();
            return;
        }
        if (event->key() == Qt::Key_Down) {
            upDown_->stepDown();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

TUpDown::TUpDown(int min, int max, int increment, QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)), min_(min), max_(max),
      increment_(increment), position_(min) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* b : {up_, down_}) {
        b->setFocusPolicy(Qt::NoFocus); // the edit's arrow keys do the same from the keyboard
        b->setAutoRepeat(true);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(b);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setAccessibleName(tr("Up"));
    down_->setAccessibleName(tr("Down"));
    connect(up_, &QToolButton::clicked, this, &TUpDown::stepUp);
    connect(down_, &QToolButton::clicked, this, &TUpDown::stepDown);
}

void TUpDown::associate(TNumEdit* edit) {
    edit_ = edit;
    edit->setUpDown(this);
    int value = 0;
    if (editNumber(edit->text(), value)) {
        position_ = std::clamp(value, min_, max_);
    }
    const QString name = edit->accessibleName();
    if (!name.isEmpty()) {
        up_->setAccessibleName(tr("Increase %1").arg(name));
        down_->setAccessibleName(tr("Decrease %1").arg(name));
    }
}

void TUpDown::setPosition(int position) {
    position_ = std::clamp(position, min_, max_);
    if (edit_) {
        edit_->setText(QString::number(position_));
    }
}

void TUpDown::step(int direction) {
    int value = 0;
    if (edit_ && editNumber(edit_->text(), value)) {
        position_ = std::clamp(value, min_, max_);
    }
    setPosition(position_ + direction * increment_);
}

} // namespace arrowsel::widgets
