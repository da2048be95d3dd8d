// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>
#include <vector>

class QButtonGroup;
class QGridLayout;

namespace arrowsel::widgets {

// One item of a TRadioGroup, painted with the group's colours: the checked dot in ColorChecked and
// a line under the text of the focused item in ColorLineFocus.
class TRadioItem : public QRadioButton {
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;
    void setColors(const QColor& checked, const QColor& lineFocus);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor checked_ = Qt::black;
    QColor lineFocus_ = Qt::black;
};

// A captioned group of radio items in one or more columns. The value is the item index (-1 when
// none is chosen). clicked() comes whenever the index changes, from the user or from code, as the
// handlers bound to it expect a setup restored into the group to be recomputed.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(int itemIndex READ itemIndex WRITE setItemIndex NOTIFY clicked)

public:
    explicit TRadioGroup(QWidget* parent = nullptr);

    void setItems(const QStringList& items);
    QStringList items() const;
    int itemIndex() const { return itemIndex_; }
    void setItemIndex(int index);
    void setColumns(int columns);
    int columns() const { return columns_; }

    QColor colorChecked() const { return colorChecked_; }
    void setColorChecked(const QColor& color);
    QColor colorLineFocus() const { return colorLineFocus_; }
    void setColorLineFocus(const QColor& color);
    // The chart's colour for the caption and items; drawn as widgets::inkFor picks (black: the
    // palette's).
    QColor fontColor() const { return fontColor_; }
    void setFontColor(const QColor& color);
    TRadioItem* item(int index) const;

signals:
    void clicked();

private:
    void relayout();
    void applyColors();
    void onToggled(int id, bool checked);

    QButtonGroup* group_;
    QGridLayout* grid_;
    std::vector<TRadioItem*> items_;
    int itemIndex_ = -1;
    int columns_ = 1;
    QColor colorChecked_ = Qt::black;
    QColor colorLineFocus_ = Qt::black;
    QColor fontColor_ = Qt::black;
};

} // namespace arrowsel::widgets
