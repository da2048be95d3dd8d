// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/shop_inf.h"

#include "data/file_io.h"
#include "present/window_state.h"
#include "records/saved_setup.h"
#include "records/shop_table.h"
#include "ui/guarded.h"
#include "ui/message_seam.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace arrowsel::records {

TShopInf::TShopInf(const MainWindowState& mainWindow, QWidget* parent)
    : RecordWindow("TShopInf", tr("2009 Shop Information"),
                   tr("Leave without saving? The changes to the shop's details will not be stored.\n"
                      "Choose No to go back and save them."),
                   parent),
      main_(mainWindow) {
    auto* form = new QFormLayout;
    const auto line = [this](const char* objectName, const char* field, const char* caption) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(objectName));
        binding_.addLine(e, field, caption);
        return e;
    };
    const auto caption = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    auto* name = line("DBEdit1", "NAME", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "Shop Name"));
    auto* addr1 = line("DBEdit6", "ADDR1", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "Address 1"));
    auto* addr2 = line("DBEdit7", "ADDR2", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "Address 2"));
    auto* city = line("DBEdit8", "CITY", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "City"));
    auto* state = line("DBEdit9", "STATE", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "State"));
    auto* zip = line("DBEdit10", "ZIP", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "Zip"));
    auto* phone = line("DBEdit3", "PHONE", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "Phone"));
    auto* fax = line("DBEdit4", "FAX", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "FAX"));
    auto* comments =
        line("DBEdit5", "COMMENTS", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "Additional Report Text"));
    auto* cityRow = new QHBoxLayout;
    cityRow->addWidget(city, 3);
    cityRow->addWidget(state, 1);
    cityRow->addWidget(zip, 2);
    form->addRow(caption(tr("Shop Name:"), name), name);
    form->addRow(caption(tr("Address 1:"), addr1), addr1);
    form->addRow(caption(tr("Address 2:"), addr2), addr2);
    form->addRow(caption(tr("City / St / Zip:"), city), cityRow);
    form->addRow(caption(tr("Phone:"), phone), phone);
    form->addRow(caption(tr("FAX:"), fax), fax);
    form->addRow(caption(tr("Additional Report Text:"), comments), comments);
    body()->addLayout(form);
    binding_.onFirstChange = [this] { startEditing(); };

    addButtonRow(RowAlign::Right, {{tr("&Save"), "ShopInfSaveBtn", [this] { ShopInfSaveBtnClick(); }},
                                   {tr("E&xit"), "ShopInfExitBtn", [this] { ShopInfExitBtnClick(); }}});
}

TShopInf::~TShopInf() = default;

void TShopInf::FormActivate() {
    const std::filesystem::path path = main_.dataFolder() / kShopTable;
    const std::optional<std::filesystem::path> found = data::findFileNoCase(path);
    std::error_code ec;
    // An empty file of that name is what an earlier version left when it was stopped while
    // creating the table: no table at all, which Save replaces.
    empty_ = found && std::filesystem::is_regular_file(*found, ec) && std::filesystem::file_size(*found, ec) == 0;
    if (!found || empty_) {
        // A shop without its table could otherwise never enter its details: Save creates it.
        missing_ = true;
        binding_.clear();
        binding_.applyWidths(shopTableFields());
        seam().information(
            this, tr("The data folder %1 has no shop table (%2) yet.\nType the "
                     "shop's details and choose Save to create it.")
                      .arg(QString::fromStdString(main_.dataFolder().string()), QString::fromLatin1(kShopTable)));
        binding_.editor("NAME")->setFocus();
        return;
    }
    if (!ui::runGuarded(this, [this, &path] { table_.open(path); })) {
        binding_.clear();
        binding_.setReadOnly(true);
        return;
    }
    binding_.applyWidths(table_);
    startEditing();
    binding_.editor("NAME")->setFocus();
}

bool TShopInf::startEditing() {
    if (!table_.isOpen()) {
        return false;
    }
    if (table_.isEditing()) {
        return true;
    }
    const bool wasModified = binding_.modified();
    return ui::runGuarded(this, [this, wasModified] {
        if (table_.recordCount() == 0) {
            table_.insert();
            inserting_ = true;
        } else {
            table_.first();
            table_.edit();
        }
        if (!wasModified) {
            binding_.load(table_);
        }
    });
}

bool TShopInf::createTable() {
    const std::filesystem::path path = main_.dataFolder() / kShopTable;
    const bool created = ui::runGuarded(
        this,
        [this, &path] {
            // Another copy may have created it meanwhile: then it is opened and saved over.
            const std::optional<std::filesystem::path> found = data::findFileNoCase(path);
            if (!found || empty_) {
                try {
                    data::TDbfTable::create(found.value_or(path), shopTableFields(), data::CodePage::Windows1252,
                                            empty_);
                } catch (const data::ETableError&) {
                    if (empty_ || !data::findFileNoCase(path)) {
                        throw;
                    }
                }
            }
            table_.open(path);
        },
        tr("The shop table could not be created: %1\nWhat you typed is still here; "
           "correct the cause and choose Save again."));
    if (!created) {
        return false;
    }
    missing_ = false;
    empty_ = false;
    binding_.applyWidths(table_);
    return true;
}

void TShopInf::ShopInfSaveBtnClick() {
    if (!binding_.modified()) {
        return; // nothing typed since the last save: the file stays as it is
    }
    if (!table_.isOpen() && (!missing_ || !createTable())) {
        return;
    }
    if (!startEditing()) {
        return;
    }
    if (const QString refused = binding_.refusal(table_); !refused.isEmpty()) {
        seam().message(this, refused);
        return;
    }
    const bool saved = ui::runGuarded(
        this,
        [this] {
            if (inserting_ && table_.recordCount() > 0) {
                // Another copy created the shop record while this one was typing: save over it.
                table_.cancel();
                inserting_ = false;
                table_.first();
                table_.edit();
            }
            binding_.store(table_);
            table_.post();
            inserting_ = false;
        },
        tr("The shop's details could not be saved: %1\nWhat you typed is still here; "
           "correct the cause and choose Save again."));
    if (!saved) {
        return;
    }
    binding_.setModified(false);
}

void TShopInf::ShopInfExitBtnClick() {
    closeDiscarding();
}

void TShopInf::releaseRecord() {
    table_.cancel();
    table_.close();
}

} // namespace arrowsel::records
