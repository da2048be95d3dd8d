// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/book_session.h"

#include "records/book_settings.h"
#include "records/book_wait.h"
#include "ui/qt_text.h"

#include <QCoreApplication>
#include <QTimer>

namespace arrowsel::records {

namespace {

template <typename Future> BookWait waitFor(Future& future, BookWorker& worker) {
    return {[&future](std::chrono::milliseconds limit) { return future.wait_for(limit) == std::future_status::ready; },
            [&worker] { worker.cancel(); }};
}

} // namespace

QString waitingForText(const std::string& address) {
    if (isServerAddress(address)) {
        return QCoreApplication::translate("arrowsel::records::BookSession", "Waiting for %1 …")
            .arg(ui::toQt(serverBookWhere(address)));
    }
    return QCoreApplication::translate("arrowsel::records::BookSession",
                                       "Waiting for the customer files in %1: another counter may be saving …")
        .arg(ui::toQt(address));
}

BookSession::BookSession(std::unique_ptr<BookWorker> worker, QString waitingFor)
    : worker_(std::move(worker)), waitingFor_(std::move(waitingFor)) {}

BookSession::~BookSession() = default;

std::unique_ptr<BookSession> BookSession::open(QWidget* window, const std::filesystem::path& dataFolder,
                                               std::unique_ptr<CustomerBook> book) {
    std::string address = dataFolder.string();
    if (!book) {
        // A settings file that cannot be read is reported by the open itself, below.
        try {
            address = configuredBookAddress(dataFolder / kSettingsFile).value_or(address);
        } catch (const EBookError&) {
        }
    }
    auto given = std::make_shared<std::unique_ptr<CustomerBook>>(std::move(book));
    auto worker = std::make_unique<BookWorker>([given, dataFolder]() -> std::unique_ptr<CustomerBook> {
        return *given ? std::move(*given) : openCustomerBook(dataFolder);
    });
    std::unique_ptr<BookSession> session(new BookSession(std::move(worker), waitingForText(address)));
    std::shared_future<BookFacts> opened = session->worker_->opened();
    if (!waitFor(opened, *session->worker_).run(window, session->waitingFor_)) {
        return nullptr;
    }
    session->facts_ = opened.get();
    // What the open left current (the first record in name order) and what it repaired.
    std::future<BookView> first = session->worker_->post([](CustomerBook&) {});
    if (!waitFor(first, *session->worker_).run(window, session->waitingFor_)) {
        return nullptr;
    }
    session->take(session->outcome(first));
    return session;
}

bool BookSession::run(QWidget* window, std::function<void(CustomerBook&)> job) {
    std::future<BookView> done = worker_->post(std::move(job));
    if (!waitFor(done, *worker_).run(window, waitingFor_)) {
        late_.push_back(std::move(done));
        if (late_.size() == 1) {
            auto* poll = new QTimer(this);
            connect(poll, &QTimer::timeout, this, [this, poll] {
                if (bookWaitRunning()) {
                    return; // that wait's run() hands the late results over in their order
                }
                collectLate();
                if (late_.empty()) {
                    poll->deleteLater();
                }
            });
            poll->start(50);
        }
        return false;
    }
    // Jobs end in the order they were asked: every cancelled one before this has ended.
    collectLate();
    take(outcome(done));
    return true;
}

BookView BookSession::outcome(std::future<BookView>& done) {
    try {
        return done.get();
    } catch (BookJobFailure& failure) {
        take(std::move(failure.view));
        std::rethrow_exception(failure.error);
    }
}

void BookSession::take(BookView view) {
    for (std::string& notice : view.notices) {
        notices_.push_back(std::move(notice));
    }
    view.notices.clear();
    view_ = std::move(view);
}

void BookSession::collectLate() {
    while (!late_.empty() && late_.front().wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        std::future<BookView> job = std::move(late_.front());
        late_.erase(late_.begin());
        bool done = true;
        try {
            take(outcome(job));
        } catch (...) {
            done = false; // the user gave up on it; a book's failed change leaves nothing half done
        }
        if (onLateDone) {
            onLateDone(done);
        }
    }
}

} // namespace arrowsel::records
