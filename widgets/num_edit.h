// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QLineEdit>
#include <QWidget>

class QToolButton;

namespace arrowsel::widgets {

class TUpDown;

// A right-aligned edit for a whole number. Typed text is taken as it is (checking it is the
// reader's job); the arrow keys step the associated up-down, as its buttons do.
class TNumEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TNumEdit(QWidget* parent = nullptr);

    void setUpDown(TUpDown* upDown) { upDown_ = upDown; }
    TUpDown* upDown() const { return upDown_; }
    // The chart's colour for the text; it is drawn as widgets::inkFor picks (black: the palette's).
    QColor fontColor() const { return fontColor_; }
    void setFontColor(const QColor& color);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TUpDown* upDown_ = nullptr;
    QColor fontColor_ = Qt::black;
};

// Two arrow buttons beside an edit that step its number by `increment` within [min, max]. A step
// starts from the number the edit holds (clamped into the range), or from the last position when
// the edit holds no number, so a typed value is stepped from where the user left it.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(int min, int max, int increment, QWidget* parent = nullptr);

    void associate(TNumEdit* edit);
    TNumEdit* associated() const { return edit_; }
    int min() const { return min_; }
    int max() const { return max_; }
    int increment() const { return increment_; }
    int position() const { return position_; }
    void setPosition(int position);

    void stepUp() { step(+1); }
    void stepDown() { step(-1); }

private:
    void step(int direction);

    TNumEdit* edit_ = nullptr;
    QToolButton* up_;
    QToolButton* down_;
    int min_;
    int max_;
    int increment_;
    int position_;
};

} // namespace arrowsel::widgets
