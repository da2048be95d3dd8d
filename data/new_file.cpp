// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/new_file.h"

#include "data/file_io.h"
#include "data/table_error.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace arrowsel::data {
namespace fs = std::filesystem;

namespace {

int hook(IoProbe* probe, NewFileIo op) {
    return probe != nullptr ? probe->newFileIo(op) : 0;
}

std::string temporaryName(const std::string& name) {
    static std::atomic<unsigned> counter{0};
    std::string tmp = ".";
    tmp += name;
    tmp += '.';
    tmp += std::to_string(::getpid());
    tmp += '.';
    tmp += std::to_string(counter.fetch_add(1));
    tmp += ".tmp";
    return tmp;
}

// A name taken only when free: renameat2's RENAME_NOREPLACE where the file system has it, else a
// hard link (which fails on an existing name), else a look and a rename.
int placeWithoutReplacing(int dirFd, const std::string& from, const std::string& to) {
    if (::renameat2(dirFd, from.c_str(), dirFd, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    if (::linkat(dirFd, from.c_str(), dirFd, to.c_str(), 0) == 0) {
        ::unlinkat(dirFd, from.c_str(), 0);
        return 0;
    }
    if (errno == EEXIST) {
        return EEXIST;
    }
    struct stat st {};
    if (::fstatat(dirFd, to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        return EEXIST;
    }
    return ::renameat(dirFd, from.c_str(), dirFd, to.c_str()) == 0 ? 0 : errno;
}

} // namespace

NewFile::NewFile(fs::path target, Replace replace, IoProbe* probe)
    : target_(std::move(target)), name_(target_.filename().string()), replace_(replace), probe_(probe) {
    const fs::path folder = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
    dirFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd_ < 0) {
        fail("its folder cannot be opened", errno);
    }
    try {
        makeTemporary();
    } catch (...) {
        ::close(dirFd_); // a constructor that throws runs no destructor
        throw;
    }
}

void NewFile::makeTemporary() {
    struct stat st {};
    if (::fstatat(dirFd_, name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
            fail("a folder, a pipe or a device of that name is in the way", File::kNotRegularFile);
        }
        if (S_ISREG(st.st_mode)) {
            oldMode_ = st.st_mode & 07777;
        }
    }
    for (int attempt = 0; fd_ < 0; ++attempt) {
        tmpName_ = temporaryName(name_);
        fd_ = ::openat(dirFd_, tmpName_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ < 0 && (errno != EEXIST || attempt > 100)) {
            const int err = errno;
            tmpName_.clear();
            fail(err == EACCES || err == EROFS || err == EPERM ? "its folder cannot be written to"
                                                               : "no file can be made in its folder",
                 err);
        }
    }
    if (oldMode_ != 0 && replace_ == Replace::Always) {
        // Where the file system keeps no modes (vfat), the new file has what it gives.
        [[maybe_unused]] const int kept = ::fchmod(fd_, static_cast<mode_t>(oldMode_));
    }
}

NewFile::~NewFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!committed_ && !tmpName_.empty()) {
        ::unlinkat(dirFd_, tmpName_.c_str(), 0);
    }
    if (dirFd_ >= 0) {
        ::close(dirFd_);
    }
}

void NewFile::fail(const std::string& what, int err) const {
    throw ETableError("Cannot create the file " + target_.string() + ": " + what + " (" + errorText(err) + ")." +
                      (err == ENOSPC ? " Free some space on the disk and try again." : ""));
}

void NewFile::write(std::string_view bytes) {
    int err = hook(probe_, NewFileIo::Write);
    if (err == 0) {
        err = appendAll(fd_, bytes);
    }
    if (err != 0) {
        fail("writing failed", err);
    }
}

bool NewFile::commit() {
    int err = hook(probe_, NewFileIo::Sync);
    if (err == 0 && ::fsync(fd_) != 0 && errno != EINVAL) {
        err = errno;
    }
    if (err != 0) {
        fail("flushing failed", err);
    }
    err = hook(probe_, NewFileIo::Rename);
    if (err == 0) {
        if (replace_ == Replace::Never) {
            err = placeWithoutReplacing(dirFd_, tmpName_, name_);
        } else if (::renameat(dirFd_, tmpName_.c_str(), dirFd_, name_.c_str()) != 0) {
            err = errno;
        }
    }
    if (err == EEXIST && replace_ == Replace::Never) {
        return false; // the destructor removes the temporary file
    }
    if (err != 0) {
        fail("it cannot take its name", err);
    }
    committed_ = true;
    tmpName_.clear();
    err = hook(probe_, NewFileIo::SyncFolder);
    if (err == 0 && ::fsync(dirFd_) != 0 && errno != EINVAL) {
        err = errno;
    }
    if (err != 0) {
        fail("its folder cannot be flushed", err);
    }
    return true;
}

std::string readBoundedFile(const fs::path& path, std::uint64_t maxBytes) {
    File in;
    if (const int err = in.open(path, File::Access::ReadOnly); err != 0) {
        throw ETableError("Cannot open the file " + path.string() + ": " + errorText(err) + ".");
    }
    const std::uint64_t size = in.size();
    if (size > maxBytes) {
        throw ETableError("The file " + path.string() + " is too large (" + std::to_string(size) + " bytes; at most " +
                          std::to_string(maxBytes) + " are read).");
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    bytes.resize(in.readAt(0, bytes.data(), bytes.size()));
    return bytes;
}

} // namespace arrowsel::data
