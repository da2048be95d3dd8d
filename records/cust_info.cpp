// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/cust_info.h"

#include "present/window_state.h"
#include "records/customer_panel.h"
#include "ui/guarded.h"
#include "ui/message_seam.h"
#include "ui/qt_text.h"
#include "ui/short_dates.h"
#include "widgets/value_label.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace arrowsel::records {

TCustInfo::TCustInfo(MainWindowState& mainWindow, QWidget* parent)
    : RecordWindow("TCustInfo", tr("2009 Customer Information"),
                   tr("Close without saving? What you typed for this customer will not be stored.\n"
                      "Choose No to go back and save it."),
                   parent),
      main_(mainWindow) {
    QVBoxLayout* layout = body();
    summary_ = new SummaryPanel(this);
    layout->addWidget(summary_);
    layout->addWidget(buildCustomerEdits(this, binding_));
    auto* dateRow = new QHBoxLayout;
    auto* dateCaption = new QLabel(tr("Date:"), this);
    auto* date = new widgets::TValueLabel(tr("Date"), this);
    date->setHeadingLabel(dateCaption);
    date_ = date;
    date_->setObjectName(QStringLiteral("DBText1"));
    dateRow->addWidget(dateCaption);
    dateRow->addWidget(date_, 1);
    layout->addLayout(dateRow);

    addButtonRow(RowAlign::Right, {{tr("&Save Record"), "PostBtn", [this] { PostBtnClick(); }},
                                   {tr("&Close"), "ExitBtn", [this] { ExitBtnClick(); }}});
}

TCustInfo::~TCustInfo() = default;

bool TCustInfo::FormActivate(QDate today, std::unique_ptr<BookSession> book) {
    // Opened now, so that a book that cannot be reached is reported before anything is typed.
    const bool opened = ui::runGuarded(
        this, [this, &book] { book_ = book ? std::move(book) : BookSession::open(this, main_.dataFolder()); });
    if (!opened || !book_) {
        book_.reset();
        return false;
    }
    // A save whose wait was cancelled may end stored after all: then the window says so and
    // closes, from the event loop rather than from inside the book's hand-over.
    book_->onLateDone = [this](bool stored) {
        if (!saving_ || !stored) {
            return;
        }
        storedLate_ = true;
        QTimer::singleShot(0, this, [this] {
            if (storedLate_ && book_ && !waitingForBook()) {
                finishSaved(*saving_);
            }
        });
    };
    setup_ = encodeSetup(main_);
    setup_.push_back({"DATE", ui::fromQt(today.toString(QStringLiteral("yyyyMMdd")))});
    for (const std::string& notice : book_->takeNotices()) {
        seam().information(this, ui::toQt(notice));
    }
    binding_.applyWidths(book_->facts().fields, book_->facts().codePage);
    binding_.clear();
    date_->setText(ui::shortDate(QLocale(), today));
    summary_->setSummary(entrySummary(main_));
    binding_.editor("NAME")->setFocus();
    return true;
}

void TCustInfo::PostBtnClick() {
    if (!book_ || waitingForBook()) {
        return;
    }
    if (!addressComplete([this](std::string_view f) { return ui::fromQt(binding_.text(std::string(f).c_str())); })) {
        seam().message(this, tr("Incomplete address, cannot add record"));
        return;
    }
    if (const QString refused = binding_.refusal(book_->facts().codePage); !refused.isEmpty()) {
        seam().message(this, refused);
        return;
    }
    std::vector<FieldValue> record = setup_;
    for (FieldValue& v : binding_.values()) {
        record.push_back(std::move(v));
    }
    const QString failed = tr("The customer record could not be saved in %1.\n%2\nWhat you typed is still "
                              "here; correct the cause and choose Save Record again.");
    const auto explain = [this, &failed](const QString& what) {
        return failed.arg(ui::toQt(book_->facts().where), what);
    };
    if (saving_) {
        // The save whose wait was cancelled is still out: its end decides whether this one is
        // needed at all.
        bool settled = false;
        if (!ui::runGuarded(
                this, [this, &settled] { settled = book_->run(this, [](CustomerBook&) {}); }, explain) ||
            !settled) {
            return;
        }
        if (storedLate_) {
            finishSaved(*saving_);
            return;
        }
        if (book_->lateJobOut()) {
            return;
        }
        saving_.reset(); // it failed: nothing of it was stored
    }
    bool done = false;
    const bool saved = ui::runGuarded(
        this,
        [this, &record, &done] { done = book_->run(this, [record](CustomerBook& book) { book.append(record); }); },
        explain);
    if (!saved) {
        return;
    }
    if (!done) {
        saving_ = record; // stored or not, it is known when the job ends
        return;
    }
    finishSaved(record);
}

void TCustInfo::finishSaved(std::vector<FieldValue> stored) {
    const bool late = saving_.has_value();
    saving_.reset();
    storedLate_ = false;
    binding_.setModified(false);
    std::vector<FieldValue> typed = setup_;
    for (FieldValue& v : binding_.values()) {
        typed.push_back(std::move(v));
    }
    const bool typedSince = late && !std::equal(typed.begin(), typed.end(), stored.begin(), stored.end(),
                                                [](const FieldValue& a, const FieldValue& b) {
                                                    return a.name == b.name && a.text == b.text;
                                                });
    const std::vector<std::string> notices = book_->takeNotices();
    for (const std::string& notice : notices) {
        // The record is stored; only the name order needs a later save or a rebuild.
        seam().error(this, ui::toQt(notice));
    }
    if (typedSince) {
        seam().message(this, tr("The customer record was stored after all, as it stood when you chose Save "
                                "Record; what you typed since was not. Use Get Setup to change it."));
    } else if (notices.empty()) {
        seam().message(this, tr("New record has been successfully added"));
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
