// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/dbf_table.h"
#include "records/record_window.h"

namespace arrowsel {
class MainWindowState;
}

namespace arrowsel::records {

// The shop's own record in "SHOPINFO.DBF": edited in place, or created when the table is empty.
// The table never gets a second record from this window.
class TShopInf : public RecordWindow {
    Q_OBJECT
public:
    explicit TShopInf(const MainWindowState& mainWindow, QWidget* parent = nullptr);
    ~TShopInf() override;
    Q_DISABLE_COPY_MOVE(TShopInf)

    // Opens the table and puts its record into edit state (a new blank one when it is empty). When
    // the data folder has no shop table the user is told so and may type; Save then creates the
    // table with its known layout and the one record. A table that is there but does not open is
    // reported and leaves the edits empty; Save then does nothing.
    void FormActivate();

    void ShopInfSaveBtnClick(); // Save; the window stays open
    void ShopInfExitBtnClick(); // Exit

    const data::TDbfTable& table() const { return table_; }

protected:
    void releaseRecord() override;

private:
    bool startEditing();
    bool createTable();

    const MainWindowState& main_;
    data::TDbfTable table_;
    bool inserting_ = false;
    bool missing_ = false; // no shop table in the data folder when the window opened
    bool empty_ = false;   // only an empty file of its name, which Save replaces
};

} // namespace arrowsel::records
