// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/book_worker.h"

#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QWidget;

namespace arrowsel::records {

// A customer book as a window uses it: the worker that owns it, what it said of itself when it
// opened, and the record the last job left current. Every job is waited for as BookWait does, so
// the window answers while a server, a lock or a share keeps the book busy.
class BookSession : public QObject {
    Q_OBJECT
public:
    // Opens the book the data folder names (or `book`, already open) and waits for it. Throws
    // why it could not be opened; null when the user cancelled the wait.
    static std::unique_ptr<BookSession> open(QWidget* window, const std::filesystem::path& dataFolder,
                                             std::unique_ptr<CustomerBook> book = {});
    ~BookSession() override;
    Q_DISABLE_COPY_MOVE(BookSession)

    const BookFacts& facts() const { return facts_; }
    // The current record as the last finished job left it.
    const BookView& view() const { return view_; }

    // Runs `job` on the book and waits for it: true when done (view() then shows its record);
    // false when the user cancelled the wait. The job's failure is thrown here.
    bool run(QWidget* window, std::function<void(CustomerBook&)> job);

    // Called on the window's thread when a job whose wait was cancelled ends after all; view()
    // then shows where the book is. `done` is false when it failed: the user gave up on it, so
    // its error is not shown.
    std::function<void(bool done)> onLateDone;
    // Repairs the book made since last asked (a rebuilt index), one sentence each; emptied.
    std::vector<std::string> takeNotices() { return std::exchange(notices_, {}); }
    // True while a cancelled job has not ended yet.
    bool lateJobOut() const { return !late_.empty(); }

private:
    BookSession(std::unique_ptr<BookWorker> worker, QString waitingFor);
    void collectLate();
    void take(BookView view);
    // The job's view; a failed job's error is thrown after its view is taken.
    BookView outcome(std::future<BookView>& done);

    std::unique_ptr<BookWorker> worker_;
    QString waitingFor_;
    BookFacts facts_;
    BookView view_;
    std::vector<std::future<BookView>> late_;
    std::vector<std::string> notices_;
};

// The line shown while a book at `address` (a server's address or a folder) keeps a window
// waiting.
QString waitingForText(const std::string& address);

} // namespace arrowsel::records
