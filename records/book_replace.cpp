// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/book_replace.h"

#include "data/file_io.h"
#include "data/table_error.h"
#include "records/customer_book.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>

namespace arrowsel::records {

namespace fs = std::filesystem;

namespace {

constexpr const char* kNote = ".customers-replacing";
constexpr const char* kNoteNew = ".customers-replacing.new";
constexpr const char* kNoteHeading = "arrowsel customer files replacement 1";

void hook(const ReplaceProbe& probe, ReplaceIo op) {
    if (probe) {
        probe(op);
    }
}

[[noreturn]] void fail(const fs::path& folder, const std::string& what, int err) {
    throw EBookError("The customer book in " + folder.string() + " could not be replaced: " + what + " (" +
                     std::strerror(err) + ").");
}

// Renames `from` onto `to`; true when done here, false when another process finishing the same
// note did it first.
bool moveInto(const fs::path& folder, const fs::path& from, const fs::path& to, const ReplaceProbe& probe) {
    hook(probe, ReplaceIo::Rename);
    if (::rename(from.c_str(), to.c_str()) == 0) {
        return true;
    }
    const int err = errno;
    std::error_code ec;
    if (err == ENOENT && fs::exists(to, ec)) {
        return false;
    }
    fail(folder, "cannot move " + from.string() + " to " + to.string(), err);
}

void removeNote(const fs::path& folder, const ReplaceProbe& probe) {
    hook(probe, ReplaceIo::Remove);
    if (::unlink((folder / kNote).c_str()) != 0 && errno != ENOENT) {
        fail(folder, "cannot remove " + (folder / kNote).string(), errno);
    }
    syncPath(folder, probe);
}

void writeNote(const fs::path& folder, const std::vector<StagedFile>& files, const ReplaceProbe& probe) {
    std::string text = std::string(kNoteHeading) + "\n";
    for (const StagedFile& f : files) {
        text +=
            f.staged.lexically_relative(folder).string() + "\n" + f.target.lexically_relative(folder).string() + "\n";
    }
    const fs::path fresh = folder / kNoteNew;
    const int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        fail(folder, "cannot create " + fresh.string(), errno);
    }
    hook(probe, ReplaceIo::Write);
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    const int writeErr = errno;
    hook(probe, ReplaceIo::Sync);
    const bool synced = written && ::fsync(fd) == 0;
    const int syncErr = errno;
    ::close(fd);
    if (!synced) {
        ::unlink(fresh.c_str());
        fail(folder, "cannot write " + fresh.string(), written ? syncErr : writeErr);
    }
    moveInto(folder, fresh, folder / kNote, probe);
    syncPath(folder, probe);
}

// A note names a file of the folder and one of a staging folder in it, nothing else: whatever a
// note in a shared folder says, nothing outside the folder is moved or removed.
bool followable(const fs::path& staged, const fs::path& target) {
    const auto plainName = [](const fs::path& p) { return !p.empty() && p == p.filename() && p != "." && p != ".."; };
    return plainName(target) && plainName(staged.filename()) && plainName(staged.parent_path()) &&
           staged.parent_path().string().starts_with(kStagingPrefix);
}

// The note's text; nothing when there is none. Every open of the book reads it, and the folder
// may be shared: a pipe under its name is not waited on, and no more is read than a note holds.
std::optional<std::string> noteText(const fs::path& folder) {
    constexpr std::size_t kMostANoteHolds = std::size_t{16} * 1024;
    data::File file;
    const int err = file.open(folder / kNote, data::File::Access::ReadOnly);
    if (err == ENOENT) {
        return std::nullopt;
    }
    std::string text(kMostANoteHolds + 1, '\0');
    try {
        if (err == 0) {
            text.resize(file.readAt(0, text.data(), text.size()));
        }
    } catch (const data::ETableError&) {
        text.clear(); // unreadable: said below as a note that cannot be followed
    }
    if (err != 0 || text.size() > kMostANoteHolds) {
        text.clear();
    }
    return text;
}

} // namespace

void syncPath(const fs::path& path, const ReplaceProbe& probe) {
    hook(probe, ReplaceIo::Sync);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        fail(path.parent_path(), "cannot open " + path.string() + " to flush it", errno);
    }
    // A file system that cannot flush a folder (EINVAL) keeps its names as it can.
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    const int err = errno;
    ::close(fd);
    if (!ok) {
        fail(path.parent_path(), "cannot flush " + path.string(), err);
    }
}

void commitReplacement(const fs::path& folder, const std::vector<StagedFile>& files, const ReplaceProbe& probe) {
    std::set<fs::path> stagingFolders;
    for (const StagedFile& f : files) {
        syncPath(f.staged, probe);
        stagingFolders.insert(f.staged.parent_path());
    }
    for (const fs::path& staging : stagingFolders) {
        syncPath(staging, probe);
    }
    writeNote(folder, files, probe); // from here on the new book is the book
    for (const StagedFile& f : files) {
        moveInto(folder, f.staged, f.target, probe);
    }
    syncPath(folder, probe);
    removeNote(folder, probe);
}

void finishReplacement(const fs::path& folder, const ReplaceProbe& probe) {
    std::optional<std::string> text = noteText(folder);
    if (!text) {
        return; // none, or another process has just finished it
    }
    std::istringstream note(*text);
    std::string heading;
    std::getline(note, heading);
    std::vector<StagedFile> files;
    bool sound = heading == kNoteHeading;
    for (std::string staged, target; std::getline(note, staged) && std::getline(note, target);) {
        sound = sound && followable(staged, target);
        files.push_back({folder / staged, folder / target});
    }
    if (!sound || files.empty()) {
        throw EBookError("The customer book in " + folder.string() +
                         " was being replaced when the program stopped, "
                         "and the note " +
                         (folder / kNote).string() +
                         " that says how to finish cannot be read. Nothing was changed; restore the customer files "
                         "from a backup, or remove the note to keep the files as they are.");
    }
    std::set<fs::path> stagingFolders;
    for (const StagedFile& f : files) {
        std::error_code ec;
        if (fs::exists(f.staged, ec)) {
            moveInto(folder, f.staged, f.target, probe);
        }
        stagingFolders.insert(f.staged.parent_path());
    }
    syncPath(folder, probe);
    removeNote(folder, probe);
    for (const fs::path& staging : stagingFolders) {
        std::error_code ec;
        fs::remove_all(staging, ec);
    }
}

} // namespace arrowsel::records
