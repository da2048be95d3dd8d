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

// Application name, style and font shared by the program and the developer tools that picture it.
void applyAppearance(QApplication& app);

// The whole program: splash, data folder, forms in their order, event loop. Returns the exit code.
int runProgram(int& argc, char** argv, const StartOptions& options = {});

} // namespace arrowsel::app
