// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/idx_journal_keeper.h"

#include "data/file_io.h"
#include "data/idx_codec.h"
#include "data/table_error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace arrowsel::data::idx {

JournalKeeper::JournalKeeper(IdxIo& io, const std::filesystem::path& index, int dirFd, bool writable, bool fresh)
    : io_(io), journalPath_(journalPath(index)), journalName_(journalPath_.filename().string()), dirFd_(dirFd),
      fresh_(fresh), writable_(writable) {
    struct stat sb {};
    if (::fstat(io_.fd(), &sb) == 0) {
        fileId_ = sb.st_ino;
        fileMode_ = sb.st_mode & 0666;
    }
}

JournalKeeper::~JournalKeeper() {
    if (dirFd_ >= 0) {
        ::close(dirFd_);
    }
}

std::vector<std::string> JournalKeeper::takeNotices() {
    std::vector<std::string> out;
    out.swap(notices_);
    return out;
}
// The counter field of the header now on disk, wherever the file's kind keeps it.
std::optional<std::uint32_t> JournalKeeper::diskCounter() const {
    unsigned char h[kNodeSize];
    countReadIo(io_.probe(), ReadIo::Read);
    if (::pread(io_.fd(), h, sizeof h, 0) != static_cast<ssize_t>(sizeof h)) {
        return std::nullopt;
    }
    return getLE32(h + ((h[14] & kOptCompact) ? kCompactCounterAt : kNonCompactCounterAt));
}

