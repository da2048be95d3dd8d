#pragma once

#include "data/dbf_table.h"
#include "records/field_binding.h"

#include <QDialog>

namespace arrowsel {
class MainWindowState;
}

namespace arrowsel::records {

// The shop's own record in "SHOPINFO.DBF": edited in place, or created when the table is empty.
// The table never gets a second record from this window.
class TShopInf : public QDialog {
    Q_OBJECT
public:
    explicit TShopInf(const MainWindowState& mainWindow, QWidget* parent = nullptr);
    ~TShopInf() override;

    // Opens the table and puts its record into edit state (a new blank one when it is empty). A
    // missing table is reported and leaves the edits empty; Save then does nothing.
    void FormActivate();

    void ShopInfSaveBtnClick(); // Save; the window stays open
    void ShopInfExitBtnClick(); // Exit

    const data::TDbfTable& table() const { return table_; }

protected:
    void reject() override;

private:
    bool startEditing();

    const MainWindowState& main_;
    data::TDbfTable table_;
    FieldBinding binding_;
    bool inserting_ = false;
};

} // namespace arrowsel::records
