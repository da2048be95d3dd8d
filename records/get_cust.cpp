// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/get_cust.h"

#include "present/window_state.h"
#include "records/customer_panel.h"
#include "ui/guarded.h"
#include "ui/message_seam.h"
#include "ui/qt_text.h"

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
    : RecordWindow("TGetCust", tr("2009 Retrieve Customer Information"),
                   tr("Discard the changes typed into this customer's record?\n"
                      "Choose No to go back and post them."),
                   parent),
      main_(mainWindow) {
    QVBoxLayout* layout = body();
    summary_ = new SummaryPanel(this);
    layout->addWidget(summary_);
    layout->addWidget(buildCustomerEdits(this, binding_));

    auto* navigator = new QWidget(this);
    navigator->setObjectName(QStringLiteral("DBNavigator1"));
    navigator->setAccessibleName(tr("Record navigator"));
    auto* navRow = new QHBoxLayout(navigator);
    navRow->setContentsMargins(0, 0, 0, 0);
    struct Nav {
        NavButton button;
        const char* name;
        const char* hint;
        QStyle::StandardPixmap icon;
    };
    static constexpr Nav navs[] = {
        {NavButton::First, "nbFirst", QT_TR_NOOP("Go to first record"), QStyle::SP_MediaSkipBackward},
        {NavButton::Prior, "nbPrior", QT_TR_NOOP("Go to previous record"), QStyle::SP_MediaSeekBackward},
        {NavButton::Next, "nbNext", QT_TR_NOOP("Go to next record"), QStyle::SP_MediaSeekForward},
        {NavButton::Last, "nbLast", QT_TR_NOOP("Go to last record"), QStyle::SP_MediaSkipForward},
        {NavButton::Edit, "nbEdit", QT_TR_NOOP("Edit record"), QStyle::SP_FileDialogDetailedView},
        {NavButton::Post, "nbPost", QT_TR_NOOP("Post record"), QStyle::SP_DialogApplyButton},
        {NavButton::Cancel, "nbCancel", QT_TR_NOOP("Cancel changes "), QStyle::SP_DialogCancelButton},
    };
    for (const Nav& n : navs) {
        auto* b = new QPushButton(style()->standardIcon(n.icon), QString(), navigator);
        b->setObjectName(QString::fromLatin1(n.name));
        const QString hint = tr(n.hint);
        b->setToolTip(hint);
        b->setAccessibleName(hint.trimmed());
        b->setAutoDefault(false);
        const NavButton which = n.button;
        connect(b, &QPushButton::clicked, this,
                [this, which] { guarded([this, which] { DBNavigator1Click(which); }); });
        navRow->addWidget(b);
    }
    layout->addWidget(navigator);

    addButtonRow(RowAlign::Fill,
                 {{tr("Search"), "Button1", [this] { Button1Click(); }, QKeySequence(QKeySequence::Find)},
                  {tr("&Return Data "), "ReturnDataBtn", [this] { ReturnDataBtnClick(); }},
                  {tr("&Print"), "SpeedButton1", [this] { SpeedButton1Click(); }},
                  {tr("&Close"), "ExitBtn", [this] { ExitBtnClick(); }}});
}

TGetCust::~TGetCust() = default;

template <typename F> bool TGetCust::guarded(F&& work) {
    return ui::runGuarded(this, std::forward<F>(work));
}

bool TGetCust::FormActivate(std::unique_ptr<BookSession> book) {
    const bool ok =
        guarded([this, &book] { book_ = book ? std::move(book) : BookSession::open(this, main_.dataFolder()); });
    if (!ok || !book_) {
        book_.reset();
        return false;
    }
    // A move whose wait was cancelled shows its record when it arrives, unless typing began.
    book_->onLateDone = [this](bool) {
        if (!binding_.modified()) {
            showRecord();
        }
    };
    showNotices();
    binding_.applyWidths(book_->facts().fields, book_->facts().codePage);
    showRecord();
    binding_.editor("NAME")->setFocus();
    return true;
}

void TGetCust::showNotices() {
    for (const std::string& notice : book_->takeNotices()) {
        seam().information(this, ui::toQt(notice));
    }
}

bool TGetCust::browsing() const {
    return book_ && !book_->view().eof;
}

void TGetCust::showNothing() {
    binding_.clear();
    binding_.setReadOnly(true);
    summary_->setSummary(Summary{});
}

void TGetCust::showRecord() {
    if (!browsing()) {
        showNothing();
        return;
    }
    const BookView& record = book_->view();
    const bool shown = guarded([this, &record] {
        if (!record.unreadable.empty()) {
            throw EBookError(record.unreadable);
        }
        binding_.load(record);
        summary_->setSummary(lookupSummary([&record](std::string_view f) { return record.text(f); }));
    });
    if (!shown) {
        // A record that cannot be read (a damaged memo) is shown empty and cannot be edited, so
        // nothing half-read is ever stored back; the other records stay reachable.
        showNothing();
        return;
    }
    binding_.setReadOnly(false);
}

