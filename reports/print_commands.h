// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/build_sheet_rpt.h"
#include "reports/cust_info_rpt.h"
#include "reports/setup_reports.h"
#include "ui/print_seam.h"

#include <filesystem>

class QWidget;

namespace arrowsel::reports {

using ui::PrintResult;

// The print commands of the main window and of the customer lookup window. Made once with the
// main window and kept for the program's life, so each report keeps its labels between prints.
// A page's print takes the setup as the window's inputs hold it and the result of the run its
// grid shows; the build sheet takes that setup beside its figures.
// Each command re-reads the shop record, lays its page out and sends it to the default printer
// (PrintSeam); with no printer it offers a PDF file instead. A shop table that cannot be read is
// reported through the message seam's error box and nothing prints; the Orvik and customer
// reports print an empty shop header when the data folder has no shop table at all.
class PrintCommands {
public:
    // Dates print in `locale`'s short formats (the program passes the user's locale).
    // The shop record is read from `dataFolder`.
    explicit PrintCommands(std::filesystem::path dataFolder, Clock clock = systemClock,
                           const QLocale& locale = QLocale());

    // Each page's Print.
    PrintResult HPrintBtnClick(const engine::BowSetup& setup, const engine::SelectionResult& result,
                               QWidget* parent = nullptr);
    PrintResult TPrintBtnClick(const engine::BowSetup& setup, const engine::SelectionResult& result,
                               QWidget* parent = nullptr);
    PrintResult SpeedButton9Click(const engine::BowSetup& setup, const engine::SelectionResult& result,
                                  QWidget* parent = nullptr);
    PrintResult OrvkPrintBtnClick(const engine::BowSetup& setup, const engine::SelectionResult& result,
                                  QWidget* parent = nullptr);
    // The customer lookup window's Print, with the texts that window shows.
    PrintResult printCustomer(const CustomerTexts& texts, QWidget* parent = nullptr);
    // The specifications window's "Print Build Sheet", with the finished arrow's figures.
    PrintResult printBuildSheet(const calc::BuildSheet& sheet, const engine::BowSetup& setup,
                                QWidget* parent = nullptr);

    // The page of a report as the next print would lay it out (before-print handlers run); throws
    // data::ETableError when the shop table cannot be read.
    Document render(engine::Page page, const engine::BowSetup& setup, const engine::SelectionResult& result);
    Document renderCustomer(const CustomerTexts& texts);
    Document renderBuildSheet(const calc::BuildSheet& sheet, const engine::BowSetup& setup);

    TReportForm& reportForm() { return hunt_; }
    TTargPrintForm& targPrintForm() { return targ_; }
    TYouthRpt1& youthRpt1() { return youth_; }
    TOrvkRpt& orvkRpt() { return orvk_; }
    TCustInfoRpt& custInfoRpt() { return cust_; }
    TBuildSheetRpt& buildSheetRpt() { return sheet_; }

private:
    PageReportForm& form(engine::Page page);
    Document renderForm(ReportForm& form);
    PrintResult print(ReportForm& form, QWidget* parent);
    PrintResult printPage(PageReportForm& form, const engine::BowSetup& setup, const engine::SelectionResult& result,
                          QWidget* parent);

    std::filesystem::path dataFolder_;
    Clock clock_;
    QLocale locale_;
    TReportForm hunt_;
    TTargPrintForm targ_;
    TYouthRpt1 youth_;
    TOrvkRpt orvk_;
    TCustInfoRpt cust_;
    TBuildSheetRpt sheet_;
};

} // namespace arrowsel::reports
