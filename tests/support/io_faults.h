// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Probes a test hands to a table, an index file or a new file (see data::IoProbe). IoFaults makes
// one call go wrong: the n-th index or new-file write, sync, truncate or rename counted from when
// it is armed fails with an errno value (ENOSPC: a full disk) or kills the process (in a child),
// or the process is killed when a post reaches one of its steps. ReadCounter counts the reads and
// size looks that calls cost. Both are header-only so that the writers run by the interop checks,
// which link the data library alone, can use them.

#include "data/dbf_table.h"
#include "data/io_probe.h"

#include <csignal>

namespace arrowsel::test {

// The fault that kills the process instead of failing the call with an errno value.
inline constexpr int kKill = -1;

class IoFaults : public data::IoProbe {
public:
    // From now on the n-th index write, sync or truncate (counted from 1) fails with `err`, or
    // kills the process when `err` is kKill; calls before and after it go through.
    void atIndexIo(int n, int err) { arm(Kind::Index, n, err); }
    // The same for the writes, syncs and renames of a file made under a temporary name.
    void atNewFileIo(int n, int err) { arm(Kind::NewFile, n, err); }
    // The first time a post reaches `stage` from now on kills the process.
    void killAtStage(data::PostStage stage) {
        arm(Kind::Post, 1, kKill);
        stage_ = stage;
    }
    // No call fails any more.
    void disarm() { kind_ = Kind::None; }

    void postStage(data::PostStage stage) override {
        if (stage == stage_) {
            (void)hit(Kind::Post);
        }
    }
    int indexIo(data::IndexIo /*op*/) override { return hit(Kind::Index); }
    int newFileIo(data::NewFileIo /*op*/) override { return hit(Kind::NewFile); }

private:
    enum class Kind { None, Post, Index, NewFile };

    void arm(Kind kind, int n, int err) {
        kind_ = kind;
        at_ = n;
        err_ = err;
        seen_ = 0;
    }

    int hit(Kind kind) {
        if (kind != kind_ || ++seen_ != at_) {
            return 0;
        }
        if (err_ == kKill) {
            ::raise(SIGKILL);
        }
        return err_;
    }

    Kind kind_ = Kind::None;
    int at_ = 0;
    int err_ = 0;
    int seen_ = 0;
    data::PostStage stage_ = data::PostStage::MemoWritten;
};

// Counts the read and stat system calls of what it is handed to.
class ReadCounter : public data::IoProbe {
public:
    void readIo(data::ReadIo op) override { ++(op == data::ReadIo::Read ? reads : stats); }
    void reset() { reads = stats = 0; }

    int reads = 0;
    int stats = 0;
};

// The settings of a table that `probe` watches, otherwise as the program opens it.
inline data::TDbfTable::Settings watchedBy(data::IoProbe& probe) {
    data::TDbfTable::Settings settings;
    settings.probe = &probe;
    return settings;
}

} // namespace arrowsel::test
