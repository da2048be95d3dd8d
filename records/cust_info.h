#pragma once

#include "data/dbf_table.h"
#include "records/record_window.h"

#include <QDate>

class QLabel;

namespace arrowsel {
class MainWindowState;
}

namespace arrowsel::records {

class SummaryPanel;

// Customer entry: a new saved-setup record filled with the main window's setup, to which the
// user adds the customer's name and address. Nothing reaches the table until Save Record posts a
// complete record; Close drops it.
class TCustInfo : public RecordWindow {
    Q_OBJECT
public:
    explicit TCustInfo(MainWindowState& mainWindow, QWidget* parent = nullptr);
    ~TCustInfo() override;
    Q_DISABLE_COPY_MOVE(TCustInfo)

    // Opens the table and its index, starts the new record with the setup and today's date.
    // Says what failed and returns false when that is not possible.
    bool FormActivate(QDate today = QDate::currentDate());

    void PostBtnClick(); // Save Record
    void ExitBtnClick(); // Close

protected:
    void releaseRecord() override;

private:
    MainWindowState& main_;
    data::TDbfTable table_;
    SummaryPanel* summary_ = nullptr;
    QLabel* date_ = nullptr;
};

} // namespace arrowsel::records
