// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Seams for tests of crash safety and of shared reads; never set by the program.

#include <chrono>

namespace arrowsel::data::test_hooks {

// The steps of TDbfTable::post(), in the order they happen.
enum class PostStage {
    MemoWritten,    // new memo blocks written (none yet referenced)
    RecordWritten,  // the record (and a fresh 0x1A) written; header count not yet
    HeaderWritten,  // header count and date written; indexes not yet updated
    IndexesUpdated, // indexes updated; nothing flushed yet
};

// Called at each step when set (null by default). A test sets it in a child process, e.g. to
// raise SIGKILL at one step.
extern void (*postStage)(PostStage stage);

// Each write, sync and truncate of an index file or of its journal, in the order they happen.
enum class IndexIo { Write, Sync, Truncate };

// Called before each one when set (null by default). A non-zero result makes that call fail with
// that errno value (ENOSPC: a full disk); a test may also raise SIGKILL there in a child process.
extern int (*indexIo)(IndexIo op);

// Each write, sync and rename of a file made under a temporary name (see NewFile), and the sync
// of its folder, in the order they happen; called and answered as indexIo is.
enum class NewFileIo { Write, Sync, Rename, SyncFolder };

extern int (*newFileIo)(NewFileIo op);

// Each read of a table or index file, and each look at such a file's size and times, as the
// system call is made (null by default): a test counts what one call of the engine costs.
enum class ReadIo { Read, Stat };

extern void (*readIo)(ReadIo op);

// How long a shared open trusts what it read while the table's header stays as it was (250 ms
// unless a test changes it).
extern std::chrono::milliseconds trustUnchanged;

} // namespace arrowsel::data::test_hooks
