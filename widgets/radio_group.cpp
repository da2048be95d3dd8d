// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/radio_group.h"

#include "widgets/ink.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QPainter>
#include <QStyleOptionButton>

namespace arrowsel::widgets {

void TRadioItem::setColors(const QColor& checked, const QColor& lineFocus) {
    if (checked == checked_ && lineFocus == lineFocus_) {
        return;
    }
    checked_ = checked;
    lineFocus_ = lineFocus;
    update();
}

void TRadioItem::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool enabled = isEnabled();
    const int box = 13;
    const QRect circle(1, (height() - box) / 2, box, box);
    p.setPen(enabled ? QColor(0x60, 0x60, 0x60) : QColor(0xA0, 0xA0, 0xA0));
    p.setBrush(enabled ? QColor(Qt::white) : palette().color(QPalette::Window));
    p.drawEllipse(circle);
    if (isChecked()) {
        p.setPen(Qt::NoPen);
        p.setBrush(enabled ? checked_ : QColor(0xA0, 0xA0, 0xA0));
        p.drawEllipse(circle.adjusted(3, 3, -3, -3));
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRect textRect(box + 6, 0, width() - box - 6, height());
    p.setPen(enabled ? palette().color(QPalette::WindowText)
                     : palette().color(QPalette::Disabled, QPalette::WindowText));
    QRect drawn;
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text(), &drawn);
    if (hasFocus()) {
        p.setPen(
            QPen(readableOn(palette().color(QPalette::Window), lineFocus_, palette().color(QPalette::WindowText)), 1));
        const int y = drawn.bottom() + 1 < height() ? drawn.bottom() + 1 : height() - 1;
        p.drawLine(drawn.left(), y, drawn.right(), y);
    }
}

TRadioGroup::TRadioGroup(QWidget* parent)
    : QGroupBox(parent), group_(new QButtonGroup(this)), grid_(new QGridLayout(this)) {
    grid_->setContentsMargins(8, 2, 4, 2);
    grid_->setHorizontalSpacing(6);
    grid_->setVerticalSpacing(0);
    connect(group_, &QButtonGroup::idToggled, this, &TRadioGroup::onToggled);
}

void TRadioGroup::setItems(const QStringList& items) {
    for (TRadioItem* item : items_) {
        group_->removeButton(item);
        delete item;
    }
    items_.clear();
    for (int i = 0; i < items.size(); ++i) {
        auto* item = new TRadioItem(items[i], this);
        item->setAccessibleName(QString(items[i]).remove(QLatin1Char('&')).trimmed());
        group_->addButton(item, i);
        items_.push_back(item);
    }
    relayout();
    applyColors();
    if (itemIndex_ >= 0 && itemIndex_ < int(items_.size())) {
        items_[std::size_t(itemIndex_)]->setChecked(true);
    }
}

QStringList TRadioGroup::items() const {
    QStringList result;
    for (const TRadioItem* item : items_) {
        result << item->text();
    }
    return result;
}

void TRadioGroup::setColumns(int columns) {
    columns_ = columns < 1 ? 1 : columns;
    relayout();
}

void TRadioGroup::relayout() {
    const int count = int(items_.size());
    const int rows = (count + columns_ - 1) / columns_;
    for (int i = 0; i < count; ++i) {
        grid_->removeWidget(items_[std::size_t(i)]);
        grid_->addWidget(items_[std::size_t(i)], rows ? i % rows : 0, rows ? i / rows : 0);
    }
}

void TRadioGroup::setItemIndex(int index) {
    if (index == itemIndex_) {
        return;
    }
    if (index >= 0 && index < int(items_.size())) {
        items_[std::size_t(index)]->setChecked(true); // the toggle handler records the index and signals
        return;
    }
    // No item: uncheck whatever is checked without letting the exclusive group refuse it.
    group_->setExclusive(false);
    for (TRadioItem* item : items_) {
        item->setChecked(false);
    }
    group_->setExclusive(true);
    itemIndex_ = index;
    emit clicked();
}

void TRadioGroup::onToggled(int id, bool checked) {
    if (!checked || id == itemIndex_) {
        return;
    }
    itemIndex_ = id;
    emit clicked();
}

void TRadioGroup::setColorChecked(const QColor& color) {
    colorChecked_ = color;
    applyColors();
}

void TRadioGroup::setColorLineFocus(const QColor& color) {
    colorLineFocus_ = color;
    applyColors();
}

void TRadioGroup::setFontColor(const QColor& color) {
    if (color == fontColor_) {
        return;
    }
    fontColor_ = color;
    keepChosenInk(*this, color);
}

void TRadioGroup::applyColors() {
    for (TRadioItem* item : items_) {
        item->setColors(colorChecked_, colorLineFocus_);
    }
}

TRadioItem* TRadioGroup::item(int index) const {
    return index >= 0 && index < int(items_.size()) ? items_[std::size_t(index)] : nullptr;
}

} // namespace arrowsel::widgets
