// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The post transaction of a table. Under the header lock held for writing, post() writes the new
// memo blocks (none referenced yet), the record (an append also a fresh 0x1A), the header's date,
// count and change mark, then every open index (each refreshed first), and flushes them all
// (fdatasync) before it lets the lock go; a test's IoProbe sees each of these steps (PostStage).
// Before the record is written, post() notes what the file held where it goes; when a later step
// fails, it takes the record back: the record's bytes, the file's length, the header and the
// change mark as they were, then each index's key, so that trying again stores the record once.
// Memo blocks written meanwhile are left unreferenced.

#include <cstdint>
#include <string>

namespace arrowsel::data {

// What post() needs to put a record's position back as it was.
struct PostUndo {
    std::uint32_t recno = 0;
    bool inserting = false;
    std::uint64_t fileSize = 0;
    unsigned char head[7] = {};
    unsigned char mark[4] = {};
    std::string bytes; // what the file held where the record goes
};

} // namespace arrowsel::data
