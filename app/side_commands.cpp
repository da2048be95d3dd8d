// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/side_commands.h"

#include "app/arrow_sel.h"
#include "calc/calc_windows.h"
#include "calc/specs_request.h"
#include "records/get_cust.h"
#include "records/record_commands.h"
#include "reports/print_commands.h"

#include <memory>

namespace arrowsel::app {
namespace {

reports::CustomerTexts customerTexts(const records::CustomerShownTexts& shown) {
    reports::CustomerTexts t;
    t.name = shown.name;
    t.address = shown.addr1;
    t.city = shown.city;
    t.state = shown.state;
    t.zip = shown.zip;
    t.country = shown.country;
    t.ccode = shown.ccode;
    t.bowWeight = shown.bowWeight;
    t.arrowLength = shown.arrowLength;
    t.pointWeight = shown.pointWeight;
    t.bowType = shown.bowType;
    t.wheelType = shown.wheelType;
    t.release = shown.release;
    t.braceHeight = shown.braceHeight;
    t.overDraw = shown.overDraw;
    t.chartName = shown.chart;
    t.comment = shown.comments;
    return t;
}

} // namespace

void installSideCommands(TArrowSel& w) {
    // Owned by the main window's lifetime through the handlers that share it.
    auto print = std::make_shared<reports::PrintCommands>(w.dataFolder());

    w.setCommandHandler(Command::GetSetup, [&w] { records::getSetup(&w, w); });
    w.setCommandHandler(Command::SaveSetup, [&w] { records::saveSetup(&w, w); });
    w.setCommandHandler(Command::ShopInformation, [&w] { records::shopInformation(&w, w); });
    w.setCommandHandler(Command::Export, [&w] { records::exportCustomerDatabase(&w, w); });

    w.setCommandHandler(Command::KECalc, [&w] { calc::openKineticEnergyCalculator(&w, w); });
    w.setCommandHandler(Command::Models, [&w] { calc::openModelsGuide(&w, w.dataFolder(), w.shaftChoice().pageTag); });
    w.setCommandHandler(Command::Specs, [&w] {
        calc::openSpecsWindow(&w, calc::SpecsRequest{w.dataFolder(), w.shaftChoice(), w.currentSetup()});
    });

    w.setCommandHandler(Command::PrintHunt,
                        [print, &w] { print->HPrintBtnClick(w.currentSetup(), w.lastResult(), &w); });
    w.setCommandHandler(Command::PrintTarg,
                        [print, &w] { print->TPrintBtnClick(w.currentSetup(), w.lastResult(), &w); });
    w.setCommandHandler(Command::PrintYouth,
                        [print, &w] { print->SpeedButton9Click(w.currentSetup(), w.lastResult(), &w); });
    w.setCommandHandler(Command::PrintOrvk,
                        [print, &w] { print->OrvkPrintBtnClick(w.currentSetup(), w.lastResult(), &w); });
    records::setCustomerReportPrinter([print](QWidget* parent, const records::CustomerShownTexts& shown) {
        print->printCustomer(customerTexts(shown), parent);
    });
    calc::setBuildSheetPrinter([print, &w](QWidget* parent, const calc::BuildSheet& sheet) {
        print->printBuildSheet(sheet, w.currentSetup(), parent);
    });
    // The printers outlive no main window: the lookup and the specifications are only reachable through it.
    QObject::connect(&w, &QObject::destroyed, [] {
        records::setCustomerReportPrinter(nullptr);
        calc::setBuildSheetPrinter(nullptr);
    });
}

} // namespace arrowsel::app
