// SPDX-License-Identifier: GPL-3.0-or-later
// Editing a record: its lock, the buffer it is changed in, and dropping the changes. post() is in
// dbf_post.cpp.
#include "data/dbf_table_impl.h"
#include "data/field_codec.h"

#include <chrono>
#include <thread>

namespace arrowsel::data {

namespace {

const char* const kLockFailure = "Record Lock Failure. May be locked by another user or task.";

constexpr int kLockAttempts = 20; // edit(): 20 tries, 25 ms apart
constexpr auto kLockPause = std::chrono::milliseconds(25);

} // namespace

void TDbfTable::edit() {
    Impl& d = *impl_;
    d.requireWritable();
    if (d.state != Impl::State::Browse) {
        return;
    }
    if (d.eof || d.cur == nullptr) {
        d.fail("has no current record to edit.");
    }
    const std::uint32_t n = d.recno;
    bool locked = false;
    for (int attempt = 0; attempt < kLockAttempts && !locked; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(kLockPause);
        }
        locked = d.dbf.tryLock(dbf::kHeaderLock - n, File::LockType::Write);
    }
    if (!locked) {
        throw ETableError(kLockFailure);
    }
    d.recordLocked = true;
    d.lockedRecno = n;
    try {
        // Another process may have changed the record before we locked it: read it afresh.
        d.invalidateWindow();
        d.cur = d.recordPtr(n, Direction::Single);
        d.editBuf.assign(d.cur, d.R());
        d.origBuf = d.editBuf;
    } catch (...) {
        d.releaseRecordLock();
        throw;
    }
    d.pendingMemo.assign(d.hdr.fields.size(), std::nullopt);
    d.state = Impl::State::Edit;
}

void TDbfTable::insert() {
    Impl& d = *impl_;
    d.requireWritable();
    d.autoPost(*this);
    d.savedRecno = d.recno;
    d.savedEof = d.eof;
    d.savedIdxPos = d.idxPos;
    d.editBuf.assign(d.R(), ' ');
    for (const FieldDef& f : d.hdr.fields) {
        field_codec::blank(f, d.editBuf.data());
    }
    d.origBuf.clear();
    d.pendingMemo.assign(d.hdr.fields.size(), std::nullopt);
    d.state = Impl::State::Insert;
}

void TDbfTable::setFieldText(std::string_view name, std::string_view text) {
    Impl& d = *impl_;
    d.requireOpen();
    if (d.state == Impl::State::Browse) {
        d.fail("is not being edited: call edit() or insert() before writing field " + std::string(name) + ".");
    }
    const std::size_t i = d.fieldIndex(name);
    const FieldDef& f = d.hdr.fields[i];
    if (isMemoPointer(f)) {
        if (f.type != FieldType::Memo) {
            d.fail("cannot write the field " + f.name + " as text.");
        }
        std::string stored;
        std::string bad;
        if (!encodeText(d.cp, text, stored, &bad)) {
            throw ETableError("The field " + f.name + " of table " + d.name + " cannot hold the character \"" + bad +
                              "\" (code page " + codePageName(d.cp) + ").");
        }
        d.pendingMemo[i] = std::move(stored);
        return;
    }
    field_codec::store(f, text, d.cp, d.editBuf.data(), d.name);
}

void TDbfTable::cancel() {
    Impl& d = *impl_;
    if (!d.open || d.state == Impl::State::Browse) {
        return;
    }
    const bool inserting = d.state == Impl::State::Insert;
    d.state = Impl::State::Browse;
    d.pendingMemo.clear();
    d.releaseRecordLock();
    d.invalidateWindow();
    if (inserting && d.savedEof) {
        d.setEof();
        return;
    }
    const std::uint32_t n = inserting ? d.savedRecno : d.recno;
    d.onRecord(n, Direction::Single);
    if (inserting) {
        d.idxPos = d.savedIdxPos;
    }
}

bool TDbfTable::isEditing() const {
    return impl_->state != Impl::State::Browse;
}

void TDbfTable::Impl::releaseRecordLock() {
    if (recordLocked) {
        dbf.unlock(dbf::kHeaderLock - lockedRecno);
        recordLocked = false;
    }
}

} // namespace arrowsel::data
