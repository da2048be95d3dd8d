// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "present/window_state.h"
#include "reports/build_sheet_rpt.h"
#include "reports/cust_info_rpt.h"
#include "reports/setup_reports.h"
#include "ui/print_seam.h"

class QWidget;

namespace arrowsel::reports {

using ui::PrintResult;

// The print commands of the main window and of the customer lookup window. Made once with the
// main window and kept for the program's life, so each report keeps its labels between prints.
// Each command re-reads the shop record, lays its page out and sends it to the default printer
// (PrintSeam); with no printer it offers a PDF file instead. A shop table that cannot be read is
// reported through the message seam's error box and nothing prints; the Orvik and customer
// reports print an empty shop header when the data folder has no shop table at all.
class PrintCommands {
public:
    // Dates print in `locale`'s short formats (the program passes the user's locale).
    explicit PrintCommands(const MainWindowState& state, Clock clock = systemClock, const QLocale& locale = QLocale());

    PrintResult HPrintBtnClick(QWidget* parent = nullptr);    // Hunting page's Print
    PrintResult TPrintBtnClick(QWidget* parent = nullptr);    // Target page's Print
    PrintResult SpeedButton9Click(QWidget* parent = nullptr); // Youth page's Print
    PrintResult OrvkPrintBtnClick(QWidget* parent = nullptr); // Orvik page's Print
    // The customer lookup window's Print, with the texts that window shows.
    PrintResult printCustomer(const CustomerTexts& texts, QWidget* parent = nullptr);
    // The specifications window's "Print Build Sheet", with the finished arrow's figures.
    PrintResult printBuildSheet(const calc::BuildSheet& sheet, QWidget* parent = nullptr);

    // The page of a report as the next print would lay it out (before-print handlers run); throws
    // data::ETableError when the shop table cannot be read.
    Document render(MainWindowState::Page page);
    Document renderCustomer(const CustomerTexts& texts);
    Document renderBuildSheet(const calc::BuildSheet& sheet);

    TReportForm& reportForm() { return hunt_; }
    TTargPrintForm& targPrintForm() { return targ_; }
    TYouthRpt1& youthRpt1() { return youth_; }
    TOrvkRpt& orvkRpt() { return orvk_; }
    TCustInfoRpt& custInfoRpt() { return cust_; }
    TBuildSheetRpt& buildSheetRpt() { return sheet_; }

private:
    ReportForm& form(MainWindowState::Page page);
    Document renderForm(ReportForm& form);
    PrintResult print(ReportForm& form, QWidget* parent);

    const MainWindowState& state_;
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
