// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the program and leaves it after the main window's first paint: the start-up benchmark
// times this executable from process start to exit.
#include "app/startup.h"

int main(int argc, char** argv) {
    arrowsel::app::StartOptions options;
    options.quitAfterFirstPaint = true;
    return arrowsel::app::runProgram(argc, argv, options);
}
