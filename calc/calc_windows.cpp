// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/calc_windows.h"

#include "calc/about_box1.h"
#include "calc/ke_calc2.h"
#include "calc/specs_frm.h"
#include "present/window_state.h"
#include "ui/guarded.h"
#include "ui/message_seam.h"

#include <QCoreApplication>
#include <memory>
#include <utility>

namespace arrowsel::calc {

namespace {

BuildSheetPrinter& buildSheetPrinter() {
    static BuildSheetPrinter printer;
    return printer;
}

} // namespace

void setBuildSheetPrinter(BuildSheetPrinter printer) {
    buildSheetPrinter() = std::move(printer);
}

void printBuildSheet(QWidget* parent, const BuildSheet& sheet) {
    if (const BuildSheetPrinter& printer = buildSheetPrinter()) {
        printer(parent, sheet);
        return;
    }
    ui::MessageSeam::current().error(
        parent, QCoreApplication::translate("arrowsel::calc::BuildSheet",
                                            "The build sheet cannot be printed: no printing is set up."));
}

void openKineticEnergyCalculator(QWidget* parent, const MainWindowState& mainWindow) {
    TKECalc2 window(mainWindow.dataFolder(), parent);
    ui::MessageSeam::current().execModal(window);
}

void openModelsGuide(QWidget* parent, const std::filesystem::path& dataFolder, const std::string& pageTag) {
    TAboutBox1 window(dataFolder, pageTag, parent);
    ui::MessageSeam::current().execModal(window);
}

void openSpecsWindow(QWidget* parent, const SpecsRequest& request) {
    std::unique_ptr<TSpecsFrm> window;
    if (!ui::runGuarded(parent, [&] { window = std::make_unique<TSpecsFrm>(request, parent); })) {
        return;
    }
    ui::MessageSeam::current().execModal(*window);
}

} // namespace arrowsel::calc
