// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/book_worker.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace arrowsel::records {

namespace {

// Threads of destroyed workers that have not ended yet (each finishes a cancelled job first).
// Never destroyed: a thread still busy when the program exits must find them whole.
struct Retired {
    std::mutex mutex;
    std::condition_variable ended;
    int running = 0;
};
Retired& retired() {
    static auto* r = new Retired;
    return *r;
}

BookView viewOf(CustomerBook& book) {
    BookView v;
    v.eof = book.eof();
    if (!v.eof) {
        try {
            static_cast<SavedRecord&>(v) = book.current();
        } catch (const std::exception& e) {
            // A damaged memo, say: the move itself stands, and the window says why it shows nothing.
            v.fields.clear();
            v.cut.clear();
            v.unreadable = e.what();
        }
    }
    v.notices = book.takeNotices();
    return v;
}

} // namespace

struct BookWorker::State {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::function<void()>> jobs;
    bool closing = false;
    bool letGo = false;              // the worker was destroyed: the thread ends on its own
    std::function<void()> canceller; // set once the book is open
    std::unique_ptr<CustomerBook> book;

    void run() {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] { return closing || !jobs.empty(); });
                if (jobs.empty()) {
                    break;
                }
                job = std::move(jobs.front());
                jobs.pop_front();
            }
            job();
        }
        book.reset();
        std::unique_lock lock(mutex);
        if (letGo) {
            lock.unlock();
            Retired& r = retired();
            const std::lock_guard count(r.mutex);
            --r.running;
            r.ended.notify_all();
        }
    }
};

BookWorker::BookWorker(Opener open) : state_(std::make_shared<State>()) {
    auto opening = std::make_shared<std::promise<BookFacts>>();
    opened_ = opening->get_future().share();
    state_->jobs.emplace_back([state = state_.get(), opening, open = std::move(open)] {
        try {
            std::unique_ptr<CustomerBook> book = open();
            BookFacts facts{book->where(), book->codePage(), book->fields()};
            {
                const std::lock_guard lock(state->mutex);
                state->canceller = book->canceller();
            }
            state->book = std::move(book);
            opening->set_value(std::move(facts));
        } catch (...) {
            opening->set_exception(std::current_exception());
        }
    });
    // The thread holds the state, so that it can outlive this object after a cancelled wait.
    std::thread([state = state_] { state->run(); }).detach();
}

BookWorker::~BookWorker() {
    Retired& r = retired();
    const std::lock_guard count(r.mutex);
    ++r.running;
    const std::lock_guard lock(state_->mutex);
    state_->letGo = true;
    state_->closing = true;
    state_->wake.notify_all();
}

std::future<BookView> BookWorker::post(std::function<void(CustomerBook&)> job) {
    auto done = std::make_shared<std::promise<BookView>>();
    std::future<BookView> result = done->get_future();
    const std::lock_guard lock(state_->mutex);
    state_->jobs.emplace_back([state = state_.get(), done, job = std::move(job)] {
        try {
            if (!state->book) {
                // The open failed; its error was reported through opened().
                throw EBookError("The customer book could not be opened.");
            }
            job(*state->book);
        } catch (...) {
            BookJobFailure failure{std::current_exception(), {}};
            if (state->book) {
                failure.view = viewOf(*state->book);
            }
            done->set_exception(std::make_exception_ptr(std::move(failure)));
            return;
        }
        done->set_value(viewOf(*state->book));
    });
    state_->wake.notify_all();
    return result;
}

void BookWorker::cancel() {
    std::function<void()> cancel;
    {
        const std::lock_guard lock(state_->mutex);
        cancel = state_->canceller;
    }
    if (cancel) {
        cancel();
    }
}

bool BookWorker::waitForRetired(std::chrono::milliseconds limit) {
    Retired& r = retired();
    std::unique_lock lock(r.mutex);
    return r.ended.wait_for(lock, limit, [&r] { return r.running == 0; });
}

} // namespace arrowsel::records
