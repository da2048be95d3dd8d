// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/cust_info.h"

#include "present/window_state.h"
#include "records/busy_cursor.h"
#include "records/customer_panel.h"
#include "ui/guarded.h"
#include "ui/message_seam.h"
#include "ui/qt_text.h"
#include "ui/short_dates.h"
#include "widgets/value_label.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

namespace arrowsel::records {

TCustInfo::TCustInfo(MainWindowState& mainWindow, QWidget* parent)
    : RecordWindow("TCustInfo", QStringLiteral("2009 Customer Information"),
                   QStringLiteral("Close without saving? What you typed for this customer will not be stored.\n"
                                  "Choose No to go back and save it."),
                   parent),
      main_(mainWindow) {
    QVBoxLayout* layout = body();
    summary_ = new SummaryPanel(this);
    layout->addWidget(summary_);
    layout->addWidget(buildCustomerEdits(this, binding_));
    auto* dateRow = new QHBoxLayout;
    auto* dateCaption = new QLabel(QStringLiteral("Date:"), this);
    auto* date = new widgets::TValueLabel(QStringLiteral("Date"), this);
    date->setHeadingLabel(dateCaption);
    date_ = date;
    date_->setObjectName(QStringLiteral("DBText1"));
    dateRow->addWidget(dateCaption);
    dateRow->addWidget(date_, 1);
    layout->addLayout(dateRow);

    addButtonRow(RowAlign::Right, {{QStringLiteral("&Save Record"), "PostBtn", [this] { PostBtnClick(); }},
                                   {QStringLiteral("&Close"), "ExitBtn", [this] { ExitBtnClick(); }}});
}

TCustInfo::~TCustInfo() = default;

bool TCustInfo::FormActivate(QDate today) {
    const bool opened = ui::runGuarded(this, [this] {
        // Opened now, so that a book that cannot be reached is reported before anything is typed.
        const BusyCursor busy;
        book_ = openCustomerBook(main_.dataFolder());
    });
    if (!opened) {
        return false;
    }
    setup_ = encodeSetup(main_);
    setup_.push_back({"DATE", ui::fromQt(today.toString(QStringLiteral("yyyyMMdd")))});
    for (const std::string& notice : book_->takeNotices()) {
        seam().information(this, ui::toQt(notice));
    }
    binding_.applyWidths(*book_);
    binding_.clear();
    date_->setText(ui::shortDate(QLocale(), today));
    summary_->setSummary(entrySummary(main_));
    binding_.editor("NAME")->setFocus();
    return true;
}

void TCustInfo::PostBtnClick() {
    if (!book_) {
        return;
    }
    if (!addressComplete([this](std::string_view f) { return ui::fromQt(binding_.text(std::string(f).c_str())); })) {
        seam().message(this, QStringLiteral("Incomplete address, cannot add record"));
        return;
    }
    if (const QString refused = binding_.refusal(book_->codePage()); !refused.isEmpty()) {
        seam().message(this, refused);
        return;
    }
    std::vector<FieldValue> record = setup_;
    for (FieldValue& v : binding_.values()) {
        record.push_back(std::move(v));
    }
    const bool saved = ui::runGuarded(
        this,
        [this, &record] {
            const BusyCursor busy;
            book_->append(record);
        },
        [this](const QString& what) {
            return QStringLiteral("The customer record could not be saved in %1.\n%2\nWhat you typed is still here; "
                                  "correct the cause and choose Save Record again.")
                .arg(ui::toQt(book_->where()), what);
        });
    if (!saved) {
        return;
    }
    binding_.setModified(false);
    const std::vector<std::string> notices = book_->takeNotices();
    for (const std::string& notice : notices) {
        // The record is stored; only the name order needs a later save or a rebuild.
        seam().error(this, ui::toQt(notice));
    }
    if (notices.empty()) {
        seam().message(this, QStringLiteral("New record has been successfully added"));
    }
    book_.reset();
    accept();
}

void TCustInfo::ExitBtnClick() {
    closeDiscarding();
}

void TCustInfo::releaseRecord() {
    book_.reset();
}

} // namespace arrowsel::records
