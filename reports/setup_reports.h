// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "present/window_state.h"
#include "reports/report.h"
#include "reports/shop_record.h"

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

// Hunting setup report: the Hunting page's setup and grid, the carbon rows in a section of their own.
class TReportForm : public ReportForm {
public:
    explicit TReportForm(const MainWindowState& state);
    void Report1BeforePrint(Report& sender, bool& printReport);

    // The Hunting page's button row that printed row `printedRow` (1 to 17) shows.
    static int buttonRow(int printedRow);

private:
    const MainWindowState& state_;
};

// Target setup report.
class TTargPrintForm : public ReportForm {
public:
    explicit TTargPrintForm(const MainWindowState& state);
    void Report1BeforePrint(Report& sender, bool& printReport);

private:
    const MainWindowState& state_;
};

// Orvik chart report.
class TOrvkRpt : public ReportForm {
public:
    explicit TOrvkRpt(const MainWindowState& state);
    void Report1BeforePrint(Report& sender, bool& printReport);

private:
    const MainWindowState& state_;
};

// Youth chart report: its handler belongs to the detail band.
class TYouthRpt1 : public ReportForm {
public:
    explicit TYouthRpt1(const MainWindowState& state);
    void RptBand2BeforePrint(Band& sender, bool& printBand);

private:
    const MainWindowState& state_;
};

// Print-job name of the hunting and target reports.
inline constexpr char16_t kSetupReportTitle[] = u"Arrow Shaft Size Selection Report";

} // namespace arrowsel::reports
