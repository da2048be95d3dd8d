// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QTabBar>
#include <QTabWidget>

namespace arrowsel::widgets {

// A page control whose tabs all have one fixed size and light up under the mouse.
class TPageControl : public QTabWidget {
    Q_OBJECT
public:
    explicit TPageControl(QSize tabSize, QWidget* parent = nullptr);
};

class TFixedTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit TFixedTabBar(QSize tabSize, QWidget* parent = nullptr);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }

private:
    QSize tabSize_;
};

} // namespace arrowsel::widgets
