// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/customer_book.h"
#include "records/record_window.h"

#include <QDate>
#include <memory>
#include <vector>

class QLabel;

namespace arrowsel {
class MainWindowState;
}

namespace arrowsel::records {

class SummaryPanel;

// Customer entry: a new saved-setup record filled with the main window's setup, to which the
// user adds the customer's name and address. Nothing reaches the book until Save Record adds a
// complete record; Close drops it.
class TCustInfo : public RecordWindow {
    Q_OBJECT
public:
    explicit TCustInfo(MainWindowState& mainWindow, QWidget* parent = nullptr);
    ~TCustInfo() override;
    Q_DISABLE_COPY_MOVE(TCustInfo)

    // Opens the customer book (a busy cursor meanwhile) and starts the new record with the setup
    // and today's date. Says what failed and returns false when the book cannot be opened.
    bool FormActivate(QDate today = QDate::currentDate());

    void PostBtnClick(); // Save Record
    void ExitBtnClick(); // Close

protected:
    void releaseRecord() override;

private:
    MainWindowState& main_;
    std::unique_ptr<CustomerBook> book_;
    std::vector<FieldValue> setup_; // the setup and date the new record is saved with
    SummaryPanel* summary_ = nullptr;
    QLabel* date_ = nullptr;
};

} // namespace arrowsel::records
