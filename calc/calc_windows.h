// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <string>

class QWidget;

namespace arrowsel {
class MainWindowState;
}

namespace arrowsel::calc {

struct BuildSheet;
struct SpecsRequest;

// The main window's commands that open this layer's windows. Each makes a new window, shows it
// modally through the message seam and frees it when it closes.

// "Kinetic Energy/F.O.C. Calculator" (KECalcBtnClick).
void openKineticEnergyCalculator(QWidget* parent, const MainWindowState& mainWindow);

// "2009 Shaft Models" and the pages' "2009" buttons (ModelsClick): the guide of the page whose tag
// the last selection run wrote (TmpLbl2).
void openModelsGuide(QWidget* parent, const std::filesystem::path& dataFolder, const std::string& pageTag);

// A size click (TSzBtnClick), with the shaft it chose. When the specification table or its index
// cannot be opened, the engine's message is shown and no window opens; so is the conversion error
// of an arrow length or point weight that is no whole number.
void openSpecsWindow(QWidget* parent, const SpecsRequest& request);

// Prints a finished arrow's build sheet; installed by whoever provides the printed reports (the
// windows of this layer know no report).
using BuildSheetPrinter = std::function<void(QWidget* parent, const BuildSheet& sheet)>;
void setBuildSheetPrinter(BuildSheetPrinter printer);
// Prints through the installed printer; without one, says that nothing can be printed here.
void printBuildSheet(QWidget* parent, const BuildSheet& sheet);

} // namespace arrowsel::calc
