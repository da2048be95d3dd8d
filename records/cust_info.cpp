#include "records/cust_info.h"

#include "present/window_state.h"
#include "records/customer_panel.h"
#include "widgets/guarded.h"
#include "widgets/message_seam.h"
#include "widgets/short_dates.h"
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
    const bool opened = widgets::runGuarded(this, [this, today] {
        table_.open(main_.dataFolder() / kSavedTable);
        // Opened before the insert so that the post files the new name at once; a missing index
        // is reported before anything is typed.
        table_.openIndexFile(kSavedIndex, kSavedIndexExpression);
        table_.insert();
        for (const FieldValue& v : encodeSetup(main_)) {
            table_.setFieldText(v.name, v.text);
        }
        table_.setFieldText("DATE", today.toString(QStringLiteral("yyyyMMdd")).toStdString());
    });
    if (!opened) {
        table_.close();
        return false;
    }
    for (const std::string& notice : table_.takeNotices()) {
        seam().information(this, QString::fromStdString(notice));
    }
    binding_.applyWidths(table_);
    binding_.clear();
    date_->setText(widgets::shortDate(QLocale(), today));
    summary_->setSummary(entrySummary(main_));
    binding_.editor("NAME")->setFocus();
    return true;
}

void TCustInfo::PostBtnClick() {
    if (!table_.isOpen()) {
        return;
    }
    if (!addressComplete([this](std::string_view f) { return binding_.text(std::string(f).c_str()).toStdString(); })) {
        seam().message(this, QStringLiteral("Incomplete address, cannot add record"));
        return;
    }
    if (const QString refused = binding_.refusal(table_); !refused.isEmpty()) {
        seam().message(this, refused);
        return;
    }
    const bool saved = widgets::runGuarded(
        this,
        [this] {
            binding_.store(table_);
            table_.post();
        },
        QStringLiteral("The customer record could not be saved: %1\nWhat you typed is still here; "
                       "correct the cause and choose Save Record again."));
    if (!saved) {
        return;
    }
    binding_.setModified(false);
    const bool indexed = widgets::runGuarded(
        this,
        [this] {
            table_.reindex();
            table_.closeIndexes();
        },
        QStringLiteral("The new record was added, but the name index could not be rebuilt: %1"));
    if (!indexed) {
        // The record is stored; only the name order needs a later save or a rebuild.
        table_.close();
        accept();
        return;
    }
    seam().message(this, QStringLiteral("New record has been successfully added"));
    table_.close();
    accept();
}

void TCustInfo::ExitBtnClick() {
    closeDiscarding();
}

void TCustInfo::releaseRecord() {
    table_.cancel();
    table_.close();
}

} // namespace arrowsel::records
