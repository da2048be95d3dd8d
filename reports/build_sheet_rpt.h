// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calc/finished_arrow.h"
#include "reports/setup_reports.h"

#include <QtGlobal>

namespace arrowsel::reports {

// The build sheet: what a shop hands its bench and its customer for one finished arrow. The shop
// header of the setup reports, the customer and the main window's setup for the page the shaft was
// chosen on, the shaft's specification, the cut length and every component's weight with the
// totals, and the speed (estimated or measured), energy, momentum and game class.
class TBuildSheetRpt : public ReportForm {
public:
    TBuildSheetRpt();
    // The figures and the main window's setup the next print takes; the report keeps its own copy.
    void setSheet(const calc::BuildSheet& sheet, const engine::BowSetup& setup) {
        sheet_ = sheet;
        setup_ = setup;
    }
    void Report1BeforePrint(Report& sender, bool& printReport);

private:
    double addSetupRows(Band& band, double y);
    double addShaftRows(Band& band, double y);
    double addWeightRows(Band& band, double y);
    double addSpeedRows(Band& band, double y);
    void printSetup(Report& r);
    void printSpeed(Report& r);

    calc::BuildSheet sheet_;
    engine::BowSetup setup_;
};

// Print-job name of the build sheet (English, translated in the sheet's context).
inline constexpr char kBuildSheetTitle[] = QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Arrow Build Sheet");

} // namespace arrowsel::reports
