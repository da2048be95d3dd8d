// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a test hands to a table, an index file, a file or a new file to watch its input and
// output, or to make one call of it fail: a disk that fills at the N-th write, a kill between two
// steps of a change, a count of the reads one call costs. The program itself never passes one; a
// null probe means nothing watches. A probe is called on the thread that makes the call and must
// outlive what it was handed to.

namespace arrowsel::data {

// The steps of TDbfTable::post(), in the order they happen.
enum class PostStage {
    MemoWritten,    // new memo blocks written (none yet referenced)
    RecordWritten,  // the record (and a fresh 0x1A) written; header count not yet
    HeaderWritten,  // header count and date written; indexes not yet updated
    IndexesUpdated, // indexes updated; nothing flushed yet
};

// Each write, sync and truncate of an index file or of its journal, in the order they happen.
enum class IndexIo { Write, Sync, Truncate };

// Each write, sync and rename of a file made under a temporary name (see NewFile), and the sync
// of its folder, in the order they happen.
enum class NewFileIo { Write, Sync, Rename, SyncFolder };

// Each read of a table or index file, and each look at such a file's size and times, as the
// system call is made.
enum class ReadIo { Read, Stat };

class IoProbe {
public:
    IoProbe() = default;
    virtual ~IoProbe() = default;
    IoProbe(const IoProbe&) = delete;
    IoProbe& operator=(const IoProbe&) = delete;

    // Called before each step, write, sync or read. Where an int is returned, a non-zero value
    // makes that call fail with that errno value (ENOSPC: a full disk) instead of being made.
    virtual void postStage(PostStage /*stage*/) {}
    virtual int indexIo(IndexIo /*op*/) { return 0; }
    virtual int newFileIo(NewFileIo /*op*/) { return 0; }
    virtual void readIo(ReadIo /*op*/) {}
};

} // namespace arrowsel::data
