// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbf_table.h"

#include "data/dbf_header.h"
#include "data/dbf_test_hooks.h"
#include "data/field_codec.h"
#include "data/file_io.h"
#include "data/memo_file.h"
#include "data/new_file.h"
#include "data/table_error.h"
#include "data/text.h"
#include "data/text_export.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>

namespace arrowsel::data {
namespace fs = std::filesystem;

namespace test_hooks {
void (*postStage)(PostStage stage) = nullptr;
// The bound on how late a shared reader sees a change by a program that does not raise our
// change mark; short beside a person's pace, long beside a burst of seeks.
std::chrono::milliseconds trustUnchanged{250};
} // namespace test_hooks

namespace {

const char* const kLockFailure = "Record Lock Failure. May be locked by another user or task.";

constexpr std::size_t kWindowBytes = std::size_t{64} * 1024; // read-ahead when reading in record order
constexpr std::uint32_t kIndexWindowRecords = 16;            // read-ahead when reading in index order
constexpr int kLockAttempts = 20;                            // edit(): 20 tries, 25 ms apart
constexpr auto kLockPause = std::chrono::milliseconds(25);
constexpr std::size_t kCacheBytes = 1 << 20; // records kept by a shared or exclusive open
constexpr std::uint64_t kChangeMarkAt = 24;  // 4 bytes of the header's reserved multi-user area
constexpr std::size_t kHeadBytes = 32;
constexpr std::size_t kExportMemoLimit = std::size_t{64} << 20; // the most of one memo an export reads

void hook(IoProbe* probe, PostStage stage) {
    if (probe != nullptr) {
        probe->postStage(stage);
    }
    if (test_hooks::postStage != nullptr) {
        test_hooks::postStage(stage);
    }
}

bool hasLowerCase(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// The memo file beside a table: same base name, the given extension in the table extension's case.
fs::path memoPathFor(const fs::path& table, const char* extUpper) {
    std::string ext = extUpper;
    if (hasLowerCase(table.extension().string())) {
        for (char& c : ext) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
    }
    fs::path p = table;
    p.replace_extension(ext);
    return p;
}

enum class Direction { Single, Forward, Backward, IndexOrder };

// Why a file that opens for reading does not open for writing, as the rest of a sentence.
std::string unwritable(int err) {
    if (err == ELOOP) {
        return "is a symbolic link, and the program writes no file through a link";
    }
    return "cannot be written (" + errorText(err) + ")";
}

} // namespace

struct TDbfTable::Impl {
    enum class State { Browse, Edit, Insert };

    Settings settings;

    // The open table.
    bool open = false;
    OpenMode mode = OpenMode::Shared;
    bool writable = false;
    std::string readOnlyWhy; // why a shared open of a writable table ended read-only
    fs::path path;
    std::string name; // for messages
    File dbf;
    std::unique_ptr<MemoFile> memo;
    DbfHeader hdr;
    CodePage cp = CodePage::Windows1252;
    std::uint32_t count = 0;      // records in use
    std::uint64_t knownWhole = 0; // whole records in the file at the last look at its size
    bool countBySize = false;     // read-only table whose header count is wrong: trust the size

    // Indexes; the last one controls the order.
    std::vector<std::unique_ptr<IndexFile>> indexes;
    std::vector<std::string> notices; // repairs to tell the user about
    std::size_t idxPos = IndexFile::npos;

    // Position.
    std::uint32_t recno = 1;
    bool eof = true;
    bool bof = true;
    const char* cur = nullptr;

    // Read-ahead: records winFirst .. winFirst + winCount - 1.
    std::vector<char> win;
    std::uint32_t winFirst = 0;
    std::uint32_t winCount = 0;

    // Records read one by one (seeks, index order), in fixed slots used again round the ring. The
    // arena never moves, so a record the table stands on stays readable until the next read.
    std::vector<char> arena;
    std::vector<std::uint32_t> slotRecno;
    std::vector<std::uint32_t> slotOf; // by record number: its slot + 1, or 0 (a lookup per move)
    std::uint32_t nextSlot = 0;

    // A shared open: the header as last checked under the header lock, and when.
    std::array<unsigned char, kHeadBytes> seenHead{};
    bool headSeen = false;
    std::chrono::steady_clock::time_point checkedAt;

    // Editing.
    State state = State::Browse;
    std::string editBuf;
    std::string origBuf;
    std::vector<std::optional<std::string>> pendingMemo; // stored bytes, per field
    bool recordLocked = false;
    std::uint32_t lockedRecno = 0;
    std::uint32_t savedRecno = 0;
    bool savedEof = true;
    std::size_t savedIdxPos = IndexFile::npos;

    // Field positions by upper-case name: callers name fields on every read, so a scan with a
    // case-blind compare per field would dominate reading a wide chart row.
    std::unordered_map<std::string, std::size_t> fieldByName;

    // ---- helpers ---------------------------------------------------------------------------

    bool shared() const { return mode != OpenMode::Exclusive; }
    IndexFile* controlling() const { return indexes.empty() ? nullptr : indexes.back().get(); }
    std::uint32_t R() const { return hdr.recordLength; }
    std::uint64_t H() const { return hdr.headerLength; }
    std::uint64_t recordOffset(std::uint32_t n) const { return H() + static_cast<std::uint64_t>(n - 1) * R(); }

    [[noreturn]] void fail(const std::string& what) const { throw ETableError("The table " + name + " " + what); }

    void requireOpen() const {
        if (!open) {
            throw ETableError("The table is not open.");
        }
    }
    void requireWritable() const {
        requireOpen();
        if (!writable) {
            fail(readOnlyWhy.empty() ? std::string("is open read-only.") : "is open read-only: " + readOnlyWhy + ".");
        }
    }

