// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the main window's own files share while they make it: the hidden working labels (named,
// never shown, read by tests and screen grabs through their objectNames) and each page's Print,
// which its button and Ctrl+P both run.

#include "app/arrow_sel.h"
#include "engine/page.h"

class QLabel;
class QString;
class QWidget;

namespace arrowsel::app {

// A label that is made hidden and stays so.
QLabel* hiddenLabel(const QString& name, QWidget* parent);

// Each page's Print: its command (the button and Ctrl+P) and its button's name.
struct PagePrint {
    Command command;
    const char* buttonName;
};

PagePrint pagePrint(engine::Page page);

} // namespace arrowsel::app