// What is at the journal's name, as one look sees it: none when nothing is.
std::optional<Seen> JournalKeeper::lookAtJournal() const {
    struct stat st {};
    if (::fstatat(dirFd_, journalName_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    return Seen{st.st_dev, st.st_ino, st.st_size, st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
}

bool JournalKeeper::present() const {
    const std::optional<Seen> now = lookAtJournal();
    return now && !(ignored_ && *ignored_ == *now);
}

void JournalKeeper::removeJournal() {
    if (::unlinkat(dirFd_, journalName_.c_str(), 0) != 0 && errno != ENOENT) {
        journalFailed(errno);
    }
}

// Whatever lies at the journal's name that is no journal of ours is never read whole, written
// through or waited on: a writable handle renames it out of the way, under a name of its own
// beside it, and says so; a read-only one leaves it and says so once.
void JournalKeeper::setAside(const std::string& what) {
    const std::string start = "The file " + journalPath_.string() + " beside the index file " + io_.name() +
                              " is not its journal: it " + what + ".";
    if (!writable_) {
        const std::optional<Seen> now = lookAtJournal();
        if (now && !(ignored_ && *ignored_ == *now)) {
            ignored_ = now;
            notices_.push_back(start + " It was left alone and not read; remove it or move it away.");
        }
        return;
    }
    for (int n = 1; n <= 100; ++n) {
        std::string aside = journalName_ + ".not-a-journal";
        if (n > 1) {
            aside += "." + std::to_string(n);
        }
        int err = 0;
        if (::renameat2(dirFd_, journalName_.c_str(), dirFd_, aside.c_str(), RENAME_NOREPLACE) != 0) {
            err = errno;
            if (err == EINVAL || err == ENOSYS) {
                struct stat taken {};
                err = ::fstatat(dirFd_, aside.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0 ? EEXIST : 0;
                if (err == 0 && ::renameat(dirFd_, journalName_.c_str(), dirFd_, aside.c_str()) != 0) {
                    err = errno;
                }
            }
        }
        if (err == 0) {
            ignored_.reset();
            notices_.push_back(start + " It was set aside, untouched, as " + aside +
                               "; nothing was lost. Remove it once you know where it came from.");
            return;
        }
        if (err != EEXIST) {
            journalFailed(err);
        }
    }
    journalFailed(EEXIST);
}

void JournalKeeper::recover() {
    overlay_.reset();
    const off_t fileSize = io_.stat().size;
    const std::uint64_t size = fileSize > 0 ? static_cast<std::uint64_t>(fileSize) : 0;
    JournalOnDisk found = inspectJournal(dirFd_, journalName_, size);
    if (found.kind == JournalOnDisk::Kind::None) {
        return;
    }
    if (found.kind == JournalOnDisk::Kind::Leftover && !writable_) {
        ignored_ = lookAtJournal();
        return;
    }
    if (found.kind == JournalOnDisk::Kind::Foreign) {
        setAside(found.what);
        return;
    }
    bool applies = found.kind == JournalOnDisk::Kind::Journal && found.journal->fileId == fileId_;
    if (applies && (found.journal->flags & Journal::kWholeFile) == 0) {
        // A group of nodes applies only to the file it was made for, and lies inside it.
        const std::optional<std::uint32_t> now = diskCounter();
        applies = now && (*now == found.journal->counterBefore || *now == found.journal->counterAfter);
        for (const JournalWrite& w : found.journal->writes) {
            applies = applies && std::uint64_t{w.offset} + w.bytes.size() <= size;
        }
    }
    if (!applies) {
        if (writable_) {
            removeJournal();
        } else {
            ignored_ = lookAtJournal(); // read again only once it changes
        }
        return;
    }
    if (!writable_) {
        overlay_ = std::move(found.journal);
        return;
    }
    apply(*found.journal);
    spendJournal(true);
}

void JournalKeeper::journalFailed(int err) const {
    throw ETableError("Cannot write the journal " + journalPath_.string() + " of index file " + io_.name() + ": " +
                      std::strerror(err) +
                      (err == ENOSPC ? ". Free some space on the disk and try again."
                                     : ". Check that the folder can be written to."));
}

// Syncs the folder, so that the journal's name is on disk with its contents.
void JournalKeeper::syncFolder() {
    io_.sync(dirFd_, io_.name());
}

void JournalKeeper::apply(const Journal& j) {
    for (const JournalWrite& w : j.writes) {
        io_.write(io_.fd(), reinterpret_cast<const unsigned char*>(w.bytes.data()), w.bytes.size(), w.offset,
                  io_.name());
    }
    if (j.newLength != 0) {
        io_.truncate(io_.fd(), j.newLength, io_.name());
    }
    io_.sync();
    io_.needSync = false;
}

// Removes the journal once its group is in the file. After a whole-file group it is zeroed and
// synced first: its replay, should the removal be lost in a power cut, could undo changes
// another program made since; a node group is guarded by the header's counter instead.
void JournalKeeper::spendJournal(bool durable) {
    if (durable) {
        const Fd jfd(::openat(dirFd_, journalName_.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        if (jfd.fd >= 0 && ::fstat(jfd.fd, &st) == 0 && S_ISREG(st.st_mode)) {
            static const unsigned char zeros[8] = {};
            io_.write(jfd.fd, zeros, sizeof zeros, 0, journalPath_.string());
            io_.sync(jfd.fd, journalPath_.string());
        }
    }
    removeJournal();
}

// Creates the journal, never through a link and never over anything: what is in the way is
// dealt with as recover() would (a writer's refresh has normally done that already).
int JournalKeeper::createJournal() {
    const mode_t mode = fileMode_ != 0 ? fileMode_ : 0644;
    for (int attempt = 0;; ++attempt) {
        const int fd =
            ::openat(dirFd_, journalName_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST || attempt > 0) {
            if (fd < 0) {
                journalFailed(errno);
            }
            return fd;
        }
        const JournalOnDisk found = inspectJournal(dirFd_, journalName_, 0);
        if (found.kind == JournalOnDisk::Kind::Foreign) {
            setAside(found.what);
        } else if (found.kind == JournalOnDisk::Kind::Journal && found.journal->fileId == fileId_) {
            throw ETableError("Cannot write index file " + io_.name() + ": its journal " + journalPath_.string() +
                              " holds a change that another process has not finished. Try again; if this "
                              "stays, close the program on the other counters first.");
        } else {
            removeJournal();
        }
    }
}

void JournalKeeper::commit(std::vector<JournalWrite> writes, std::uint64_t newLength, bool wholeFile,
                           std::uint32_t counterBefore, std::uint32_t counterAfter, IndexKind kind) {
    Journal j;
    j.counterBefore = counterBefore;
    j.counterAfter = counterAfter;
    j.fileId = fileId_;
    j.newLength = newLength;
    j.flags = wholeFile ? Journal::kWholeFile : 0;
    j.writes = std::move(writes);
    if (fresh_) {
        apply(j); // a file nobody can see yet: it takes its name only once it is whole
        return;
    }
    if (!wholeFile && newLength == 0 && rewritesOneNodeInPlace(j.writes, kind)) {
        apply(j);
        return;
    }
    const std::string bytes = encodeJournal(j);
    {
        const Fd jfd(createJournal());
        const std::string jname = journalPath_.string();
        try {
            io_.write(jfd.fd, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0, jname);
            io_.sync(jfd.fd, jname);
        } catch (const ETableError&) {
            ::unlinkat(dirFd_, journalName_.c_str(), 0); // nothing of the group reached the index
            throw;
        }
    }
    syncFolder();
    apply(j);
    spendJournal(wholeFile);
}

// A group that rewrites one node of the tree where it lies, and of the header only what tells
// readers about changes (the counter, the list of changed blocks, the time), is all or nothing
// without a journal: the node is one write within one block, and a kill before the header's
// write leaves the new tree under the old header, whose time is not the file's: a reader takes
// it for another program's change and reads the file whole. Most saves are such a group (a
// key added to or taken from one leaf), and the journal would cost them three syncs.
bool JournalKeeper::rewritesOneNodeInPlace(const std::vector<JournalWrite>& writes, IndexKind kind) const {
    if (writes.size() != 2 || writes[1].offset != 0 || writes[1].bytes.size() < 12 ||
        writes[0].offset < headerSize(kind) || writes[0].offset % kNodeSize != 0 ||
        writes[0].bytes.size() != kNodeSize) {
        return false;
    }
    const off_t size = io_.stat().size;
    unsigned char h[12];
    if (size < 0 || std::uint64_t{writes[0].offset} + kNodeSize > static_cast<std::uint64_t>(size) ||
        io_.readSome(h, sizeof h, 0) != sizeof h) {
        return false;
    }
    // The root, and the end of the file that a non-compact header states, stay as they are.
    const auto* now = reinterpret_cast<const unsigned char*>(writes[1].bytes.data());
    return std::memcmp(h, now, 4) == 0 && (kind == IndexKind::Compact || std::memcmp(h + 8, now + 8, 4) == 0);
}

std::uint64_t JournalKeeper::logicalSize(std::uint64_t fileSize) const {
    if (!overlay_) {
        return fileSize;
    }
    if (overlay_->newLength != 0) {
        return overlay_->newLength;
    }
    std::uint64_t end = fileSize;
    for (const JournalWrite& w : overlay_->writes) {
        end = std::max<std::uint64_t>(end, std::uint64_t{w.offset} + w.bytes.size());
    }
    return end;
}

void JournalKeeper::readBlock(unsigned char* out, std::size_t len, std::uint64_t at) const {
    if (!overlay_) {
        io_.readFull(out, len, static_cast<off_t>(at));
        return;
    }
    const std::size_t got = io_.readSome(out, len, static_cast<off_t>(at));
    std::memset(out + got, 0, len - got);
    for (const JournalWrite& w : overlay_->writes) {
        const std::uint64_t from = std::max<std::uint64_t>(at, w.offset);
        const std::uint64_t to = std::min<std::uint64_t>(at + len, std::uint64_t{w.offset} + w.bytes.size());
        if (from < to) {
            std::memcpy(out + (from - at), w.bytes.data() + (from - w.offset), static_cast<std::size_t>(to - from));
        }
    }
}

} // namespace arrowsel::data::idx
