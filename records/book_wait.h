// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <chrono>
#include <functional>

class QWidget;

namespace arrowsel::records {

// How the windows wait for their book's worker without stopping: the window's thread keeps its
// event loop running (painting, timers, other windows) in a local loop, while no input reaches a
// control that could start another book request. A wait that ends within a moment shows nothing;
// a longer one shows a busy cursor, and after 250 ms a line saying what it waits for, with a
// Cancel button (objectNames "BookWaitLine" and "BookWaitCancel"): inside the record window when
// the window is one, otherwise in a small window of its own over `window`.
//
// The waiting command keeps its order of steps: it resumes where it waited, once the job is done
// or the user cancelled. This keeps the record windows modal and every window on one thread: only
// the book's work runs elsewhere.
struct BookWait {
    // Tells whether the job is done, waiting at most the time given.
    std::function<bool(std::chrono::milliseconds)> done;
    // Asks the job to give up (for example a server's statement); may do nothing.
    std::function<void()> cancel;

    // True when the job is done; false when the user chose Cancel first.
    bool run(QWidget* window, const QString& waitingFor) const;

    // The wait shown after this long, and the line's name in tests.
    static constexpr std::chrono::milliseconds kLineAfter{250};
};

// True while some window waits for a book (its commands then do nothing).
bool bookWaitRunning();

} // namespace arrowsel::records