bool TGetCust::store(bool overwrite) {
    // The clash is caught on the book's side, so that the job still hands back the record as the
    // book read it again.
    auto changedElsewhere = std::make_shared<std::string>();
    bool done = false;
    const bool saved = ui::runGuarded(
        this,
        [this, overwrite, &done, changedElsewhere] {
            done = book_->run(this, [values = binding_.values(), overwrite, changedElsewhere](CustomerBook& book) {
                try {
                    book.update(values, overwrite);
                } catch (const ERecordChangedElsewhere& e) {
                    *changedElsewhere = e.what();
                }
            });
        },
        [this](const QString& what) {
            return tr("The customer record could not be saved in %1.\n%2\nWhat you typed is still here; "
                      "correct the cause and post it again.")
                .arg(ui::toQt(book_->facts().where), what);
        });
    if (!saved || !done) {
        return false; // a cancelled wait leaves what was typed, to be posted again
    }
    if (!changedElsewhere->empty()) {
        // The book has read the record again; what was typed is still in the edits.
        if (seam().question(this, tr("%1\n\nStore what you typed over the other change?\n"
                                     "Yes stores yours. No shows the record as it is "
                                     "stored now and drops what you typed.")
                                      .arg(ui::toQt(*changedElsewhere)))) {
            return store(true);
        }
        showRecord();
        return false;
    }
    showRecord();
    return true;
}

bool TGetCust::postChanges() {
    if (!binding_.modified()) {
        return true;
    }
    if (!browsing()) {
        return false;
    }
    if (const QString refused = binding_.refusal(book_->facts().codePage); !refused.isEmpty()) {
        seam().message(this, refused);
        return false;
    }
    return store(false);
}

bool TGetCust::settle() {
    return postChanges();
}

void TGetCust::DBNavigator1Click(NavButton button) {
    if (!book_ || waitingForBook()) {
        return;
    }
    switch (button) {
    case NavButton::First:
    case NavButton::Prior:
    case NavButton::Next:
    case NavButton::Last: {
        if (!settle()) {
            return;
        }
        bool done = false;
        const bool moved = guarded([this, button, &done] {
            done = book_->run(this, [button](CustomerBook& book) {
                if (button == NavButton::First) {
                    book.first();
                } else if (button == NavButton::Prior) {
                    book.prior();
                } else if (button == NavButton::Next) {
                    book.next();
                    if (book.eof()) {
                        book.last(); // the last record stays shown, as at the other end
                    }
                } else {
                    book.last();
                }
            });
        });
        if (moved && done) {
            showRecord();
        } else {
            showNothing(); // the error box said why, or the record shows when it arrives
        }
        break;
    }
    case NavButton::Edit:
        // Every record shown can be typed into; what was typed is stored by Post or a move.
        if (browsing()) {
            binding_.editor("NAME")->setFocus();
        }
        break;
    case NavButton::Post:
        postChanges();
        break;
    case NavButton::Cancel:
        showRecord();
        break;
    }
}

void TGetCust::Button1Click() {
    if (!book_ || waitingForBook() || !settle()) {
        return;
    }
    const auto text = seam().inputText(this, tr("Find Customer"), tr("Enter First Letters of Name, Xxx"), QString());
    if (!text) {
        return;
    }
    struct Outcome {
        bool found = false;
        std::string stale;
    };
    auto outcome = std::make_shared<Outcome>();
    bool done = false;
    const auto seek = [this, prefix = ui::fromQt(*text), outcome, &done] {
        done = book_->run(this, [prefix, outcome](CustomerBook& book) {
            try {
                outcome->found = book.seek(prefix);
            } catch (const EStaleIndex& e) {
                outcome->stale = e.what();
            }
        });
    };
    if (!guarded(seek) || !done) {
        showNothing();
        return;
    }
    if (!outcome->stale.empty()) {
        // The index is older than the records: the user may have it built again at once.
        if (!seam().offer(this,
                          tr("%1\n\nChoose Rebuild to build the index again from the customer "
                             "records now (or run: arrowsel-cli customers reindex --book %2).")
                              .arg(ui::toQt(outcome->stale), ui::toQt(main_.dataFolder().string())),
                          tr("Rebuild"))) {
            DBNavigator1Click(NavButton::First);
            return;
        }
        outcome->stale.clear();
        if (!guarded([this, &done] { done = book_->run(this, [](CustomerBook& book) { book.rebuildIndex(); }); }) ||
            !done || !guarded(seek) || !done || !outcome->stale.empty()) {
            showNothing();
            return;
        }
        showNotices();
    }
    if (!outcome->found) {
        seam().message(this, tr("Name not found"));
        guarded([this] { book_->run(this, [](CustomerBook& book) { book.first(); }); });
    }
    showRecord();
}

void TGetCust::ReturnDataBtnClick() {
    if (!browsing() || waitingForBook() || !settle() || !browsing()) {
        return;
    }
    const BookView& record = book_->view();
    if (!guarded([this, &record] { restoreSetup([&record](std::string_view f) { return record.text(f); }, main_); })) {
        return;
    }
    book_.reset();
    accept();
}

void TGetCust::SpeedButton1Click() {
    // Printing never stores: the page shows the record as it is stored. Typed changes are first
    // dropped, after the question Close asks; No goes back to them, to be posted or printed later.
    if (!mayDiscardTyping()) {
        return;
    }
    if (binding_.modified()) {
        showRecord();
    }
    if (!reportPrinter()) {
        seam().message(this, tr("The customer report is not available yet."));
        return;
    }
    reportPrinter()(this, shownTexts());
}

void TGetCust::ExitBtnClick() {
    closeDiscarding();
}

void TGetCust::releaseRecord() {
    book_.reset();
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
