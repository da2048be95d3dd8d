// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How an .idx file uses its journal (see idx_journal.h for the journal's bytes). Internal to data/.
//
// Writing: each group of changes goes to the journal, which is synced (and its folder); then into
// the index, which is synced; then the journal is removed. A group that rewrites one node where it
// lies and, in the header, only what tells readers about changes goes without one (see
// rewritesOneNodeInPlace), and so does a new file not yet named. Reading: a journal left by a
// process killed in between is written into the index by a writable handle, and read through by a
// read-only one (the overlay), but only for the file it was made for (same inode; a group of nodes
// also only while the header's counter is the one before or after it).
//
// The folder is not trusted: the journal is reached through a descriptor of it, created with
// O_EXCL, never through a link; anything at its name that is no journal of ours is set aside by a
// writable handle as "<journal>.not-a-journal" and left alone by a read-only one, and the notices
// say which.

#include "data/idx_io.h"
#include "data/idx_journal.h"
#include "data/index_file.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace arrowsel::data::idx {

class JournalKeeper {
public:
    // The journal of the index open in `io`, at `index`, reached through its folder `dirFd` (owned
    // from here on); `fresh` for a new file not yet named, which needs no journal.
    JournalKeeper(IdxIo& io, const std::filesystem::path& index, int dirFd, bool writable, bool fresh);
    ~JournalKeeper();
    JournalKeeper(const JournalKeeper&) = delete;
    JournalKeeper& operator=(const JournalKeeper&) = delete;

    bool fresh() const { return fresh_; }
    // The new file has taken its name: from now on its changes go through the journal.
    void named() { fresh_ = false; }

    // A group of writes left by a process that was stopped in the middle of it. A writable handle
    // completes it on disk; a read-only one reads the file as the group left it. What is no
    // journal of this file is set aside (see setAside); a leftover of ours that never came whole,
    // was spent, or belongs to another file or an older state of this one is removed by a
    // writable handle and ignored by a read-only one.
    void recover();

    // Something other than what a read-only handle already looked at and left is at the journal's
    // name (one look, no read).
    bool present() const;

    // A pending group that a read-only handle reads through.
    bool hasOverlay() const { return overlay_.has_value(); }

    // Writes one group of changes so that a kill at any point leaves the old file or the new one:
    // the group goes to the journal first, then into the file, and the journal is removed. The
    // journal exists only during a change (writers are one at a time under the table's header
    // lock). The counters are the header's before and after the group.
    void commit(std::vector<JournalWrite> writes, std::uint64_t newLength, bool wholeFile, std::uint32_t counterBefore,
                std::uint32_t counterAfter, IndexKind kind);

    // The size the file has once a pending group is counted in.
    std::uint64_t logicalSize(std::uint64_t fileSize) const;
    // Reads `len` bytes at `at`, as a pending group would leave them.
    void readBlock(unsigned char* out, std::size_t len, std::uint64_t at) const;

    // What was found beside the file and done about it; the list is emptied.
    std::vector<std::string> takeNotices();

private:
    std::optional<std::uint32_t> diskCounter() const;
    std::optional<Seen> lookAtJournal() const;
    void removeJournal();
    void setAside(const std::string& what);
    [[noreturn]] void journalFailed(int err) const;
    void syncFolder();
    void apply(const Journal& j);
    void spendJournal(bool durable);
    int createJournal();
    bool rewritesOneNodeInPlace(const std::vector<JournalWrite>& writes, IndexKind kind) const;

    IdxIo& io_;
    std::filesystem::path journalPath_;
    std::string journalName_; // its last part, opened relative to dirFd_
    int dirFd_ = -1;
    bool fresh_ = false;
    bool writable_ = false;
    std::uint64_t fileId_ = 0;
    mode_t fileMode_ = 0;
    std::optional<Seen> ignored_; // what a read-only handle found at the journal's name and left
    std::vector<std::string> notices_;
    std::optional<Journal> overlay_; // a pending group a read-only handle reads through
};

} // namespace arrowsel::data::idx
