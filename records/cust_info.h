// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/book_session.h"
#include "records/customer_book.h"
#include "records/record_window.h"

#include <QDate>
#include <memory>
#include <optional>
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

    // Opens the customer book (waiting as for every book request), or takes `book` when one is
    // given, and starts the new record with the setup and today's date. Says what failed and
    // returns false when the book cannot be opened or the user cancelled the wait.
    bool FormActivate(QDate today = QDate::currentDate(), std::unique_ptr<BookSession> book = {});

    void PostBtnClick(); // Save Record
    void ExitBtnClick(); // Close

protected:
    void releaseRecord() override;

private:
    // The record is stored: says so (and what of the typing since was not) and closes.
    void finishSaved(std::vector<FieldValue> stored);

    MainWindowState& main_;
    std::unique_ptr<BookSession> book_;
    // What a save whose wait was cancelled is storing; it is not stored a second time.
    std::optional<std::vector<FieldValue>> saving_;
    bool storedLate_ = false;       // ... and it ended stored
    std::vector<FieldValue> setup_; // the setup and date the new record is saved with
    SummaryPanel* summary_ = nullptr;
    QLabel* date_ = nullptr;
};

} // namespace arrowsel::records
