// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The system calls on an open .idx file and its journal: whole writes, syncs and truncates, each
// told first to the handle's IoProbe (a test's), and reads and looks at the file's size and
// times, each counted for the probe. Every failure throws an ETableError whose message names the
// file; a read that comes short where a whole block was wanted gives EIndexDamaged. Internal to
// data/.

#include "data/index_file.h"
#include "data/io_probe.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace arrowsel::data::idx {

// What one look at a name saw: enough to tell the same file from a new one there.
struct Seen {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    time_t ctimeSec = 0;
    long ctimeNsec = 0;
    bool operator==(const Seen&) const = default;
};

// The file's size and times as last read or written, and our change counter then: when all are
// as they were, the file is as it was.
struct Stamp {
    off_t size = -1;
    timespec mtime{};
    timespec ctime{};
    std::uint32_t counter = 0;

    bool operator==(const Stamp& o) const {
        return size == o.size && mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec &&
               ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec && counter == o.counter;
    }
};

inline bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// A file descriptor that closes itself.
struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
};

// The index file open as `fd` (owned from here on), named `name` in messages.
class IdxIo {
public:
    IdxIo(int fd, std::string name, IoProbe* probe) : fd_(fd), name_(std::move(name)), probe_(probe) {}
    ~IdxIo();
    IdxIo(const IdxIo&) = delete;
    IdxIo& operator=(const IdxIo&) = delete;

    int fd() const { return fd_; }
    const std::string& name() const { return name_; }
    IoProbe* probe() const { return probe_; }

    // On `fd` (the index's or its journal's), the file named `file` in messages.
    void write(int fd, const unsigned char* data, std::size_t len, std::uint64_t at, const std::string& file);
    void sync(int fd, const std::string& file);
    void truncate(int fd, std::uint64_t length, const std::string& file);
    // The same on the index file.
    void write(const unsigned char* data, std::size_t len, std::uint64_t at) { write(fd_, data, len, at, name_); }
    void sync() { sync(fd_, name_); }

    // The index's size and times (counter 0).
    Stamp stat() const;
    // Up to `len` bytes at `at`; fewer only at the end of the file.
    std::size_t readSome(unsigned char* out, std::size_t len, off_t at) const;
    // Exactly `len` bytes at `at`.
    void readFull(unsigned char* out, std::size_t len, off_t at) const;
    // The change counter in a header of `kind` in a file of `fileSize` bytes (0 past its end).
    std::uint32_t readCounter(IndexKind kind, off_t fileSize) const;

    // Set once a write is made that no sync has covered yet.
    bool needSync = false;

private:
    int fd_ = -1;
    std::string name_;
    IoProbe* probe_ = nullptr;
};

// The folder of `path`, for the journal's *at calls.
int openFolder(const std::filesystem::path& path);

// An existing regular file, opened without waiting on a pipe; for writing, never through a link.
// A missing file gives `missingText` when it is not empty.
int openExisting(const std::filesystem::path& path, bool writable, const std::string& missingText);

} // namespace arrowsel::data::idx
