#include "records/get_cust.h"

#include "present/window_state.h"
#include "records/customer_panel.h"
#include "widgets/guarded.h"
#include "widgets/message_seam.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace arrowsel::records {

namespace {

CustomerReportPrinter& reportPrinter() {
    static CustomerReportPrinter printer;
    return printer;
}

} // namespace

void setCustomerReportPrinter(CustomerReportPrinter printer) {
    reportPrinter() = std::move(printer);
}

TGetCust::TGetCust(MainWindowState& mainWindow, QWidget* parent)
    : RecordWindow("TGetCust", QStringLiteral("2009 Retrieve Customer Information"),
                   QStringLiteral("Discard the changes typed into this customer's record?\n"
                                  "Choose No to go back and post them."),
                   parent),
      main_(mainWindow) {
    QVBoxLayout* layout = body();
    summary_ = new SummaryPanel(this);
    layout->addWidget(summary_);
    layout->addWidget(buildCustomerEdits(this, binding_));
    binding_.onFirstChange = [this] { beginEdit(); };

    auto* navigator = new QWidget(this);
    navigator->setObjectName(QStringLiteral("DBNavigator1"));
    navigator->setAccessibleName(QStringLiteral("Record navigator"));
    auto* navRow = new QHBoxLayout(navigator);
    navRow->setContentsMargins(0, 0, 0, 0);
    struct Nav {
        NavButton button;
        const char* name;
        const char* hint;
        QStyle::StandardPixmap icon;
    };
    static constexpr Nav navs[] = {
        {NavButton::First, "nbFirst", "Go to first record", QStyle::SP_MediaSkipBackward},
        {NavButton::Prior, "nbPrior", "Go to previous record", QStyle::SP_MediaSeekBackward},
        {NavButton::Next, "nbNext", "Go to next record", QStyle::SP_MediaSeekForward},
        {NavButton::Last, "nbLast", "Go to last record", QStyle::SP_MediaSkipForward},
        {NavButton::Edit, "nbEdit", "Edit record", QStyle::SP_FileDialogDetailedView},
        {NavButton::Post, "nbPost", "Post record", QStyle::SP_DialogApplyButton},
        {NavButton::Cancel, "nbCancel", "Cancel changes ", QStyle::SP_DialogCancelButton},
    };
    for (const Nav& n : navs) {
        auto* b = new QPushButton(style()->standardIcon(n.icon), QString(), navigator);
        b->setObjectName(QString::fromLatin1(n.name));
        b->setToolTip(QString::fromLatin1(n.hint));
        b->setAccessibleName(QString::fromLatin1(n.hint).trimmed());
        b->setAutoDefault(false);
        const NavButton which = n.button;
        connect(b, &QPushButton::clicked, this,
                [this, which] { guarded([this, which] { DBNavigator1Click(which); }); });
        navRow->addWidget(b);
    }
    layout->addWidget(navigator);

    addButtonRow(RowAlign::Fill,
                 {{QStringLiteral("Search"), "Button1", [this] { Button1Click(); }, QKeySequence(QKeySequence::Find)},
                  {QStringLiteral("&Return Data "), "ReturnDataBtn", [this] { ReturnDataBtnClick(); }},
                  {QStringLiteral("&Print"), "SpeedButton1", [this] { SpeedButton1Click(); }},
                  {QStringLiteral("&Close"), "ExitBtn", [this] { ExitBtnClick(); }}});
}

TGetCust::~TGetCust() = default;

template <typename F> bool TGetCust::guarded(F&& work) {
    return widgets::runGuarded(this, std::forward<F>(work));
}

bool TGetCust::FormActivate() {
    const bool ok = guarded([this] {
        table_.open(main_.dataFolder() / kSavedTable);
        table_.openIndexFile(kSavedIndex, kSavedIndexExpression);
        table_.first();
    });
    if (!ok) {
        table_.close();
        return false;
    }
    for (const std::string& notice : table_.takeNotices()) {
        seam().information(this, QString::fromStdString(notice));
    }
    binding_.applyWidths(table_);
    showRecord();
    binding_.editor("NAME")->setFocus();
    return true;
}

void TGetCust::showRecord() {
    if (!table_.isOpen() || table_.eof()) {
        binding_.clear();
        binding_.setReadOnly(true);
        summary_->setSummary(Summary{});
        return;
    }
    const bool shown = guarded([this] {
        binding_.load(table_);
        summary_->setSummary(lookupSummary([this](std::string_view f) { return table_.fieldText(f); }));
    });
    if (!shown) {
        // A record that cannot be read (a damaged memo) is shown empty and cannot be edited, so
        // nothing half-read is ever posted back; the other records stay reachable.
        binding_.clear();
        binding_.setReadOnly(true);
        summary_->setSummary(Summary{});
        return;
    }
    binding_.setReadOnly(false);
}

