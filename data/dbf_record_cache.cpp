// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbf_record_cache.h"

#include "data/dbf_table_impl.h"

#include <algorithm>
#include <cstring>

namespace arrowsel::data {

char* DbfRecordCache::windowBuffer(std::uint32_t k) {
    win_.resize(static_cast<std::size_t>(k) * r_);
    return win_.data();
}

void DbfRecordCache::windowToRing(std::uint32_t count) {
    for (std::uint32_t i = 0; i < winCount_; ++i) {
        keep(winFirst_ + i, win_.data() + static_cast<std::size_t>(i) * r_, count);
    }
    winCount_ = 0;
}

void DbfRecordCache::keep(std::uint32_t n, const char* record, std::uint32_t count) {
    if (arena_.empty()) {
        const std::size_t slots = std::clamp<std::size_t>(kRingBytes / r_, 64, 1u << 16);
        arena_.resize(slots * r_);
        slotRecno_.assign(slots, 0);
    }
    const std::uint32_t slot = nextSlot_;
    nextSlot_ = (nextSlot_ + 1) % static_cast<std::uint32_t>(slotRecno_.size());
    if (const std::uint32_t old = slotRecno_[slot]; old != 0 && old < slotOf_.size() && slotOf_[old] == slot + 1) {
        slotOf_[old] = 0;
    }
    if (n >= slotOf_.size()) {
        slotOf_.resize(std::max<std::size_t>(n + 1, std::size_t{count} + 1), 0);
    }
    std::memcpy(arena_.data() + static_cast<std::size_t>(slot) * r_, record, r_);
    slotRecno_[slot] = n;
    slotOf_[n] = slot + 1;
}

void DbfRecordCache::drop() {
    winCount_ = 0;
    for (std::uint32_t& n : slotRecno_) {
        if (n != 0 && n < slotOf_.size()) {
            slotOf_[n] = 0;
        }
        n = 0;
    }
}

const char* DbfRecordCache::holdOnly(std::uint32_t n, const std::string& record) {
    win_.assign(record.begin(), record.end());
    winFirst_ = n;
    winCount_ = 1;
    return win_.data();
}

// ---- what a table reads along with a record ---------------------------------------------------

const char* TDbfTable::Impl::recordPtr(std::uint32_t n, Direction dir) {
    if (const char* rec = cache.inWindow(n)) {
        return rec;
    }
    const bool ring = !snapshot() && (dir == Direction::Single || dir == Direction::IndexOrder);
    if (ring) {
        if (const char* rec = cache.inRing(n)) {
            return rec;
        }
    }
    std::uint32_t first = n;
    std::uint32_t k = 1;
    const std::uint32_t perWindow =
        static_cast<std::uint32_t>(std::max<std::size_t>(1, DbfRecordCache::kWindowBytes / R()));
    switch (dir) {
    case Direction::Single:
        if (snapshot()) {
            k = std::min(perWindow, count - n + 1); // random reads of a small table: read it once
        }
        break;
    case Direction::Forward:
        k = std::min(perWindow, count - n + 1);
        break;
    case Direction::Backward:
        k = std::min(perWindow, n);
        first = n - k + 1;
        break;
    case Direction::IndexOrder:
        k = spanAhead(n);
        break;
    }
    char* const buffer = cache.windowBuffer(k);
    const std::size_t got = dbf.readAt(recordOffset(first), buffer, static_cast<std::size_t>(k) * R()) / R();
    cache.setWindow(first, static_cast<std::uint32_t>(got));
    if (n - first >= got) {
        cache.setWindow(first, 0);
        fail("is damaged: record " + std::to_string(n) + " is cut short.");
    }
    if (ring) {
        // Kept in the ring instead: the window would be replaced by the next read.
        cache.windowToRing(count);
        return cache.inRing(n);
    }
    return cache.inWindow(n);
}

// How many records to read from record `n`, the one at idxPos, when moving on in index order:
// through the farthest of the next few entries' records that lie just after it in the file
// (an order that follows the records), else `n` alone (one that jumps about the file, where
// records read along would go unused).
std::uint32_t TDbfTable::Impl::spanAhead(std::uint32_t n) const {
    const IndexFile* ix = controlling();
    std::uint32_t k = 1;
    if (ix != nullptr && idxPos < ix->size() && ix->at(idxPos).recno == n) {
        const std::size_t end = std::min(ix->size(), idxPos + DbfRecordCache::kIndexWindowRecords);
        for (std::size_t i = idxPos + 1; i < end; ++i) {
            const std::uint32_t r = ix->at(i).recno;
            if (r > n && r - n < DbfRecordCache::kIndexWindowRecords) {
                k = std::max(k, r - n + 1);
            }
        }
    }
    return std::min(k, count - n + 1);
}

} // namespace arrowsel::data
