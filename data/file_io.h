// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/io_probe.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace arrowsel::data {

// Tells `probe` (when not null) about one read or stat system call.
void countReadIo(IoProbe* probe, ReadIo op);

// Names of files and fields compare without regard to the case of ASCII letters.
bool equalNoCase(std::string_view a, std::string_view b);

// A file opened with POSIX calls: whole reads and writes at given positions, its size, flushing,
// and one-byte open-file-description locks (F_OFD_SETLK). Such a lock belongs to this open file,
// not to the process: two File objects on one file exclude each other even in one process, and
// closing another descriptor of the same file does not drop it. Every failure throws an
// ETableError whose message names the file.
class File {
public:
    enum class Access { ReadOnly, ReadWrite };
    enum class LockType { Read, Write };

    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // What open() returns for a folder, a pipe, a device or a socket: only regular files are
    // tables, memos or indexes.
    static constexpr int kNotRegularFile = -1;

    // Opens an existing regular file without waiting (a named pipe is refused, not waited on).
    // For writing, a symbolic link is not followed (ELOOP): nothing is written through a link in
    // a folder others may write to. Returns the errno value or kNotRegularFile on failure (the
    // File stays closed), 0 on success. New files are made with NewFile.
    int open(const std::filesystem::path& path, Access access);
    void close() noexcept;

    bool isOpen() const { return fd_ >= 0; }
    bool writable() const { return writable_; }
    int fd() const { return fd_; }
    const std::filesystem::path& path() const { return path_; }
    // What watches this file's reads and size looks (see IoProbe); null by default.
    void setProbe(IoProbe* probe) { probe_ = probe; }
    IoProbe* probe() const { return probe_; }

    // Reads up to `n` bytes at `offset`; fewer only at the end of the file.
    std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t n) const;
    // Reads exactly `n` bytes or throws, naming `what`.
    void readExact(std::uint64_t offset, void* buffer, std::size_t n, const char* what) const;
    void writeAt(std::uint64_t offset, const void* buffer, std::size_t n);
    std::uint64_t size() const;
    void truncate(std::uint64_t size);
    void sync(); // fdatasync

    // One-byte locks at `offset`. tryLock returns false when another open file holds a
    // conflicting lock; lock waits for it, in turn with other waiters, for at most kLockWait, then
    // throws an ETableError naming the folder. Safe in several threads at once; the wait is cut
    // short by a timer signal to the waiting thread (a real-time signal no one else handles).
    // Asking for a read lock while holding the write lock turns it into a read lock at once.
    static constexpr std::chrono::seconds kLockWait{5};
    bool tryLock(std::uint64_t offset, LockType type);
    void lock(std::uint64_t offset, LockType type);
    void unlock(std::uint64_t offset) noexcept;

private:
    int fd_ = -1;
    bool writable_ = false;
    std::filesystem::path path_;
    IoProbe* probe_ = nullptr;
};

// Holds a lock from construction to destruction (or release()).
class ByteLock {
public:
    ByteLock() = default;
    ByteLock(File& file, std::uint64_t offset, File::LockType type) { take(file, offset, type); }
    ~ByteLock() { release(); }
    ByteLock(const ByteLock&) = delete;
    ByteLock& operator=(const ByteLock&) = delete;
    // Releases what is held, then waits for the lock (see File::lock).
    void take(File& file, std::uint64_t offset, File::LockType type) {
        release();
        file.lock(offset, type);
        file_ = &file;
        offset_ = offset;
    }
    // Turns the write lock held into a read lock, at once and with no moment unlocked.
    void downgrade() { file_->lock(offset_, File::LockType::Read); }
    void release() noexcept {
        if (file_ != nullptr) {
            file_->unlock(offset_);
            file_ = nullptr;
        }
    }

private:
    File* file_ = nullptr;
    std::uint64_t offset_ = 0;
};

// The file of that name in `path`'s folder, matched without regard to the letter case of the last
// part (an exact match wins; among several others the first in byte order); nullopt when none.
std::optional<std::filesystem::path> findFileNoCase(const std::filesystem::path& path);

// The system's message for an errno value (or File::kNotRegularFile).
std::string errorText(int err);

// Writes all of `bytes` at `fd`'s position, going on after a short write or a signal; 0 when
// done, else the errno value of the write that failed.
int appendAll(int fd, std::string_view bytes);

} // namespace arrowsel::data
