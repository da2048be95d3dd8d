// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QWidget;

namespace arrowsel {
class MainWindowState;
}

namespace arrowsel::calc {

struct BuildSheet;

// The main window's commands that open this layer's windows. Each makes a new window, shows it
// modally through the message seam and frees it when it closes.

// "Kinetic Energy/F.O.C. Calculator" (KECalcBtnClick).
void openKineticEnergyCalculator(QWidget* parent, const MainWindowState& mainWindow);

// "2009 Shaft Models" and the pages' "2009" buttons (ModelsClick).
void openModelsGuide(QWidget* parent, const MainWindowState& mainWindow);

// A size click (TSzBtnClick), after TmpLbl, SpcLbl and Mods are set. When the specification table
// or its index cannot be opened, the engine's message is shown and no window opens.
void openSpecsWindow(QWidget* parent, const MainWindowState& mainWindow);

// Prints a finished arrow's build sheet; installed by whoever provides the printed reports (the
// windows of this layer know no report).
using BuildSheetPrinter = std::function<void(QWidget* parent, const BuildSheet& sheet)>;
void setBuildSheetPrinter(BuildSheetPrinter printer);
// Prints through the installed printer; without one, says that nothing can be printed here.
void printBuildSheet(QWidget* parent, const BuildSheet& sheet);

} // namespace arrowsel::calc
