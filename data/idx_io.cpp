// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/idx_io.h"

#include "data/file_io.h"
#include "data/idx_codec.h"
#include "data/table_error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace arrowsel::data {

namespace idx {

namespace {

int ioHook(IoProbe* probe, IndexIo op) {
    return probe != nullptr ? probe->indexIo(op) : 0;
}

[[noreturn]] void writeFailed(const std::string& file, int err) {
    throw ETableError("Cannot write index file " + file + ": " + std::strerror(err) +
                      (err == ENOSPC ? ". Free some space on the disk and try again." : "."));
}

} // namespace

Fd::~Fd() {
    if (fd >= 0) {
        ::close(fd);
    }
}

IdxIo::~IdxIo() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void IdxIo::write(int fd, const unsigned char* data, std::size_t len, std::uint64_t at, const std::string& file) {
    if (const int err = ioHook(probe_, IndexIo::Write)) {
        writeFailed(file, err);
    }
    std::size_t done = 0;
    while (done < len) {
        const ssize_t n = ::pwrite(fd, data + done, len - done, static_cast<off_t>(at + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            writeFailed(file, n < 0 ? errno : ENOSPC);
        }
        done += static_cast<std::size_t>(n);
    }
}

void IdxIo::sync(int fd, const std::string& file) {
    int err = ioHook(probe_, IndexIo::Sync);
    if (err == 0 && ::fdatasync(fd) != 0) {
        err = errno;
    }
    if (err != 0) {
        writeFailed(file, err);
    }
}

void IdxIo::truncate(int fd, std::uint64_t length, const std::string& file) {
    int err = ioHook(probe_, IndexIo::Truncate);
    if (err == 0 && ::ftruncate(fd, static_cast<off_t>(length)) != 0) {
        err = errno;
    }
    if (err != 0) {
        writeFailed(file, err);
    }
}

Stamp IdxIo::stat() const {
    struct stat sb {};
    countReadIo(probe_, ReadIo::Stat);
    if (::fstat(fd_, &sb) != 0) {
        throw ETableError("Cannot read index file " + name_ + ": " + std::strerror(errno) + ".");
    }
    Stamp s;
    s.size = sb.st_size;
    s.mtime = sb.st_mtim;
    s.ctime = sb.st_ctim;
    return s;
}

std::size_t IdxIo::readSome(unsigned char* out, std::size_t len, off_t at) const {
    std::size_t done = 0;
    while (done < len) {
        countReadIo(probe_, ReadIo::Read);
        const ssize_t n = ::pread(fd_, out + done, len - done, at + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw ETableError("Cannot read index file " + name_ + ": " + std::strerror(errno) + ".");
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void IdxIo::readFull(unsigned char* out, std::size_t len, off_t at) const {
    if (readSome(out, len, at) < len) {
        damaged(name_, "the file is shorter than expected");
    }
}

std::uint32_t IdxIo::readCounter(IndexKind kind, off_t fileSize) const {
    const std::size_t at = counterOffset(kind);
    unsigned char b[4] = {0, 0, 0, 0};
    if (fileSize >= static_cast<off_t>(at + 4)) {
        readFull(b, 4, static_cast<off_t>(at));
    }
    return getLE32(b);
}

// The folder of `path`, for the journal's *at calls.
int openFolder(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        throw ETableError("Cannot open the folder of index file " + path.string() + ": " + std::strerror(errno) + ".");
    }
    return fd;
}

// An existing regular file, opened without waiting on a pipe; for writing, never through a link.
int openExisting(const std::filesystem::path& path, bool writable, const std::string& missingText) {
    int fd;
    do {
        fd = ::open(path.c_str(), (writable ? O_RDWR | O_NOFOLLOW : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ENOENT && !missingText.empty()) {
            throw ETableError(missingText);
        }
        throw ETableError("Cannot open index file " + path.string() + ": " + errorText(errno) + ".");
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        throw ETableError("Cannot open index file " + path.string() +
                          ": not a regular file (a folder, a pipe or a device).");
    }
    return fd;
}

} // namespace idx

} // namespace arrowsel::data
