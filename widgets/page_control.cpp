// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/page_control.h"

namespace arrowsel::widgets {

TFixedTabBar::TFixedTabBar(QSize tabSize, QWidget* parent) : QTabBar(parent), tabSize_(tabSize) {
    setAttribute(Qt::WA_Hover); // hot-tracking: the style highlights the tab under the mouse
    setExpanding(false);
    setElideMode(Qt::ElideNone);
    setUsesScrollButtons(false);
}

QSize TFixedTabBar::tabSizeHint(int) const {
    return tabSize_;
}

TPageControl::TPageControl(QSize tabSize, QWidget* parent) : QTabWidget(parent) {
    setTabBar(new TFixedTabBar(tabSize, this));
}

} // namespace arrowsel::widgets