bool TGetCust::beginEdit() {
    if (table_.isEditing()) {
        return true;
    }
    if (!table_.isOpen() || table_.eof()) {
        return false;
    }
    if (guarded([this] { table_.edit(); })) {
        return true;
    }
    // Someone else holds the record: show it as stored; the message said why the typing was undone.
    showRecord();
    return false;
}

bool TGetCust::postChanges() {
    if (!binding_.modified()) {
        if (table_.isEditing()) {
            table_.cancel();
        }
        return true;
    }
    if (!beginEdit()) {
        return false;
    }
    if (const QString refused = binding_.refusal(table_); !refused.isEmpty()) {
        seam().message(this, refused);
        return false;
    }
    if (!guarded([this] {
            binding_.store(table_);
            table_.post();
        })) {
        return false;
    }
    showRecord();
    return true;
}

bool TGetCust::settle() {
    return postChanges();
}

void TGetCust::DBNavigator1Click(NavButton button) {
    if (!table_.isOpen()) {
        return;
    }
    switch (button) {
    case NavButton::First:
    case NavButton::Prior:
    case NavButton::Next:
    case NavButton::Last:
        if (!settle()) {
            return;
        }
        guarded([this, button] {
            if (button == NavButton::First) {
                table_.first();
            } else if (button == NavButton::Prior) {
                table_.prior();
            } else if (button == NavButton::Next) {
                table_.next();
                if (table_.eof()) {
                    table_.last(); // the last record stays shown, as at the other end
                }
            } else {
                table_.last();
            }
        });
        showRecord();
        break;
    case NavButton::Edit:
        beginEdit();
        break;
    case NavButton::Post:
        postChanges();
        break;
    case NavButton::Cancel:
        guarded([this] { table_.cancel(); });
        showRecord();
        break;
    }
}

void TGetCust::Button1Click() {
    if (!table_.isOpen() || !settle()) {
        return;
    }
    const auto text = seam().inputText(this, QStringLiteral("Find Customer"),
                                       QStringLiteral("Enter First Letters of Name, Xxx"), QString());
    if (!text) {
        return;
    }
    bool found = false;
    guarded([this, &text, &found] { found = table_.seek(text->toStdString()); });
    if (!found) {
        seam().message(this, QStringLiteral("Name not found"));
        guarded([this] { table_.first(); });
    }
    showRecord();
}

void TGetCust::ReturnDataBtnClick() {
    if (!table_.isOpen() || !settle() || table_.eof()) {
        return;
    }
    if (!guarded([this] { restoreSetup([this](std::string_view f) { return table_.fieldText(f); }, main_); })) {
        return;
    }
    table_.close();
    accept();
}

void TGetCust::SpeedButton1Click() {
    if (!settle()) {
        return;
    }
    if (!reportPrinter()) {
        seam().message(this, QStringLiteral("The customer report is not available yet."));
        return;
    }
    reportPrinter()(this, shownTexts());
}

void TGetCust::ExitBtnClick() {
    closeDiscarding();
}

void TGetCust::releaseRecord() {
    table_.cancel();
    table_.close();
}

CustomerShownTexts TGetCust::shownTexts() const {
    CustomerShownTexts t;
    t.name = binding_.text("NAME");
    t.addr1 = binding_.text("ADDR1");
    t.city = binding_.text("CITY");
    t.state = binding_.text("STATE");
    t.zip = binding_.text("ZIP");
    t.country = binding_.text("COUNTRY");
    t.ccode = binding_.text("CCODE");
    t.comments = binding_.text("COMMENTS");
    t.bowWeight = summary_->text(SummaryLine::BowWeight);
    t.arrowLength = summary_->text(SummaryLine::ArrowLength);
    t.pointWeight = summary_->text(SummaryLine::PointWeight);
    t.bowType = summary_->text(SummaryLine::BowType);
    t.wheelType = summary_->text(SummaryLine::WheelType);
    t.release = summary_->text(SummaryLine::Release);
    t.braceHeight = summary_->text(SummaryLine::BraceHeight);
    t.overDraw = summary_->text(SummaryLine::OverDraw);
    t.chart = summary_->text(SummaryLine::Chart);
    return t;
}

} // namespace arrowsel::records
