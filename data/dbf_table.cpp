// SPDX-License-Identifier: GPL-3.0-or-later
// A table's records: positioning in record or index order, and reading the current record's fields.
// Opening is in dbf_open.cpp, the indexes in dbf_table_indexes.cpp, editing in dbf_edit.cpp and
// dbf_post.cpp, what is kept of what was read in dbf_record_cache.cpp and when it is trusted in
// dbf_freshness.cpp.
#include "data/dbf_table.h"

#include "data/dbf_table_impl.h"
#include "data/field_codec.h"
#include "data/table_error.h"
#include "data/text.h"

#include <optional>
#include <string>

namespace arrowsel::data {

// first() and last(): the first or last record in the controlling order, or in record order.
void TDbfTable::Impl::standAtEnd(TDbfTable& table, bool atLast) {
    if (!open) {
        return;
    }
    autoPost(table);
    checkFresh(true);
    if (IndexFile* ix = controlling()) {
        if (ix->size() == 0) {
            setEmpty();
            return;
        }
        idxPos = atLast ? ix->size() - 1 : 0;
        onRecord(ix->at(idxPos).recno, atLast ? Direction::Single : Direction::IndexOrder);
        return;
    }
    if (count == 0) {
        setEmpty();
        return;
    }
    if (atLast) {
        onRecord(count, Direction::Backward);
    } else {
        onRecord(1, Direction::Forward);
    }
}

// The seek rule: found, the table stands on the key's record; not found, on the last record
// in index order (the end when the index is empty). Sets `stale` when the record landed on
// does not carry the key its entry says.
bool TDbfTable::Impl::standAfterSeek(const IndexFile& ix, std::size_t pos, bool& stale) {
    stale = false;
    const bool found = pos != IndexFile::npos;
    if (!found && ix.size() == 0) {
        refreshCount();
        setEof();
        return false;
    }
    idxPos = found ? pos : ix.size() - 1;
    onRecord(ix.at(idxPos).recno, Direction::Single);
    stale = ix.expression().evaluate(std::string_view(cur, R())) != ix.at(idxPos).key;
    return found;
}

std::string TDbfTable::Impl::keyText(const IndexFile& ix, const std::string& key) const {
    if (ix.expression().type() != KeyType::Character) {
        return "another value";
    }
    return "\"" + std::string(trimSpacesAndNuls(decodeText(cp, key))) + "\"";
}

// An index left over from before the table changed (records reordered or rewritten by another
// program) leads its keys to other records: reading on would show another record's data.
void TDbfTable::Impl::failStale(const IndexFile& ix) const {
    const IndexEntry& entry = ix.at(idxPos);
    throw EIndexStale("The index file " + ix.path().string() + " does not match the table " + name + ": its entry " +
                      keyText(ix, entry.key) + " leads to record " + std::to_string(entry.recno) + ", which holds " +
                      keyText(ix, ix.expression().evaluate(std::string_view(cur, R()))) + ". Rebuild the index " +
                      ix.path().filename().string() + " from " + path.filename().string() + ".");
}

// Seeks key bytes (nullopt: a seek text no key can match) in the controlling index.
bool TDbfTable::Impl::seekKey(const std::optional<std::string>& key) {
    bool stale = false;
    bool found = false;
    // A shared table's record may change between reading the index and reading the record;
    // only a mismatch that a fresh look confirms is a stale index.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0) {
            dropCached(); // the fresh look: header, index and record read again
        }
        checkFresh(true);
        IndexFile& ix = *controlling();
        found = standAfterSeek(ix, key ? ix.findPrefix(*key) : IndexFile::npos, stale);
        if (!stale || snapshot() || !shared()) {
            break;
        }
    }
    if (stale) {
        failStale(*controlling());
    }
    return found;
}

void TDbfTable::Impl::setEof() {
    eof = true;
    recno = count + 1;
    cur = nullptr;
    if (IndexFile* ix = controlling()) {
        idxPos = ix->size();
    }
}

