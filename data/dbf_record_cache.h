// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The records a table has read and may use again without reading its file. Two stores: a
// read-ahead window of consecutive records (reading on in record order: up to 64 KB at a time;
// in index order, through the farthest of the next 16 entries' records that lie within 16
// records after the current one), and a ring of records read one by one (seeks, index order) in
// fixed slots used again round the ring, about 1 MB in all. The ring's arena never moves, so a
// record the table stands on stays readable until the next read; a window record stays readable
// until the window is read again. The cache only keeps and forgets: when what it keeps may still
// be trusted is the freshness rule of a shared open (see dbf_freshness.h); a read-only open reads
// into the window alone.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace arrowsel::data {

// Which way the table is reading, which decides how much is read along with a record.
enum class Direction { Single, Forward, Backward, IndexOrder };

class DbfRecordCache {
public:
    static constexpr std::size_t kWindowBytes = std::size_t{64} * 1024; // read-ahead in record order
    static constexpr std::uint32_t kIndexWindowRecords = 16;            // read-ahead in index order
    static constexpr std::size_t kRingBytes = 1 << 20;                  // records kept one by one

    // Every record kept has this length; set once the table's header is read.
    void setRecordLength(std::size_t length) { r_ = length; }

    // Record n from the window, or null.
    const char* inWindow(std::uint32_t n) const {
        if (n >= winFirst_ && n - winFirst_ < winCount_) {
            return win_.data() + static_cast<std::size_t>(n - winFirst_) * r_;
        }
        return nullptr;
    }

    // Record n from the ring, or null.
    const char* inRing(std::uint32_t n) const {
        if (n >= slotOf_.size() || slotOf_[n] == 0) {
            return nullptr;
        }
        return arena_.data() + static_cast<std::size_t>(slotOf_[n] - 1) * r_;
    }

    // Room for `k` records read into the window; setWindow() then says which records it holds.
    char* windowBuffer(std::uint32_t k);
    void setWindow(std::uint32_t first, std::uint32_t records) {
        winFirst_ = first;
        winCount_ = records;
    }

    // Moves the window's records into the ring, which a read of one record by one keeps longer
    // than the window it was read into. The table holds `count` records.
    void windowToRing(std::uint32_t count);

    // Keeps record n in the ring's next slot, in place of the oldest.
    void keep(std::uint32_t n, const char* record, std::uint32_t count);

    // Forgets every record kept (the ring's arena stays, so no slot moves).
    void drop();

    // After a post: the window holds only the record just written, record n; gives it.
    const char* holdOnly(std::uint32_t n, const std::string& record);

private:
    std::size_t r_ = 0;

    // Read-ahead: records winFirst_ .. winFirst_ + winCount_ - 1.
    std::vector<char> win_;
    std::uint32_t winFirst_ = 0;
    std::uint32_t winCount_ = 0;

    // The ring.
    std::vector<char> arena_;
    std::vector<std::uint32_t> slotRecno_;
    std::vector<std::uint32_t> slotOf_; // by record number: its slot + 1, or 0 (a lookup per move)
    std::uint32_t nextSlot_ = 0;
};

} // namespace arrowsel::data
