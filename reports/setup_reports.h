// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/selection.h"
#include "reports/report.h"
#include "reports/shop_record.h"

#include <QtGlobal>

namespace arrowsel::reports {

// A report made once and printed many times. Its labels keep their texts from one print to the
// next; each print rewrites what its before-print handler sets. The shop header's fields read
// shop(), which the caller refreshes before each print.
class ReportForm {
public:
    ReportForm() = default;
    virtual ~ReportForm();
    ReportForm(const ReportForm&) = delete;
    ReportForm& operator=(const ReportForm&) = delete;

    Report& report() { return report_; }
    RecordSnapshot& shop() { return shop_; }
    // Whether a print needs SHOPINFO.DBF, or prints an empty shop header without it.
    ShopTable shopTable() const { return shopTable_; }
    // Runs the before-print handlers and lays the page out.
    Document render(const Clock& clock, const QLocale& locale = QLocale()) { return layout(report_, clock, locale); }

protected:
    Report report_;
    RecordSnapshot shop_;
    ShopTable shopTable_ = ShopTable::Required;
};

// The report of one page of the main window: it prints the setup and the page's cells it was
// last given.
class PageReportForm : public ReportForm {
public:
    // What the next print shows: the setup as the window's inputs hold it, and the cells of the
    // report's page as `result` left them.
    void setRun(const engine::BowSetup& setup, const engine::SelectionResult& result);

protected:
    explicit PageReportForm(engine::Page page) : page_(page) {}
    const engine::BowSetup& setup() const { return setup_; }
    // The cell of button row `row` (from 1); a blank cell past the grid the run left.
    const engine::Cell& cell(int row) const;

private:
    engine::Page page_;
    engine::BowSetup setup_;
    std::vector<engine::Cell> cells_;
};

// Hunting setup report: the Hunting page's setup and grid, the carbon rows in a section of their own.
class TReportForm : public PageReportForm {
public:
    TReportForm();
    void Report1BeforePrint(Report& sender, bool& printReport);

    // The Hunting page's button row that printed row `printedRow` (1 to 17) shows.
    static int buttonRow(int printedRow);
};

// Target setup report.
class TTargPrintForm : public PageReportForm {
public:
    TTargPrintForm();
    void Report1BeforePrint(Report& sender, bool& printReport);
};

// Orvik chart report.
class TOrvkRpt : public PageReportForm {
public:
    TOrvkRpt();
    void Report1BeforePrint(Report& sender, bool& printReport);
};

// Youth chart report: its handler belongs to the detail band.
class TYouthRpt1 : public PageReportForm {
public:
    TYouthRpt1();
    void RptBand2BeforePrint(Band& sender, bool& printBand);
};

// Print-job name of the hunting and target reports (English; setupReportText translates it).
inline constexpr char kSetupReportTitle[] =
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Arrow Shaft Size Selection Report");

} // namespace arrowsel::reports
