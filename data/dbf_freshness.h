// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// When what a shared open has read can be trusted. Every post(), reindex and index rebuild of this
// program raises a change mark in the header's reserved bytes 24-27 (other programs leave them
// alone) in the same hold of the header lock as its record, count and index writes. seek, go,
// first and last read the header's first 32 bytes and compare them with the ones last checked:
// the same, and the records and index keys already read are used as they are; different, and
// the records are dropped and the count and the controlling index read again under the header
// lock. next and prior move on through what was read without looking at the files. All of it is
// trusted for Settings::trustUnchanged at most (250 ms unless a test says otherwise): after that
// the next of those six calls reads afresh. A read-only open reads the table as it stood when
// opened and never checks again; an exclusive one has nobody to check for.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace arrowsel::data {

namespace dbf {
inline constexpr std::uint64_t kChangeMarkAt = 24; // 4 bytes of the header's reserved multi-user area
inline constexpr std::size_t kHeadBytes = 32;      // what a check reads and compares
} // namespace dbf

// The header as a shared open last checked it under the header lock, and when.
class HeaderCheck {
public:
    using Head = std::array<unsigned char, dbf::kHeadBytes>;

    // Checked, and not longer ago than `trust`.
    bool trusted(std::chrono::steady_clock::time_point now, std::chrono::milliseconds trust) const {
        return seen_ && now - checkedAt_ < trust;
    }
    bool matches(const Head& head) const { return head == head_; }
    void remember(const Head& head, std::chrono::steady_clock::time_point now) {
        head_ = head;
        seen_ = true;
        checkedAt_ = now;
    }
    // The next check reads afresh, whatever the header says.
    void forget() { seen_ = false; }

private:
    Head head_{};
    bool seen_ = false;
    std::chrono::steady_clock::time_point checkedAt_;
};

} // namespace arrowsel::data
