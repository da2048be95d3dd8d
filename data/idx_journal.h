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

#include <cstdint>
#include <filesystem>
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

// Where the journal of `index` lives: beside it, named after it with ".jnl" added.
std::filesystem::path journalPath(const std::filesystem::path& index);

} // namespace arrowsel::data::idx