void TDbfTable::Impl::setEmpty() {
    setEof();
    bof = true;
}

void TDbfTable::Impl::onRecord(std::uint32_t n, Direction dir) {
    if (n == 0 || n > count) {
        refreshCount();
        if (n == 0 || n > count) {
            fail("has no record " + std::to_string(n) + ", which its index " +
                 (controlling() ? controlling()->path().filename().string() : std::string("?")) +
                 " names; rebuild the index.");
        }
    }
    cur = recordPtr(n, dir);
    recno = n;
    eof = false;
    bof = false;
}

std::string TDbfTable::Impl::upperAscii(std::string_view text) {
    std::string up(text);
    for (char& c : up) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return up;
}

void TDbfTable::Impl::indexFieldNames() {
    fieldByName.clear();
    for (std::size_t i = 0; i < hdr.fields.size(); ++i) {
        fieldByName.emplace(upperAscii(hdr.fields[i].name), i);
    }
}

std::optional<std::size_t> TDbfTable::Impl::findField(std::string_view fieldName) const {
    const auto it = fieldByName.find(upperAscii(fieldName));
    if (it == fieldByName.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::size_t TDbfTable::Impl::fieldIndex(std::string_view fieldName) const {
    if (const std::optional<std::size_t> i = findField(fieldName)) {
        return *i;
    }
    fail("has no field " + std::string(fieldName) + ".");
}

// A field read as text or number: one of a type the engine cannot read would read as empty,
// a silent wrong answer, so it is refused.
const FieldDef& TDbfTable::Impl::readableField(std::string_view fieldName) const {
    const FieldDef& f = hdr.fields[fieldIndex(fieldName)];
    if (!isReadableType(f.type)) {
        fail("has the field " + f.name + " of type " + std::string(1, static_cast<char>(f.type)) +
             ", which this program cannot read.");
    }
    return f;
}

std::string TDbfTable::Impl::memoBytes(const FieldDef& f, const char* record, std::uint32_t n, std::size_t limit,
                                       bool* cut) const {
    if (cut != nullptr) {
        *cut = false;
    }
    const std::optional<std::uint32_t> block = field_codec::memoBlock(f, record);
    if (!block) {
        fail("is damaged: the memo pointer of field " + f.name + " in record " + std::to_string(n) +
             " is not a number.");
    }
    if (*block == 0) {
        return {};
    }
    if (!memo) {
        fail("has no memo file.");
    }
    return memo->read(*block, limit, cut);
}

// ---- the table --------------------------------------------------------------------------------

TDbfTable::TDbfTable() : impl_(std::make_unique<Impl>()) {}

TDbfTable::TDbfTable(const Settings& settings) : impl_(std::make_unique<Impl>()) {
    impl_->settings = settings;
}

TDbfTable::~TDbfTable() {
    try {
        close();
    } catch (...) {
        // closing never reports from a destructor
    }
}

bool TDbfTable::isOpen() const {
    return impl_->open;
}

TDbfTable::OpenMode TDbfTable::mode() const {
    return impl_->mode;
}

const fs::path& TDbfTable::path() const {
    return impl_->path;
}

std::uint8_t TDbfTable::version() const {
    return impl_->hdr.version;
}

CodePage TDbfTable::codePage() const {
    return impl_->cp;
}

const std::vector<FieldDef>& TDbfTable::fields() const {
    static const std::vector<FieldDef> none;
    return impl_->open ? impl_->hdr.fields : none;
}

const FieldDef* TDbfTable::fieldDef(std::string_view name) const {
    const std::optional<std::size_t> i = impl_->open ? impl_->findField(name) : std::nullopt;
    return i ? &impl_->hdr.fields[*i] : nullptr;
}

// ---- positioning ------------------------------------------------------------------------------

bool TDbfTable::seek(std::string_view key) {
    Impl& d = *impl_;
    if (!d.open || d.controlling() == nullptr) {
        return false;
    }
    d.autoPost(*this);
    const KeyExpression& expr = d.controlling()->expression();
    std::string k;
    bool valid = true;
    switch (expr.type()) {
    case KeyType::Character:
        valid = encodeText(d.cp, key, k);
        if (valid && k.size() > static_cast<std::size_t>(expr.keyLength())) {
            // Blanks past the key's length match its padding; anything else matches nothing.
            const std::string_view rest = std::string_view(k).substr(static_cast<std::size_t>(expr.keyLength()));
            valid = rest.find_first_not_of(' ') == std::string_view::npos;
            k.resize(static_cast<std::size_t>(expr.keyLength()));
        }
        break;
    case KeyType::Numeric: {
        const std::optional<double> v = field_codec::parseNumber(key);
        valid = v.has_value();
        if (valid) {
            k = KeyExpression::encodeNumber(*v);
        }
        break;
    }
    case KeyType::Date: {
        const std::string_view t = trimSpacesAndNuls(key);
        if (t.empty()) {
            k = KeyExpression::encodeNumber(0.0);
        } else if (t.size() == 8 && t.find_first_not_of("0123456789") == std::string_view::npos) {
            const auto num = [&](std::size_t at, std::size_t len) {
                int v = 0;
                for (std::size_t i = at; i < at + len; ++i) {
                    v = v * 10 + (t[i] - '0');
                }
                return v;
            };
            k = KeyExpression::encodeDate(num(0, 4), num(4, 2), num(6, 2));
        } else {
            valid = false;
        }
        break;
    }
    }
    return d.seekKey(valid ? std::optional<std::string>(k) : std::nullopt);
}

bool TDbfTable::seekNumber(double key) {
    Impl& d = *impl_;
    if (!d.open || d.controlling() == nullptr) {
        return false;
    }
    d.autoPost(*this);
    return d.seekKey(KeyExpression::encodeNumber(key));
}

void TDbfTable::go(std::uint32_t recno) {
    Impl& d = *impl_;
    d.requireOpen();
    d.autoPost(*this);
    d.checkFresh(true);
    if (recno > d.count) {
        d.refreshCount();
    }
    if (recno < 1 || recno > d.count) {
        d.fail("has no record " + std::to_string(recno) + " (it has " + std::to_string(d.count) + ").");
    }
    d.onRecord(recno, Direction::Single);
    d.locateInIndex();
}

void TDbfTable::first() {
    impl_->standAtEnd(*this, false);
}

void TDbfTable::last() {
    impl_->standAtEnd(*this, true);
}

void TDbfTable::next() {
    Impl& d = *impl_;
    if (!d.open) {
        return;
    }
    d.autoPost(*this);
    if (d.eof) {
        return;
    }
    d.moveCheck();
    if (IndexFile* ix = d.controlling()) {
        if (d.idxPos != IndexFile::npos && d.idxPos + 1 < ix->size()) {
            ++d.idxPos;
            d.onRecord(ix->at(d.idxPos).recno, Direction::IndexOrder);
        } else {
            d.setEof();
        }
        return;
    }
    if (d.recno >= d.count) {
        d.refreshCount();
    }
    if (d.recno < d.count) {
        d.onRecord(d.recno + 1, Direction::Forward);
    } else {
        d.setEof();
    }
}

void TDbfTable::prior() {
    Impl& d = *impl_;
    if (!d.open) {
        return;
    }
    d.autoPost(*this);
    if (d.eof) {
        last();
        return;
    }
    d.moveCheck();
    if (IndexFile* ix = d.controlling()) {
        if (d.idxPos == IndexFile::npos || d.idxPos == 0 || d.idxPos > ix->size()) {
            d.bof = true;
            return;
        }
        --d.idxPos;
        d.onRecord(ix->at(d.idxPos).recno, Direction::Single);
        return;
    }
    if (d.recno <= 1) {
        d.bof = true;
        return;
    }
    d.onRecord(d.recno - 1, Direction::Backward);
}

bool TDbfTable::eof() const {
    return !impl_->open || (impl_->state == Impl::State::Browse && impl_->eof);
}

bool TDbfTable::bof() const {
    return !impl_->open || (impl_->state == Impl::State::Browse && impl_->bof);
}

std::uint32_t TDbfTable::recNo() const {
    const Impl& d = *impl_;
    if (!d.open) {
        return 0;
    }
    if (d.state == Impl::State::Insert) {
        return d.count + 1;
    }
    return d.recno;
}

std::uint32_t TDbfTable::recordCount() const {
    Impl& d = *impl_;
    if (!d.open) {
        return 0;
    }
    d.refreshCount();
    return d.count;
}

// ---- reading ----------------------------------------------------------------------------------

std::string TDbfTable::fieldText(std::string_view name) const {
    const Impl& d = *impl_;
    if (!d.open) {
        return {};
    }
    const FieldDef& f = d.readableField(name);
    const char* rec = d.current();
    if (rec == nullptr) {
        return {};
    }
    if (isMemoPointer(f)) {
        return memoText(name).text;
    }
    return field_codec::text(f, rec, d.cp);
}

TDbfTable::MemoText TDbfTable::memoText(std::string_view name, std::size_t limit) const {
    const Impl& d = *impl_;
    if (!d.open) {
        return {};
    }
    const FieldDef& f = d.readableField(name);
    const auto i = static_cast<std::size_t>(&f - d.hdr.fields.data());
    const char* rec = d.current();
    if (rec == nullptr || f.type != FieldType::Memo) {
        return {};
    }
    MemoText out;
    if (d.state != Impl::State::Browse && d.pendingMemo[i]) {
        out.text = decodeText(d.cp, *d.pendingMemo[i]);
        return out;
    }
    out.text = decodeText(d.cp, d.memoBytes(f, rec, d.recno, limit, &out.cut));
    return out;
}

double TDbfTable::fieldFloat(std::string_view name) const {
    const Impl& d = *impl_;
    if (!d.open) {
        return 0.0;
    }
    const FieldDef& f = d.readableField(name);
    const char* rec = d.current();
    if (rec == nullptr) {
        return 0.0;
    }
    const std::optional<double> v = field_codec::number(f, rec);
    if (!v) {
        d.fail("holds \"" + std::string(trimSpacesAndNuls(field_codec::text(f, rec, d.cp))) + "\" in field " + f.name +
               " of record " + std::to_string(d.recno) + ", which is not a number.");
    }
    return *v;
}

std::int64_t TDbfTable::fieldInteger(std::string_view name) const {
    const double v = fieldFloat(name);
    if (!(v > -9.2e18 && v < 9.2e18)) {
        impl_->fail("holds a number in field " + std::string(name) + " too large for a whole number.");
    }
    return static_cast<std::int64_t>(v < 0 ? v - 0.5 : v + 0.5);
}

std::string TDbfTable::fieldBlob(std::string_view name) const {
    const Impl& d = *impl_;
    if (!d.open) {
        return {};
    }
    const std::size_t i = d.fieldIndex(name);
    const FieldDef& f = d.hdr.fields[i];
    const char* rec = d.current();
    if (rec == nullptr) {
        return {};
    }
    if (isMemoPointer(f)) {
        if (d.state != Impl::State::Browse && d.pendingMemo[i]) {
            return *d.pendingMemo[i];
        }
        return d.memoBytes(f, rec, d.recno);
    }
    return std::string(rec + f.offset, static_cast<std::size_t>(f.width));
}

bool TDbfTable::isDeleted() const {
    const char* rec = impl_->open ? impl_->current() : nullptr;
    return rec != nullptr && rec[0] == '*';
}

} // namespace arrowsel::data
