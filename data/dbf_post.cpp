// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbf_post.h"

#include "data/dbf_table_impl.h"
#include "data/field_codec.h"

#include <algorithm>

namespace arrowsel::data {

namespace {

void hook(IoProbe* probe, PostStage stage) {
    if (probe != nullptr) {
        probe->postStage(stage);
    }
}

} // namespace

void TDbfTable::post() {
    Impl& d = *impl_;
    if (!d.open || d.state == Impl::State::Browse) {
        return;
    }
    const bool inserting = d.state == Impl::State::Insert;
    std::string record = d.editBuf;
    std::uint32_t n = d.recno;
    std::uint32_t newCount = d.count;
    {
        ByteLock lock(d.dbf, dbf::kHeaderLock, File::LockType::Write);
        if (inserting) {
            newCount = d.appendNumber();
            n = newCount;
        }
        const bool memoWritten = d.writePendingMemos(record);
        hook(d.settings.probe, PostStage::MemoWritten);
        const PostUndo undo = d.undoFor(n, inserting);
        try {
            d.writeRecord(record, n, newCount, inserting);
            d.updateIndexes(record, n, inserting);
            d.syncAll(memoWritten);
        } catch (const std::exception& e) {
            // A record that is not stored whole is not stored at all: trying again must not add
            // a second copy of it.
            d.takeBack(undo, record, e);
            throw;
        }
    }
    d.releaseRecordLock();
    d.state = Impl::State::Browse;
    d.pendingMemo.clear();
    d.count = std::max(d.count, newCount);
    d.knownWhole = std::max<std::uint64_t>(d.knownWhole, newCount);
    d.dropCached();
    // The record just written becomes the current one and the read-ahead holds only it.
    d.cur = d.cache.holdOnly(n, record);
    d.recno = n;
    d.eof = false;
    d.bof = false;
    d.locateInIndex();
}

// ---- the steps of post(), under the header lock -----------------------------------------------

// Appends go after the records the header counts (never past the file's end).
std::uint32_t TDbfTable::Impl::appendNumber() {
    const std::uint32_t hc = headerCount();
    const std::uint64_t whole = wholeBySize();
    const auto next = static_cast<std::uint32_t>(std::min<std::uint64_t>(hc, whole)) + 1;
    if (next == 0 || next >= dbf::kHeaderLock) {
        fail("is full.");
    }
    return next;
}

// Memo texts go to the memo file first; the record takes their block numbers. True when a
// block was written.
bool TDbfTable::Impl::writePendingMemos(std::string& record) {
    bool written = false;
    for (std::size_t i = 0; i < hdr.fields.size(); ++i) {
        if (!pendingMemo[i]) {
            continue;
        }
        if (!memo) {
            fail("has no memo file.");
        }
        const std::uint32_t block = pendingMemo[i]->empty() ? 0 : memo->append(*pendingMemo[i]);
        written = written || block != 0;
        field_codec::storeMemoBlock(hdr.fields[i], block, record.data());
    }
    return written;
}

// The record, then the header's date and count and the change mark.
void TDbfTable::Impl::writeRecord(const std::string& record, std::uint32_t n, std::uint32_t newCount, bool inserting) {
    if (inserting) {
        std::string bytes = record;
        bytes += '\x1A';
        dbf.writeAt(recordOffset(n), bytes.data(), bytes.size());
    } else {
        dbf.writeAt(recordOffset(n), record.data(), record.size());
    }
    hook(settings.probe, PostStage::RecordWritten);
    unsigned char head[7];
    todayBytes(head);
    writeLe32(head + 3, newCount);
    dbf.writeAt(1, head, inserting ? 7 : 3);
    raiseChangeMark();
    hook(settings.probe, PostStage::HeaderWritten);
}

// An edited record moves in an index only when its key changed.
void TDbfTable::Impl::updateIndexes(const std::string& record, std::uint32_t n, bool inserting) {
    for (const auto& ix : indexes) {
        ix->refresh();
        if (inserting) {
            ix->insert(record, n);
        } else {
            const KeyExpression& expr = ix->expression();
            const std::string oldKey = expr.evaluate(origBuf);
            if (oldKey != expr.evaluate(record)) {
                ix->remove(oldKey, n);
                ix->insert(record, n);
            }
        }
    }
    hook(settings.probe, PostStage::IndexesUpdated);
}

void TDbfTable::Impl::syncAll(bool memoWritten) {
    dbf.sync();
    if (memoWritten) {
        memo->sync();
    }
    for (const auto& ix : indexes) {
        ix->flush();
    }
}

PostUndo TDbfTable::Impl::undoFor(std::uint32_t n, bool inserting) const {
    PostUndo u;
    u.recno = n;
    u.inserting = inserting;
    u.fileSize = dbf.size();
    dbf.readExact(1, u.head, sizeof u.head, "its header");
    dbf.readExact(dbf::kChangeMarkAt, u.mark, sizeof u.mark, "its header");
    const std::uint64_t at = recordOffset(n);
    if (u.fileSize > at) {
        u.bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(u.fileSize - at, R() + 1)));
        dbf.readExact(at, u.bytes.data(), u.bytes.size(), "a record");
    }
    return u;
}

// Restores the table, then each index; an index left with a key of a record that is gone is
// rebuilt at its next open.
void TDbfTable::Impl::takeBack(const PostUndo& u, const std::string& record, const std::exception& cause) {
    try {
        dbf.writeAt(recordOffset(u.recno), u.bytes.data(), u.bytes.size());
        if (u.inserting) {
            dbf.truncate(u.fileSize);
        }
        dbf.writeAt(1, u.head, sizeof u.head);
        dbf.writeAt(dbf::kChangeMarkAt, u.mark, sizeof u.mark);
        dbf.sync();
    } catch (const std::exception& e) {
        throw ETableError(std::string(cause.what()) + "\nThe record may have been stored all the same (" + e.what() +
                          "). Close this window and look the customer up before saving again.");
    }
    for (const auto& ix : indexes) {
        try {
            ix->refresh();
            const KeyExpression& expr = ix->expression();
            ix->remove(expr.evaluate(record), u.recno);
            if (!u.inserting && u.bytes.size() >= R()) {
                ix->insert(std::string_view(u.bytes.data(), R()), u.recno);
            }
        } catch (const std::exception&) {
            // Left for the check at the index's next open.
        }
    }
    invalidateWindow();
}

} // namespace arrowsel::data
