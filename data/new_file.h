// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/io_probe.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace arrowsel::data {

// A file that takes its name only once it is whole. The data folder may be a share others write
// to, so a new file is never opened by its name: it is written under a temporary name of its own
// in the target's folder (".<name>.<pid>.<n>.tmp", created with O_EXCL and without following a
// link, relative to a descriptor of the folder), synced, and renamed into place; then the folder
// is synced. A kill or power cut at any step leaves the old state (no file, or the file it
// replaces) or the new file whole, never a part of it; at worst a temporary file stays behind.
//
// Replace::Never takes a free name only: commit() returns false, with nothing changed, when a file
// of that name appeared meanwhile (two copies of the program seeding one folder). Replace::Always
// puts the new file in place of a regular file (whose mode it keeps) or of a symbolic link (the
// link is replaced; what it points at is not touched); a folder, a pipe or a device in the way is
// refused before anything is written. Failures throw ETableError naming the file.
class NewFile {
public:
    enum class Replace { Never, Always };

    // `probe` watches its writes, syncs and renames (see IoProbe).
    NewFile(std::filesystem::path target, Replace replace, IoProbe* probe = nullptr);
    ~NewFile(); // an uncommitted file is removed
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    void write(std::string_view bytes); // appends
    // The temporary file, open for reading and writing, for a writer that writes at positions of
    // its own. It is the new file once committed.
    int fd() const { return fd_; }
    const std::filesystem::path& target() const { return target_; }
    // Syncs, renames into place, syncs the folder. False only for Replace::Never when the name is
    // taken. The descriptor stays open until destruction.
    bool commit();

private:
    void makeTemporary(); // the checks of the target's name and the temporary file
    [[noreturn]] void fail(const std::string& what, int err) const;

    std::filesystem::path target_;
    std::string name_;    // the target's last part
    std::string tmpName_; // the temporary file's name in the folder; empty once it is gone
    Replace replace_;
    IoProbe* probe_ = nullptr;
    int dirFd_ = -1;
    int fd_ = -1;
    bool committed_ = false;
    unsigned oldMode_ = 0; // the mode of the regular file replaced (0: none)
};

// Reads a whole regular file of at most `maxBytes` bytes without waiting on it (a pipe, a folder
// or a device is refused, as is a larger file). Throws ETableError naming the file.
std::string readBoundedFile(const std::filesystem::path& path, std::uint64_t maxBytes);

} // namespace arrowsel::data
