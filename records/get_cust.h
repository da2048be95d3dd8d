// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/book_session.h"
#include "records/customer_book.h"
#include "records/record_window.h"

#include <QString>
#include <functional>
#include <memory>

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

    // Shows the first record in name order of `book`, or of the book the data folder names when
    // none is given (opened here, waiting as for every book request). Says what failed and
    // returns false when the book cannot be opened or the user cancelled the wait.
    bool FormActivate(std::unique_ptr<BookSession> book = {});

    enum class NavButton { First, Prior, Next, Last, Edit, Post, Cancel };
    void DBNavigator1Click(NavButton button);
    void Button1Click();       // Search
    void ReturnDataBtnClick(); // Return Data
    void SpeedButton1Click();  // Print
    void ExitBtnClick();       // Close

    CustomerShownTexts shownTexts() const;
    // False once the window let go of its book.
    bool holdsBook() const { return book_ != nullptr; }

protected:
    void releaseRecord() override;

private:
    void showRecord();
    void showNothing();
    bool browsing() const;
    // Stores what was typed; false (and a message) when it is not stored. A record another
    // counter changed meanwhile is overwritten or shown as stored, as the user chooses.
    bool postChanges();
    bool store(bool overwrite);
    // Leaves the record in browse state, posting what was typed first.
    bool settle();
    template <typename F> bool guarded(F&& work);
    void showNotices();

    MainWindowState& main_;
    std::unique_ptr<BookSession> book_;
    SummaryPanel* summary_ = nullptr;
};

} // namespace arrowsel::records