    // The memo file beside the table, of the kind its version says (or the other kind, when only
    // that is there); a shared open that cannot write it goes on read-only.
    void openMemo(OpenMode openMode) {
        if (hdr.memoKind == dbf::MemoKind::None) {
            return;
        }
        const bool dbt = hdr.memoKind == dbf::MemoKind::Dbt;
        std::optional<fs::path> memoPath = findFileNoCase(memoPathFor(path, dbt ? ".DBT" : ".FPT"));
        MemoFile::Kind kind = dbt ? MemoFile::Kind::Dbt : MemoFile::Kind::Fpt;
        if (!memoPath) {
            memoPath = findFileNoCase(memoPathFor(path, dbt ? ".FPT" : ".DBT"));
            kind = dbt ? MemoFile::Kind::Fpt : MemoFile::Kind::Dbt;
        }
        if (!memoPath) {
            throw ETableError("The memo file " + memoPathFor(path, dbt ? ".DBT" : ".FPT").string() + " of table " +
                              name + " does not exist.");
        }
        if (writable && openMode == OpenMode::Shared) {
            File probe;
            if (const int memoErr = probe.open(*memoPath, File::Access::ReadWrite);
                memoErr == EACCES || memoErr == EROFS || memoErr == EPERM || memoErr == ELOOP) {
                readOnlyBecause("its memo file " + memoPath->string() + " " + unwritable(memoErr));
            }
        }
        memo = std::make_unique<MemoFile>(*memoPath, kind, writable, settings.probe);
    }

    // A shared open goes on read-only when one of the table's files cannot be written, and says so.
    void readOnlyBecause(std::string why) {
        writable = false;
        notices.push_back("The table " + name + " is opened read-only: " + why +
                          ". Its records can be read, but nothing can be saved in it until that is put right.");
        readOnlyWhy = std::move(why);
    }

    std::uint32_t headerCount() const {
        unsigned char b[4];
        dbf.readExact(4, b, sizeof b, "its header");
        return readLe32(b);
    }

    std::uint64_t wholeBySize() const {
        const std::uint64_t size = dbf.size();
        if (size < H()) {
            return 0;
        }
        return std::min<std::uint64_t>((size - H()) / R(), 0xFFFFFFFEu);
    }

    // Whole records past `from` whose deletion flag is a real one (blank or '*'): records a
    // process wrote before it could update the header count.
    std::uint64_t liveExtent(std::uint64_t from, std::uint64_t whole) const {
        std::vector<char> chunk;
        std::uint64_t n = from;
        while (n < whole) {
            const std::uint64_t k = std::min<std::uint64_t>(whole - n, std::max<std::uint64_t>(1, (1u << 20) / R()));
            chunk.resize(static_cast<std::size_t>(k * R()));
            const std::size_t got = dbf.readAt(H() + n * R(), chunk.data(), chunk.size()) / R();
            for (std::size_t i = 0; i < got; ++i) {
                const char flag = chunk[i * R()];
                if (flag != ' ' && flag != '*') {
                    return n + i;
                }
            }
            if (got < k) {
                return n + got;
            }
            n += k;
        }
        return whole;
    }

    std::uint32_t countFromFile(std::uint32_t hc) const {
        std::uint64_t whole = wholeBySize();
        if (hc < whole) {
            whole = liveExtent(hc, whole);
        }
        return static_cast<std::uint32_t>(whole);
    }

    // What is wrong with the file's length, or empty when it holds the header, at least the
    // records the header counts (more when a process was killed while appending) and then at most
    // an end mark (0x1A, perhaps padded with NUL or more 0x1A bytes). A header that lies about
    // its lengths leaves a ragged end or too few records: reading by it would shift every record
    // and writing would overwrite one.
    std::string lengthFault(std::uint32_t hc) const {
        const std::uint64_t size = dbf.size();
        const std::uint64_t whole = size < H() ? 0 : (size - H()) / R();
        if (hc > whole) {
            return "its header counts " + std::to_string(hc) + " records, but the file holds only " +
                   std::to_string(whole);
        }
        std::uint64_t at = H() + static_cast<std::uint64_t>(countFromFile(hc)) * R();
        bool first = true;
        std::vector<char> chunk(4096);
        while (at < size) {
            const std::size_t got = dbf.readAt(at, chunk.data(), chunk.size());
            for (std::size_t i = 0; i < got; ++i) {
                const char c = chunk[i];
                if (first ? c != '\x1A' : c != '\x1A' && c != '\0') {
                    return "its length (" + std::to_string(size) + " bytes) is not its header (" + std::to_string(H()) +
                           " bytes) and whole records of " + std::to_string(R()) + " bytes";
                }
                first = false;
            }
            if (got == 0) {
                break;
            }
            at += got;
        }
        return {};
    }

    // The caller holds the header lock: no process of this engine is half-way through an append.
    void checkLength() {
        const std::string fault = lengthFault(headerCount());
        if (!fault.empty()) {
            fail("is damaged: " + fault + ". It is left untouched; restore it from a backup copy.");
        }
    }

    // Makes the header count agree with the records present (on disk when writable). Looked at
    // under the header lock: a record another counter is still posting may yet be taken back, and
    // a count taken meanwhile would show it to an export or a count.
    void repairCount() {
        ByteLock lock(dbf, dbf::kHeaderLock, File::LockType::Read);
        checkLength();
        std::uint32_t hc = headerCount();
        std::uint32_t actual = countFromFile(hc);
        if (actual != hc && writable) {
            lock.take(dbf, dbf::kHeaderLock, File::LockType::Write);
            hc = headerCount();
            actual = countFromFile(hc);
            if (actual != hc) {
                unsigned char b[4];
                writeLe32(b, actual);
                dbf.writeAt(4, b, sizeof b);
                dbf.sync();
            }
        } else if (actual != hc) {
            countBySize = true;
        }
        count = actual;
        knownWhole = wholeBySize();
    }

