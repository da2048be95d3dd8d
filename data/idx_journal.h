// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The journal of an .idx file: a side file holding the node images of one group of changes, so
// that a kill or power cut in the middle of writing them leaves the index as it was before the
// group or as it is after it. Internal to data/.
//
// Layout (little-endian): "ASIXJRN1", a 4-byte count of writes, the index header's change counter
// before and after the group (4 bytes each), the index file's inode (8), the file's new length (8;
// 0 keeps the length), flags (4; 1 = the group rewrites the whole file); then per write a 4-byte
// offset, a 4-byte length and the bytes; last a 64-bit FNV-1a checksum of everything before it.
// A journal that is torn, empty or zeroed does not decode and is ignored.
//
// The journal's name lies in a folder that others may write to: it is looked at without following
// a link or waiting on a pipe, only a regular file is read, and only as far as its own header says
// (never a junk file whole).

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arrowsel::data::idx {

struct JournalWrite {
    std::uint32_t offset = 0;
    std::string bytes;
};

struct Journal {
    static constexpr std::uint32_t kWholeFile = 1;

    std::uint32_t counterBefore = 0;
    std::uint32_t counterAfter = 0;
    std::uint64_t fileId = 0;
    std::uint64_t newLength = 0;
    std::uint32_t flags = 0;
    std::vector<JournalWrite> writes;
};

std::string encodeJournal(const Journal& journal);

// nullopt unless `bytes` begins with one whole, intact journal.
std::optional<Journal> decodeJournal(std::string_view bytes);

// Reads up to `n` bytes at `at` into `out`; fewer only at the end.
using ReadAt = std::function<std::size_t(std::uint64_t at, char* out, std::size_t n)>;

// The same from `size` bytes that `read` gives, reading them only as far as the journal's own
// header and write heads say: a first pass checks every length against `size`, the sum of the
// writes against `maxNodeBytes` for a group of node writes (they lie inside the index file) and
// 4 GiB for a whole file, and the checksum over it all, keeping nothing; only an intact journal
// is then read into memory.
std::optional<Journal> decodeJournal(const ReadAt& read, std::uint64_t size, std::uint64_t maxNodeBytes);

// What lies at a journal's name.
struct JournalOnDisk {
    enum class Kind {
        None,     // nothing
        Journal,  // an intact journal (of this index or another file: the caller checks)
        Leftover, // a journal of ours that never came whole or was spent: empty, torn or zeroed
        Foreign,  // anything else: a link, a pipe, a folder, a device, or bytes that are no journal
    };
    Kind kind = Kind::None;
    std::optional<Journal> journal;
    std::string what; // Foreign: what it is, as the rest of a sentence ("is a symbolic link")
};

// Looks at `name` in the folder open as `dirFd`; throws nothing.
JournalOnDisk inspectJournal(int dirFd, const std::string& name, std::uint64_t maxNodeBytes);

// Where the journal of `index` lives: beside it, named after it with ".jnl" added.
std::filesystem::path journalPath(const std::filesystem::path& index);

} // namespace arrowsel::data::idx
