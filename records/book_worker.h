// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/customer_book.h"

#include <chrono>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace arrowsel::records {

// The current record of a book as a job left it, copied out so that a window can show it without
// touching the book, with the book's own notices. A record that could not be read has no fields
// and `unreadable` says why.
struct BookView : SavedRecord {
    bool eof = true;
    std::string unreadable;
    std::vector<std::string> notices;
};

// How a job that threw reaches the window: its error, and the record the book is on after it (a
// move may have gone ahead before reading the record failed).
struct BookJobFailure {
    std::exception_ptr error;
    BookView view;
};

// What a book says of itself once it is open; it does not change while it stays open.
struct BookFacts {
    std::string where;
    data::CodePage codePage = data::CodePage::Windows1252;
    std::vector<SetupField> fields;
};

// One thread that owns an open customer book and does the jobs asked of it in order, so that a
// window never waits on a server, a lock or a slow share itself: it posts a job and goes on
// answering until the job's future is ready. Opening the book is the first job. Every job ends
// with a BookView of the record it left current; a job's exception travels back through its
// future. The book is never touched outside the thread.
class BookWorker {
public:
    using Opener = std::function<std::unique_ptr<CustomerBook>()>;
    explicit BookWorker(Opener open);
    // Closes the book on its own thread. A job still out (a wait the user cancelled) is not
    // waited for: the thread finishes it, closes the book and ends by itself.
    ~BookWorker();
    BookWorker(const BookWorker&) = delete;
    BookWorker& operator=(const BookWorker&) = delete;
    BookWorker(BookWorker&&) = delete;
    BookWorker& operator=(BookWorker&&) = delete;

    // Ready once the book is open (or failed to open: get() throws why).
    std::shared_future<BookFacts> opened() const { return opened_; }
    // Queues `job`; the future gives the view the job left, or throws BookJobFailure.
    std::future<BookView> post(std::function<void(CustomerBook&)> job);
    // Asks the book to give up the statement it waits for (a server's query); returns at once.
    // The job then ends with the book's error. Nothing happens for a book that cannot be asked.
    void cancel();

    // Waits at most `limit` for the threads of workers already destroyed to end, so that none
    // still talks to a book while the program exits; false when some are still busy.
    static bool waitForRetired(std::chrono::milliseconds limit);

private:
    struct State;
    std::shared_ptr<State> state_;
    std::shared_future<BookFacts> opened_;
};

} // namespace arrowsel::records