    // Takes the header lock for reading. A group of writes that a killed writer left in an index's
    // journal goes into the index only under the write lock: two counters replaying it at once, or
    // one reading the index while another replays it, would see a half-written tree. So a handle
    // that finds such a journal takes the write lock instead, looks again, replays, and goes back
    // to reading.
    void lockForReading(ByteLock& lock) {
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
    void refreshCount() {
        if (!shared() || snapshot()) {
            return;
        }
        refreshCountFrom(headerCount());
    }

    void refreshCountFrom(std::uint32_t hc) {
        if (countBySize) {
            count = countFromFile(hc);
            return;
        }
        if (hc > knownWhole) {
            knownWhole = wholeBySize();
        }
        count = static_cast<std::uint32_t>(std::min<std::uint64_t>(hc, knownWhole));
    }

    // A read-only open reads the table as it stood when opened: this process writes nothing, and
    // the tables opened so (charts, specifications) change only by a maker's update. Reads then
    // need no re-checks of the header, the indexes or records already read.
    bool snapshot() const { return mode == OpenMode::ReadOnly; }

    // Forgets every record read, so that the next one is read from the file.
    void invalidateWindow() {
        if (snapshot()) {
            return;
        }
        dropCached();
        if (state == State::Browse) {
            cur = nullptr;
        }
    }

    void dropCached() {
        winCount = 0;
        for (std::uint32_t& n : slotRecno) {
            if (n != 0 && n < slotOf.size()) {
                slotOf[n] = 0;
            }
            n = 0;
        }
        headSeen = false;
    }

    const char* cached(std::uint32_t n) const {
        if (n >= slotOf.size() || slotOf[n] == 0) {
            return nullptr;
        }
        return arena.data() + static_cast<std::size_t>(slotOf[n] - 1) * R();
    }

    void keep(std::uint32_t n, const char* record) {
        if (arena.empty()) {
            const std::size_t slots = std::clamp<std::size_t>(kCacheBytes / R(), 64, 1u << 16);
            arena.resize(slots * R());
            slotRecno.assign(slots, 0);
        }
        const std::uint32_t slot = nextSlot;
        nextSlot = (nextSlot + 1) % static_cast<std::uint32_t>(slotRecno.size());
        if (const std::uint32_t old = slotRecno[slot]; old != 0 && old < slotOf.size() && slotOf[old] == slot + 1) {
            slotOf[old] = 0;
        }
        if (n >= slotOf.size()) {
            slotOf.resize(std::max<std::size_t>(n + 1, std::size_t{count} + 1), 0);
        }
        std::memcpy(arena.data() + static_cast<std::size_t>(slot) * R(), record, R());
        slotRecno[slot] = n;
        slotOf[n] = slot + 1;
    }

    // The freshness rule of a shared open (see the class comment). seek, go, first and last call
    // it with `always`: one read of the header, and when that differs from the one last checked
    // (or the trust has run out) everything read is dropped and the count and the controlling
    // index are brought up to date under the header lock. next and prior call it without: only
    // once the trust has run out.
    void checkFresh(bool always) {
        if (mode != OpenMode::Shared) {
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        const bool trusted = headSeen && now - checkedAt < settings.trustUnchanged;
        if (!always && trusted) {
            return;
        }
        std::array<unsigned char, kHeadBytes> head{};
        if (trusted && dbf.readAt(0, head.data(), head.size()) == head.size() && head == seenHead) {
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
        seenHead = head;
        headSeen = true;
        checkedAt = now;
    }

    // Raises the change mark in the header, which every post() and index rebuild does so that
    // shared readers see a change whose record count and date are as before. The caller holds
    // the header lock for writing.
    void raiseChangeMark() {
        unsigned char b[4];
        dbf.readExact(kChangeMarkAt, b, sizeof b, "its header");
        writeLe32(b, readLe32(b) + 1);
        dbf.writeAt(kChangeMarkAt, b, sizeof b);
    }

    const char* recordPtr(std::uint32_t n, Direction dir) {
        if (n >= winFirst && n - winFirst < winCount) {
            return win.data() + static_cast<std::size_t>(n - winFirst) * R();
        }
        const bool ring = !snapshot() && (dir == Direction::Single || dir == Direction::IndexOrder);
        if (ring) {
            if (const char* rec = cached(n)) {
                return rec;
            }
        }
        std::uint32_t first = n;
        std::uint32_t k = 1;
        const std::uint32_t perWindow = static_cast<std::uint32_t>(std::max<std::size_t>(1, kWindowBytes / R()));
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
        win.resize(static_cast<std::size_t>(k) * R());
        const std::size_t got = dbf.readAt(recordOffset(first), win.data(), win.size()) / R();
        winFirst = first;
        winCount = static_cast<std::uint32_t>(got);
        if (n - first >= got) {
            winCount = 0;
            fail("is damaged: record " + std::to_string(n) + " is cut short.");
        }
        if (ring) {
            // Kept in the ring instead: the window would be replaced by the next read.
            for (std::uint32_t i = 0; i < winCount; ++i) {
                keep(first + i, win.data() + static_cast<std::size_t>(i) * R());
            }
            winCount = 0;
            return cached(n);
        }
        return win.data() + static_cast<std::size_t>(n - first) * R();
    }

    // How many records to read from record `n`, the one at idxPos, when moving on in index order:
    // through the farthest of the next few entries' records that lie just after it in the file
    // (an order that follows the records), else `n` alone (one that jumps about the file, where
    // records read along would go unused).
    std::uint32_t spanAhead(std::uint32_t n) const {
        const IndexFile* ix = controlling();
        std::uint32_t k = 1;
        if (ix != nullptr && idxPos < ix->size() && ix->at(idxPos).recno == n) {
            const std::size_t end = std::min(ix->size(), idxPos + kIndexWindowRecords);
            for (std::size_t i = idxPos + 1; i < end; ++i) {
                const std::uint32_t r = ix->at(i).recno;
                if (r > n && r - n < kIndexWindowRecords) {
                    k = std::max(k, r - n + 1);
                }
            }
        }
        return std::min(k, count - n + 1);
    }

    // first() and last(): the first or last record in the controlling order, or in record order.
    void standAtEnd(TDbfTable& table, bool atLast) {
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
    bool standAfterSeek(const IndexFile& ix, std::size_t pos, bool& stale) {
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

    std::string keyText(const IndexFile& ix, const std::string& key) const {
        if (ix.expression().type() != KeyType::Character) {
            return "another value";
        }
        return "\"" + std::string(trimSpacesAndNuls(decodeText(cp, key))) + "\"";
    }

    // An index left over from before the table changed (records reordered or rewritten by another
    // program) leads its keys to other records: reading on would show another record's data.
    [[noreturn]] void failStale(const IndexFile& ix) const {
        const IndexEntry& entry = ix.at(idxPos);
        throw EIndexStale("The index file " + ix.path().string() + " does not match the table " + name +
                          ": its entry " + keyText(ix, entry.key) + " leads to record " + std::to_string(entry.recno) +
                          ", which holds " + keyText(ix, ix.expression().evaluate(std::string_view(cur, R()))) +
                          ". Rebuild the index " + ix.path().filename().string() + " from " + path.filename().string() +
                          ".");
    }

    // Seeks key bytes (nullopt: a seek text no key can match) in the controlling index.
    bool seekKey(const std::optional<std::string>& key) {
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

    void setEof() {
        eof = true;
        recno = count + 1;
        cur = nullptr;
        if (IndexFile* ix = controlling()) {
            idxPos = ix->size();
        }
    }

    void setEmpty() {
        setEof();
        bof = true;
    }

    void onRecord(std::uint32_t n, Direction dir) {
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

    const char* current() const {
        if (state != State::Browse) {
            return editBuf.data();
        }
        return eof ? nullptr : cur;
    }

    static std::string upperAscii(std::string_view text) {
        std::string up(text);
        for (char& c : up) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        return up;
    }

    void indexFieldNames() {
        fieldByName.clear();
        for (std::size_t i = 0; i < hdr.fields.size(); ++i) {
            fieldByName.emplace(upperAscii(hdr.fields[i].name), i);
        }
    }

    std::optional<std::size_t> findField(std::string_view fieldName) const {
        const auto it = fieldByName.find(upperAscii(fieldName));
        if (it == fieldByName.end()) {
            return std::nullopt;
        }
        return it->second;
    }

    std::size_t fieldIndex(std::string_view fieldName) const {
        if (const std::optional<std::size_t> i = findField(fieldName)) {
            return *i;
        }
        fail("has no field " + std::string(fieldName) + ".");
    }

    // A field read as text or number: one of a type the engine cannot read would read as empty,
    // a silent wrong answer, so it is refused.
    const FieldDef& readableField(std::string_view fieldName) const {
        const FieldDef& f = hdr.fields[fieldIndex(fieldName)];
        if (!isReadableType(f.type)) {
            fail("has the field " + f.name + " of type " + std::string(1, static_cast<char>(f.type)) +
                 ", which this program cannot read.");
        }
        return f;
    }

    std::string memoBytes(const FieldDef& f, const char* record, std::uint32_t n,
                          std::size_t limit = MemoFile::kReadLimit, bool* cut = nullptr) const {
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

    // Index position of the current record in the controlling order (npos when it is not there).
    void locateInIndex() {
        IndexFile* ix = controlling();
        if (ix == nullptr) {
            return;
        }
        if (eof || cur == nullptr) {
            idxPos = ix->size();
            return;
        }
        idxPos = ix->find(ix->expression().evaluate(std::string_view(cur, R())), recno);
    }

    // The records 1..n in one buffer, for building indexes.
    std::string readAll(std::uint32_t n) const {
        std::string all(static_cast<std::size_t>(n) * R(), '\0');
        dbf.readExact(H(), all.data(), all.size(), "a record");
        return all;
    }

    RecordSource sourceOf(const std::string& all, std::uint32_t n) const {
        const std::size_t r = R();
        return [&all, n, r](std::uint32_t k) -> std::string_view {
            if (k == 0 || k > n) {
                return {};
            }
            return std::string_view(all.data() + static_cast<std::size_t>(k - 1) * r, r);
        };
    }

    fs::path indexPathFor(const fs::path& indexName) const {
        fs::path p = indexName;
        if (!p.has_parent_path()) {
            p = path.parent_path() / p;
        }
        if (!p.has_extension()) {
            p += ".IDX";
        }
        return p;
    }

    // Only plain indexes hold exactly one key per record; no index may name a record past the end.
    bool indexAgrees(const IndexFile& ix) const {
        if (!ix.unique() && ix.size() != count) {
            return false;
        }
        for (std::size_t i = 0; i < ix.size(); ++i) {
            if (ix.at(i).recno > count) {
                return false;
            }
        }
        return true;
    }

    // Builds an index that is missing, or a link (which the new file replaces, leaving what it
    // points at as it was), from the records on the program's own expression; the caller holds the
    // header lock for writing.
    std::unique_ptr<IndexFile> buildInPlace(const fs::path& file, std::string_view ownExpression, bool wasLink) {
        std::string target;
        if (wasLink) {
            std::error_code ec;
            target = fs::read_symlink(file, ec).string();
        }
        const std::string all = readAll(count);
        std::unique_ptr<IndexFile> ix = IndexFile::create(file, IndexKind::Compact, ownExpression, hdr.fields, cp,
                                                          count, sourceOf(all, count), false, settings.probe);
        ix->flush();
        raiseChangeMark();
        if (wasLink) {
            notices.push_back("The index file " + file.string() + " was a symbolic link (to " + target +
                              "); the program writes no index through a link, so a new " + file.filename().string() +
                              " has been built from the table " + name + " in its place. " + target +
                              " was not changed, and no record was lost.");
        } else {
            notices.push_back("The index file " + file.string() + " was missing; it has been built from the table " +
                              name + ". No record was lost.");
        }
        return ix;
    }

    // One sentence per kind of fault of `ix` against the records `all` (1..n).
    std::vector<std::string> faultsOf(const IndexFile& ix, const std::string& all, std::uint32_t n) const {
        const std::string index = ix.path().filename().string();
        const std::string table = path.filename().string();
        std::vector<std::string> faults;
        if (!ix.unique() && ix.size() != n) {
            faults.push_back(index + " holds " + std::to_string(ix.size()) + " keys for the " + std::to_string(n) +
                             " records of " + table);
        }
        std::size_t past = 0;
        std::size_t wrong = 0;
        std::string firstPast;
        std::string firstWrong;
        std::string key(static_cast<std::size_t>(ix.expression().keyLength()), ' ');
        for (std::size_t i = 0; i < ix.size(); ++i) {
            const IndexEntry& e = ix.at(i);
            if (e.recno == 0 || e.recno > n) {
                if (past++ == 0) {
                    firstPast = std::to_string(e.recno);
                }
                continue;
            }
            const std::string_view record(all.data() + static_cast<std::size_t>(e.recno - 1) * R(), R());
            key.resize(static_cast<std::size_t>(ix.expression().keyLength()));
            ix.expression().evaluateTo(record, key.data());
            if (key != e.key && wrong++ == 0) {
                firstWrong = "record " + std::to_string(e.recno) + " holds " + keyText(ix, key) + " where " + index +
                             " says " + keyText(ix, e.key);
            }
        }
        const auto more = [](std::size_t c) {
            return c > 1 ? " (and " + std::to_string(c - 1) + " more)" : std::string();
        };
        if (past > 0) {
            faults.push_back(index + " names record " + firstPast + more(past) + ", past the " + std::to_string(n) +
                             " records of " + table);
        }
        if (wrong > 0) {
            faults.push_back(index + " does not match " + table + ": " + firstWrong + more(wrong));
        }
        return faults;
    }

    static std::uint32_t liveIn(const std::string& all, std::uint32_t n, std::size_t r) {
        std::uint32_t live = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
            live += all[static_cast<std::size_t>(i) * r] != '*' ? 1 : 0;
        }
        return live;
    }

    // Builds a damaged index again from the records, on the expression its header names or, when
    // the header itself is damaged, on the program's own; the caller holds the header lock.
    std::unique_ptr<IndexFile> rebuildDamaged(const fs::path& file, std::string_view ownExpression,
                                              const EIndexDamaged& damage) {
        IndexHeader how;
        if (std::optional<IndexHeader> stated = IndexFile::readHeader(file)) {
            how = *stated;
        } else if (!ownExpression.empty()) {
            how.expression = std::string(ownExpression);
        } else {
            throw damage;
        }
        const std::string all = readAll(count);
        std::unique_ptr<IndexFile> ix;
        try {
            ix = IndexFile::create(file, how.kind, how.expression, hdr.fields, cp, count, sourceOf(all, count),
                                   how.unique, settings.probe);
        } catch (const ETableError& e) {
            if (ownExpression.empty() || how.expression == ownExpression) {
                throw ETableError(std::string(damage.what()) + " It could not be rebuilt: " + e.what());
            }
            // The header's expression does not suit this table: use the program's own.
            ix = IndexFile::create(file, IndexKind::Compact, ownExpression, hdr.fields, cp, count, sourceOf(all, count),
                                   false, settings.probe);
        }
        notices.push_back("The index file " + file.string() + " was damaged (" + damage.reason() +
                          ") and has been rebuilt from the table " + name + ". No record was lost.");
        return ix;
    }

    // What post() needs to put a record's position back as it was.
    struct Undo {
        std::uint32_t recno = 0;
        bool inserting = false;
        std::uint64_t fileSize = 0;
        unsigned char head[7] = {};
        unsigned char mark[4] = {};
        std::string bytes; // what the file held where the record goes
    };

    Undo undoFor(std::uint32_t n, bool inserting) const {
        Undo u;
        u.recno = n;
        u.inserting = inserting;
        u.fileSize = dbf.size();
        dbf.readExact(1, u.head, sizeof u.head, "its header");
        dbf.readExact(kChangeMarkAt, u.mark, sizeof u.mark, "its header");
        const std::uint64_t at = recordOffset(n);
        if (u.fileSize > at) {
            u.bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(u.fileSize - at, R() + 1)));
            dbf.readExact(at, u.bytes.data(), u.bytes.size(), "a record");
        }
        return u;
    }

    // Restores the table, then each index; an index left with a key of a record that is gone is
    // rebuilt at its next open.
    void takeBack(const Undo& u, const std::string& record, const std::exception& cause) {
        try {
            dbf.writeAt(recordOffset(u.recno), u.bytes.data(), u.bytes.size());
            if (u.inserting) {
                dbf.truncate(u.fileSize);
            }
            dbf.writeAt(1, u.head, sizeof u.head);
            dbf.writeAt(kChangeMarkAt, u.mark, sizeof u.mark);
            dbf.sync();
        } catch (const std::exception& e) {
            throw ETableError(std::string(cause.what()) + "\nThe record may have been stored all the same (" +
                              e.what() + "). Close this window and look the customer up before saving again.");
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

    // next() and prior() move on from what the last check read; once it is too old they check
    // again and find the current record's place in an index that may have changed meanwhile.
    void moveCheck() {
        if (mode != OpenMode::Shared ||
            (headSeen && std::chrono::steady_clock::now() - checkedAt < settings.trustUnchanged)) {
            return;
        }
        checkFresh(false);
        if (recno >= 1 && recno <= count) {
            cur = recordPtr(recno, Direction::Single); // its key may have moved it in the index
        }
        locateInIndex();
    }

    void autoPost(TDbfTable& table) {
        if (state != State::Browse) {
            table.post();
        }
    }

    // The steps of post(), under the append lock.

    // Appends go after the records the header counts (never past the file's end).
    std::uint32_t appendNumber() {
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
    bool writePendingMemos(std::string& record) {
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
    void writeRecord(const std::string& record, std::uint32_t n, std::uint32_t newCount, bool inserting) {
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
    void updateIndexes(const std::string& record, std::uint32_t n, bool inserting) {
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

    void syncAll(bool memoWritten) {
        dbf.sync();
        if (memoWritten) {
            memo->sync();
        }
        for (const auto& ix : indexes) {
            ix->flush();
        }
    }

    void releaseRecordLock() {
        if (recordLocked) {
            dbf.unlock(dbf::kHeaderLock - lockedRecno);
            recordLocked = false;
        }
    }
};

// ---- creating ---------------------------------------------------------------------------------

namespace {

[[noreturn]] void refuseCreate(const std::string& shown, const std::string& what) {
    throw ETableError("Cannot create the table " + shown + ": " + what + ".");
}

// The field's name upper-cased, checked against the xBase rule and the fields before it.
std::string newFieldName(const std::string& given, const std::vector<FieldDef>& before, const std::string& shown) {
    std::string name;
    for (char c : given) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        name += c;
    }
    const bool nameOk = !name.empty() && name.size() <= 10 && name[0] >= 'A' && name[0] <= 'Z' &&
                        std::all_of(name.begin(), name.end(), [](char c) {
                            return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
                        });
    if (!nameOk) {
        refuseCreate(shown,
                     "\"" + given + "\" is not a field name (1 to 10 letters, digits or _, starting with a letter)");
    }
    for (const FieldDef& other : before) {
        if (other.name == name) {
            refuseCreate(shown, "the field name " + name + " appears twice");
        }
    }
    return name;
}

// Width and decimals of a new field of `s.type`; a width of 0 asks for the type's own.
void setNewFieldWidth(FieldDef& f, const TDbfTable::FieldSpec& s, bool vfp, const std::string& shown) {
    const auto fixedWidth = [&](int w) {
        if (s.width != 0 && s.width != w) {
            refuseCreate(shown, "the field " + f.name + " must be " + std::to_string(w) + " bytes wide");
        }
        f.width = w;
    };
    f.decimals = 0;
    switch (s.type) {
    case FieldType::Character:
        if (s.width < 1 || s.width > 254) {
            refuseCreate(shown, "the character field " + f.name + " must be 1 to 254 characters wide");
        }
        f.width = s.width;
        break;
    case FieldType::Numeric:
    case FieldType::Float:
        if (s.width < 1 || s.width > 20 || s.decimals < 0 || s.decimals > 15 ||
            (s.decimals > 0 && s.decimals > s.width - 2)) {
            refuseCreate(shown, "the number field " + f.name + " must be 1 to 20 wide with room for its decimals");
        }
        f.width = s.width;
        f.decimals = s.decimals;
        break;
    case FieldType::Date:
        fixedWidth(8);
        break;
    case FieldType::Logical:
        fixedWidth(1);
        break;
    case FieldType::Integer:
        fixedWidth(4);
        break;
    case FieldType::Memo:
        if (s.width != 0 && s.width != 10 && s.width != 4) {
            refuseCreate(shown, "the memo field " + f.name + " must be 10 bytes wide (4 in Visual FoxPro tables)");
        }
        f.width = vfp ? 4 : 10;
        break;
    default:
        refuseCreate(shown, "the field " + f.name + " has a type (" + std::string(1, static_cast<char>(s.type)) +
                                ") that new tables cannot have; use C, N, F, D, L, I or M");
    }
}

std::vector<FieldDef> newFieldDefs(const std::vector<TDbfTable::FieldSpec>& specs, bool vfp, const std::string& shown) {
    if (specs.empty()) {
        refuseCreate(shown, "a table needs at least one field");
    }
    if (specs.size() > 255) {
        refuseCreate(shown, "a table has at most 255 fields");
    }
    std::vector<FieldDef> fields;
    std::uint32_t offset = 1;
    for (const TDbfTable::FieldSpec& s : specs) {
        FieldDef f;
        f.name = newFieldName(s.name, fields, shown);
        f.type = s.type;
        setNewFieldWidth(f, s, vfp, shown);
        f.offset = static_cast<int>(offset);
        offset += static_cast<std::uint32_t>(f.width);
        fields.push_back(std::move(f));
    }
    if (offset > 65500) {
        refuseCreate(shown, "its records would be longer than 65500 bytes");
    }
    return fields;
}

} // namespace

void TDbfTable::create(const fs::path& path, const std::vector<FieldSpec>& specs, CodePage cp, bool overwrite,
                       IoProbe* probe) {
    fs::path target = path;
    if (!target.has_extension()) {
        target += ".DBF";
    }
    const std::string shown = target.string();
    bool vfp = false;
    bool hasMemo = false;
    for (const FieldSpec& s : specs) {
        vfp = vfp || s.type == FieldType::Integer;
        hasMemo = hasMemo || s.type == FieldType::Memo;
    }
    const std::vector<FieldDef> fields = newFieldDefs(specs, vfp, shown);
    const std::uint8_t version = vfp ? dbf::kVisualFoxPro : hasMemo ? dbf::kFoxPro2Memo : dbf::kDbase3;

    if (const std::optional<fs::path> existing = findFileNoCase(target)) {
        if (!overwrite) {
            refuseCreate(shown, "it already exists");
        }
        target = *existing;
    }
    std::string bytes = buildDbfHeader(version, fields, cp);
    bytes += '\x1A';
    // Each file is made whole under a temporary name and then named, the memo file first: a kill
    // leaves no table (a memo file without one is replaced by the next create) or the whole new
    // table, never a half-made one that no later save could use.
    if (hasMemo) {
        fs::path memoPath = memoPathFor(target, ".FPT");
        if (const std::optional<fs::path> existing = findFileNoCase(memoPath)) {
            memoPath = *existing;
        }
        MemoFile::createFpt(memoPath, MemoFile::kDefaultBlockSize, probe);
    }
    NewFile f(target, overwrite ? NewFile::Replace::Always : NewFile::Replace::Never, probe);
    f.write(bytes);
    if (!f.commit()) {
        refuseCreate(shown, "it already exists");
    }
}

// ---- opening and closing ----------------------------------------------------------------------

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

void TDbfTable::open(const fs::path& pathIn, OpenMode mode) {
    Impl& d = *impl_;
    if (d.open) {
        return;
    }
    fs::path p = pathIn;
    if (!p.has_extension()) {
        p += ".DBF";
    }
    const std::string shown = p.string();
    const std::string missing = "Table does not exist.\rFile or directory does not exist.\rFile: " + shown;
    const std::string unable = "Unable to open table.\rFile: " + shown;
    const std::optional<fs::path> found = findFileNoCase(p);
    if (!found) {
        std::error_code listError;
        [[maybe_unused]] const fs::directory_iterator probe(p.has_parent_path() ? p.parent_path() : fs::path("."),
                                                            listError);
        if (listError == std::errc::permission_denied) {
            throw ETableError(unable + "\rThe folder cannot be read: permission denied.");
        }
        throw ETableError(missing);
    }
    std::error_code ec;
    fs::path actual = fs::absolute(*found, ec);
    if (ec) {
        actual = *found;
    }

    File file;
    file.setProbe(impl_->settings.probe);
    int err = file.open(actual, mode == OpenMode::ReadOnly ? File::Access::ReadOnly : File::Access::ReadWrite);
    std::string readOnlyWhy;
    if ((err == EACCES || err == EROFS || err == EPERM || err == ELOOP) && mode == OpenMode::Shared) {
        // A file this process may not write, or a link (never written through), is read.
        readOnlyWhy = "it " + unwritable(err);
        err = file.open(actual, File::Access::ReadOnly);
    }
    if (err == ENOENT) {
        throw ETableError(missing);
    }
    if (err == File::kNotRegularFile) {
        throw ETableError(unable + "\rIt is not a regular file (a folder, a pipe or a device).");
    }
    if (err != 0) {
        throw ETableError(unable);
    }
    if (!file.tryLock(dbf::kOpenLock, mode == OpenMode::Exclusive ? File::LockType::Write : File::LockType::Read)) {
        throw ETableError(unable);
    }

    Impl fresh;
    fresh.settings = impl_->settings;
    fresh.mode = mode;
    fresh.writable = file.writable() && mode != OpenMode::ReadOnly;
    fresh.path = actual;
    fresh.name = actual.string();
    if (!readOnlyWhy.empty() && file.isOpen()) {
        fresh.readOnlyBecause(readOnlyWhy);
    }
    fresh.dbf = std::move(file);
    const std::uint64_t size = fresh.dbf.size();
    std::string head(32, '\0');
    head.resize(fresh.dbf.readAt(0, head.data(), head.size()));
    const std::uint32_t headerLength = headerLengthOf(head, size, fresh.name);
    head.resize(headerLength);
    fresh.dbf.readExact(0, head.data(), head.size(), "its header");
    fresh.hdr = parseDbfHeader(head, size, fresh.name);
    fresh.cp = codePageFromMark(fresh.hdr.codePageMark);
    fresh.indexFieldNames();

    fresh.openMemo(mode);
    fresh.repairCount();
    fresh.open = true;
    d = std::move(fresh);
    first();
}

void TDbfTable::close() {
    Impl& d = *impl_;
    if (!d.open) {
        return;
    }
    d.state = Impl::State::Browse; // pending changes are dropped
    d.releaseRecordLock();
    d.indexes.clear();
    d.memo.reset();
    d.dbf.close();
    const Settings settings = d.settings;
    *impl_ = Impl();
    impl_->settings = settings;
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

// ---- indexes ----------------------------------------------------------------------------------

void TDbfTable::openIndexFile(const fs::path& name, std::string_view ownExpression) {
    Impl& d = *impl_;
    d.requireOpen();
    d.autoPost(*this);
    const fs::path wanted = d.indexPathFor(name);
    const std::optional<fs::path> found = findFileNoCase(wanted);
    std::error_code ec;
    fs::path file = fs::absolute(found.value_or(wanted), ec);
    if (ec) {
        file = found.value_or(wanted);
    }
    // A writable table builds what is missing, and what is a link, on its own expression.
    const bool canBuild = d.writable && !ownExpression.empty();
    if (!found && !canBuild) {
        throw ETableError("Index file does not exist.\rFile: " + file.string());
    }
    struct stat st {};
    const bool link = found && ::lstat(file.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    if (found && !link && !S_ISREG(st.st_mode)) {
        // A named pipe would block the open for ever.
        throw ETableError("Cannot open index file " + found->string() +
                          ": not a regular file (a folder, a pipe or a device).");
    }
    for (std::size_t i = 0; i < d.indexes.size(); ++i) {
        if (d.indexes[i]->path() == file) { // already open: it becomes the controlling order
            std::rotate(d.indexes.begin() + static_cast<std::ptrdiff_t>(i),
                        d.indexes.begin() + static_cast<std::ptrdiff_t>(i) + 1, d.indexes.end());
            d.locateInIndex();
            return;
        }
    }
    if (d.writable && found && !link && ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0 &&
        (errno == EACCES || errno == EROFS || errno == EPERM)) {
        // An index that cannot be written leaves the table readable, not the book closed.
        d.readOnlyBecause("its index file " + file.string() + " " + unwritable(errno));
    }
    std::unique_ptr<IndexFile> ix;
    {
        ByteLock lock(d.dbf, dbf::kHeaderLock, d.writable ? File::LockType::Write : File::LockType::Read);
        d.refreshCount();
        if (d.writable && (!found || link)) {
            // Looked at again under the lock: another counter may have built it meanwhile.
            const bool there = ::lstat(file.c_str(), &st) == 0;
            if (!there || S_ISLNK(st.st_mode)) {
                if (ownExpression.empty()) {
                    throw ETableError("Cannot open index file " + file.string() + ": " + errorText(ELOOP) + ".");
                }
                ix = d.buildInPlace(file, ownExpression, there);
            }
        }
        if (!ix) {
            try {
                ix = IndexFile::open(file, d.writable, d.hdr.fields, d.cp, d.settings.probe);
            } catch (const EIndexDamaged& e) {
                if (!d.writable) {
                    throw;
                }
                // The table is the truth: build the index again from it.
                ix = d.rebuildDamaged(file, ownExpression, e);
                d.raiseChangeMark();
            }
        }
        // A process killed between appending a record and updating the index leaves an index
        // short of records, and one killed while taking a failed append back may leave a key of a
        // record that is gone: rebuild it.
        if (d.writable && !d.indexAgrees(*ix)) {
            const std::string all = d.readAll(d.count);
            ix->rebuild(d.count, d.sourceOf(all, d.count));
            ix->flush();
            d.raiseChangeMark();
        }
    }
    d.indexes.push_back(std::move(ix));
    d.locateInIndex();
}

void TDbfTable::createIndex(const fs::path& name, std::string_view expression, IndexKind kind) {
    Impl& d = *impl_;
    d.requireWritable();
    d.autoPost(*this);
    fs::path target = d.indexPathFor(name);
    if (const std::optional<fs::path> existing = findFileNoCase(target)) {
        target = *existing;
    }
    std::error_code ec;
    const fs::path actual = fs::absolute(target, ec);
    if (!ec) {
        target = actual;
    }
    d.indexes.erase(std::remove_if(d.indexes.begin(), d.indexes.end(),
                                   [&](const std::unique_ptr<IndexFile>& ix) { return ix->path() == target; }),
                    d.indexes.end());
    std::unique_ptr<IndexFile> ix;
    {
        ByteLock lock(d.dbf, dbf::kHeaderLock, File::LockType::Write);
        d.refreshCount();
        const std::string all = d.readAll(d.count);
        ix = IndexFile::create(target, kind, expression, d.hdr.fields, d.cp, d.count, d.sourceOf(all, d.count), false,
                               d.settings.probe);
        ix->flush();
        d.raiseChangeMark();
    }
    d.indexes.push_back(std::move(ix));
    d.locateInIndex();
}

std::vector<std::string> TDbfTable::takeNotices() {
    std::vector<std::string> out;
    out.swap(impl_->notices);
    for (const auto& ix : impl_->indexes) {
        for (std::string& n : ix->takeNotices()) {
            out.push_back(std::move(n));
        }
    }
    return out;
}

void TDbfTable::closeIndexes() {
    Impl& d = *impl_;
    d.autoPost(*this);
    d.indexes.clear();
    d.idxPos = IndexFile::npos;
}

bool TDbfTable::hasControllingIndex() const {
    return impl_->controlling() != nullptr;
}

void TDbfTable::reindex() {
    Impl& d = *impl_;
    d.requireOpen();
    if (d.indexes.empty()) {
        return;
    }
    d.requireWritable();
    d.autoPost(*this);
    {
        ByteLock lock(d.dbf, dbf::kHeaderLock, File::LockType::Write);
        d.refreshCount();
        const std::string all = d.readAll(d.count);
        const RecordSource source = d.sourceOf(all, d.count);
        for (const auto& ix : d.indexes) {
            ix->refresh();
            ix->rebuild(d.count, source);
            ix->flush();
        }
        d.raiseChangeMark();
    }
    d.locateInIndex();
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

// ---- changing ---------------------------------------------------------------------------------

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
        const Impl::Undo undo = d.undoFor(n, inserting);
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
    d.win.assign(record.begin(), record.end());
    d.winFirst = n;
    d.winCount = 1;
    d.cur = d.win.data();
    d.recno = n;
    d.eof = false;
    d.bof = false;
    d.locateInIndex();
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

// ---- checking ---------------------------------------------------------------------------------

std::vector<std::string> TDbfTable::indexFaults() const {
    Impl& d = *impl_;
    d.requireOpen();
    IndexFile* ix = d.controlling();
    if (ix == nullptr) {
        return {};
    }
    std::string all;
    {
        ByteLock lock;
        d.lockForReading(lock);
        d.refreshCount();
        if (d.shared() && !d.snapshot()) {
            ix->refresh();
        }
        all = d.readAll(d.count);
    }
    return d.faultsOf(*ix, all, d.count);
}

std::uint32_t TDbfTable::liveRecordCount() {
    Impl& d = *impl_;
    d.requireOpen();
    std::string all;
    bool stale = false;
    {
        ByteLock lock;
        d.lockForReading(lock);
        d.refreshCount();
        all = d.readAll(d.count);
        if (d.writable) {
            for (const auto& ix : d.indexes) {
                ix->refresh();
                stale = stale || !d.faultsOf(*ix, all, d.count).empty();
            }
        }
    }
    if (stale) {
        // Another program changed records and left the index as it was (a customer renamed in
        // place keeps the count): the index is built again from the table, under the exclusive
        // lock, after a second look there.
        ByteLock lock(d.dbf, dbf::kHeaderLock, File::LockType::Write);
        d.refreshCount();
        all = d.readAll(d.count);
        bool rebuilt = false;
        for (const auto& ix : d.indexes) {
            ix->refresh();
            const std::vector<std::string> faults = d.faultsOf(*ix, all, d.count);
            if (faults.empty()) {
                continue;
            }
            ix->rebuild(d.count, d.sourceOf(all, d.count));
            ix->flush();
            rebuilt = true;
            d.notices.push_back("The index file " + ix->path().string() + " did not match the table " + d.name + " (" +
                                faults.front() + "); it has been rebuilt from the table. No record was lost.");
        }
        if (rebuilt) {
            d.raiseChangeMark();
        }
        d.invalidateWindow();
        if (d.state == Impl::State::Browse && !d.eof && d.recno >= 1 && d.recno <= d.count) {
            d.cur = d.recordPtr(d.recno, Direction::Single);
        }
        d.locateInIndex();
    }
    return Impl::liveIn(all, d.count, d.R());
}

// ---- text export ------------------------------------------------------------------------------

void TDbfTable::copyToText(const fs::path& file, int format) const {
    Impl& d = *impl_;
    d.requireOpen();
    if (format != 21) {
        throw ETableError("Cannot copy the table " + d.name + " to text: format " + std::to_string(format) +
                          " is not supported (only 21, comma-delimited).");
    }
    IndexFile* ix = d.controlling();
    std::uint32_t n = 0;
    std::string all;
    {
        // A consistent picture: no process appends or updates indexes while the records are read.
        ByteLock lock;
        d.lockForReading(lock);
        d.refreshCount();
        if (ix != nullptr && d.shared()) {
            ix->refresh();
        }
        n = d.count;
        all = d.readAll(n);
    }
    const std::size_t r = d.R();
    // A memo is exported whole, up to a bound far past anything the windows store; one longer is
    // refused rather than cut without a word.
    const text_export::MemoText memoText = [&d, &all, r](const FieldDef& f, const char* rec) {
        bool cut = false;
        std::string bytes = d.memoBytes(f, rec, 0, kExportMemoLimit, &cut);
        if (cut) {
            const auto recno = static_cast<std::uint32_t>((rec - all.data()) / static_cast<std::ptrdiff_t>(r) + 1);
            throw ETableError("Cannot copy the table " + d.name + " to text: the memo " + f.name + " of record " +
                              std::to_string(recno) + " holds more than " + std::to_string(kExportMemoLimit >> 20) +
                              " MiB, more than the program reads. Nothing was written.");
        }
        return bytes;
    };
    text_export::AtomicFile out(file);
    std::string buffer;
    buffer.reserve(1 << 20);
    const auto emit = [&](std::uint32_t k) {
        text_export::appendLine(buffer, d.hdr.fields, all.data() + static_cast<std::size_t>(k - 1) * r, d.cp, memoText);
        if (buffer.size() >= (1u << 20)) {
            out.write(buffer);
            buffer.clear();
        }
    };
    if (ix != nullptr) {
        for (std::size_t i = 0; i < ix->size(); ++i) {
            const std::uint32_t k = ix->at(i).recno;
            if (k >= 1 && k <= n) {
                emit(k);
            }
        }
    } else {
        for (std::uint32_t k = 1; k <= n; ++k) {
            emit(k);
        }
    }
    out.write(buffer);
    out.commit();
}

} // namespace arrowsel::data
