// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbf_freshness.h"

#include "data/dbf_table_impl.h"

#include <algorithm>

namespace arrowsel::data {

// Takes the header lock for reading. A group of writes that a killed writer left in an index's
// journal goes into the index only under the write lock: two counters replaying it at once, or
// one reading the index while another replays it, would see a half-written tree. So a handle
// that finds such a journal takes the write lock instead, looks again, replays, and goes back
// to reading.
void TDbfTable::Impl::lockForReading(ByteLock& lock) {
    lock.take(dbf, dbf::kHeaderLock, File::LockType::Read);
    const auto pending = [](const std::unique_ptr<IndexFile>& ix) { return ix->journalToReplay(); };
    if (std::none_of(indexes.begin(), indexes.end(), pending)) {
        return;
    }
    lock.take(dbf, dbf::kHeaderLock, File::LockType::Write);
    for (const auto& ix : indexes) {
        if (ix->journalToReplay()) {
            ix->refresh();
        }
    }
    lock.downgrade();
}

// Picks up records appended by other processes.
void TDbfTable::Impl::refreshCount() {
    if (!shared() || snapshot()) {
        return;
    }
    refreshCountFrom(headerCount());
}

void TDbfTable::Impl::refreshCountFrom(std::uint32_t hc) {
    if (countBySize) {
        count = countFromFile(hc);
        return;
    }
    if (hc > knownWhole) {
        knownWhole = wholeBySize();
    }
    count = static_cast<std::uint32_t>(std::min<std::uint64_t>(hc, knownWhole));
}

// Forgets every record read, so that the next one is read from the file.
void TDbfTable::Impl::invalidateWindow() {
    if (snapshot()) {
        return;
    }
    dropCached();
    if (state == State::Browse) {
        cur = nullptr;
    }
}

void TDbfTable::Impl::dropCached() {
    cache.drop();
    headCheck.forget();
}

// The freshness rule of a shared open (see the class comment). seek, go, first and last call
// it with `always`: one read of the header, and when that differs from the one last checked
// (or the trust has run out) everything read is dropped and the count and the controlling
// index are brought up to date under the header lock. next and prior call it without: only
// once the trust has run out.
void TDbfTable::Impl::checkFresh(bool always) {
    if (mode != OpenMode::Shared) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    const bool trusted = headCheck.trusted(now, settings.trustUnchanged);
    if (!always && trusted) {
        return;
    }
    HeaderCheck::Head head{};
    if (trusted && dbf.readAt(0, head.data(), head.size()) == head.size() && headCheck.matches(head)) {
        if (countBySize) {
            const ByteLock lock(dbf, dbf::kHeaderLock, File::LockType::Read);
            refreshCount();
        }
        return;
    }
    dropCached();
    // Our writers change the header, the records and the indexes under the header lock: what
    // is read under it is one consistent state, and any later change shows in the header.
    ByteLock lock;
    lockForReading(lock);
    if (dbf.readAt(0, head.data(), head.size()) != head.size()) {
        fail("is damaged: its header is cut short.");
    }
    refreshCountFrom(readLe32(head.data() + 4));
    if (IndexFile* ix = controlling()) {
        ix->refreshForReading(count);
    }
    headCheck.remember(head, now);
}

// Raises the change mark in the header, which every post() and index rebuild does so that
// shared readers see a change whose record count and date are as before. The caller holds
// the header lock for writing.
void TDbfTable::Impl::raiseChangeMark() {
    unsigned char b[4];
    dbf.readExact(dbf::kChangeMarkAt, b, sizeof b, "its header");
    writeLe32(b, readLe32(b) + 1);
    dbf.writeAt(dbf::kChangeMarkAt, b, sizeof b);
}

// next() and prior() move on from what the last check read; once it is too old they check
// again and find the current record's place in an index that may have changed meanwhile.
void TDbfTable::Impl::moveCheck() {
    if (mode != OpenMode::Shared || headCheck.trusted(std::chrono::steady_clock::now(), settings.trustUnchanged)) {
        return;
    }
    checkFresh(false);
    if (recno >= 1 && recno <= count) {
        cur = recordPtr(recno, Direction::Single); // its key may have moved it in the index
    }
    locateInIndex();
}

} // namespace arrowsel::data
