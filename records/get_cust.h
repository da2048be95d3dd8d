#pragma once

#include "data/dbf_table.h"
#include "records/record_window.h"

#include <QString>
#include <functional>

namespace arrowsel {
class MainWindowState;
}

namespace arrowsel::records {

class SummaryPanel;

// What the lookup window shows of the current customer, as the customer report prints it.
struct CustomerShownTexts {
    QString name, addr1, city, state, zip, country, ccode, comments;
    QString bowWeight, arrowLength, pointWeight, bowType, wheelType, release, braceHeight, overDraw, chart;
};

// Prints the customer report for the texts shown; installed by whoever provides the report.
using CustomerReportPrinter = std::function<void(QWidget* parent, const CustomerShownTexts& texts)>;
void setCustomerReportPrinter(CustomerReportPrinter printer);

// The customer lookup: browse or search the saved setups in name order, edit the customer's
// details, print the record and put its setup back into the main window.
class TGetCust : public RecordWindow {
    Q_OBJECT
public:
    explicit TGetCust(MainWindowState& mainWindow, QWidget* parent = nullptr);
    ~TGetCust() override;
    Q_DISABLE_COPY_MOVE(TGetCust)

    // Opens the table with "Saved.idx" controlling and shows the first record in name order.
    // Says what failed and returns false when the table or its index cannot be opened.
    bool FormActivate();

    enum class NavButton { First, Prior, Next, Last, Edit, Post, Cancel };
    void DBNavigator1Click(NavButton button);
    void Button1Click();       // Search
    void ReturnDataBtnClick(); // Return Data
    void SpeedButton1Click();  // Print
    void ExitBtnClick();       // Close

    CustomerShownTexts shownTexts() const;
    const data::TDbfTable& table() const { return table_; }

protected:
    void releaseRecord() override;

private:
    void showRecord();
    bool beginEdit();
    // Posts what was typed; false (and a message) when it cannot be stored.
    bool postChanges();
    // Leaves the record in browse state, posting what was typed first.
    bool settle();
    template <typename F> bool guarded(F&& work);

    MainWindowState& main_;
    data::TDbfTable table_;
    SummaryPanel* summary_ = nullptr;
};

} // namespace arrowsel::records
