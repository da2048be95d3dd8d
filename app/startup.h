// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QIcon>

namespace arrowsel::app {

struct StartOptions {
    // Leave the event loop as soon as the main window has painted once (start-up timing).
    bool quitAfterFirstPaint = false;
};

// The program's icon at the sizes the desktop's icon theme has, compiled into the program.
QIcon programIcon();

// The style the user asked for with -style (or --style, -style=name) on `argv` or with
// QT_STYLE_OVERRIDE, as Qt reads them; empty when none. Read before QApplication, which takes the
// option out of argv.
QString requestedStyle(int argc, const char* const* argv);

// Application name, style and font shared by the program and the developer tools that picture it.
// The style is Fusion, in which the window's fixed layout is measured, unless `requestedStyle`
// names a style Qt has: then that one.
void applyAppearance(QApplication& app, const QString& requestedStyle = {});

// The whole program: splash, data folder, forms in their order, event loop. Returns the exit code.
int runProgram(int& argc, char** argv, const StartOptions& options = {});

} // namespace arrowsel::app
