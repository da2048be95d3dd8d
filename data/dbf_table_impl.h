// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The state of an open TDbfTable, shared by the files that each do one of its jobs: opening and
// the record count (dbf_open.cpp), positioning and reading (dbf_table.cpp), what is kept of the
// records read (dbf_record_cache.cpp), when that may be trusted in a shared open
// (dbf_freshness.cpp), indexes (dbf_table_indexes.cpp), editing (dbf_edit.cpp), the post
// transaction with its take-back (dbf_post.cpp), creation (dbf_create.cpp) and the text export
// (dbf_copy_to_text.cpp). The contract is the class comment in dbf_table.h. open() builds a whole
// new Impl and moves it in, close() puts back a blank one keeping only the settings, so every
// member starts as declared here. Not for use outside the table.

#include "data/dbf_freshness.h"
#include "data/dbf_header.h"
#include "data/dbf_post.h"
#include "data/dbf_record_cache.h"
#include "data/dbf_table.h"
#include "data/file_io.h"
#include "data/memo_file.h"
#include "data/table_error.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace arrowsel::data {
namespace fs = std::filesystem;

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
    const char* cur = nullptr; // into the cache, or the edit buffer

    DbfRecordCache cache;
    HeaderCheck headCheck; // a shared open: the header as last checked, and when

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

    // A read-only open reads the table as it stood when opened: this process writes nothing, and
    // the tables opened so (charts, specifications) change only by a maker's update. Reads then
    // need no re-checks of the header, the indexes or records already read.
    bool snapshot() const { return mode == OpenMode::ReadOnly; }

    const char* current() const {
        if (state != State::Browse) {
            return editBuf.data();
        }
        return eof ? nullptr : cur;
    }

    void autoPost(TDbfTable& table) {
        if (state != State::Browse) {
            table.post();
        }
    }

    // ---- opening and the record count (dbf_open.cpp) ---------------------------------------

    static fs::path memoPathFor(const fs::path& table, const char* extUpper);
    static std::string unwritable(int err);
    void openMemo(OpenMode openMode);
    void readOnlyBecause(std::string why);
    std::uint32_t headerCount() const;
    std::uint64_t wholeBySize() const;
    std::uint64_t liveExtent(std::uint64_t from, std::uint64_t whole) const;
    std::uint32_t countFromFile(std::uint32_t hc) const;
    std::string lengthFault(std::uint32_t hc) const;
    void checkLength();
    void repairCount();

    // ---- freshness of a shared open (dbf_freshness.cpp) ------------------------------------

    void lockForReading(ByteLock& lock);
    void refreshCount();
    void refreshCountFrom(std::uint32_t hc);
    void invalidateWindow();
    void dropCached();
    void checkFresh(bool always);
    void raiseChangeMark();
    void moveCheck();

    // ---- reading records through the cache (dbf_record_cache.cpp) --------------------------

    const char* recordPtr(std::uint32_t n, Direction dir);
    std::uint32_t spanAhead(std::uint32_t n) const;

    // ---- positioning and fields (dbf_table.cpp) --------------------------------------------

    void standAtEnd(TDbfTable& table, bool atLast);
    bool standAfterSeek(const IndexFile& ix, std::size_t pos, bool& stale);
    std::string keyText(const IndexFile& ix, const std::string& key) const;
    [[noreturn]] void failStale(const IndexFile& ix) const;
    bool seekKey(const std::optional<std::string>& key);
    void setEof();
    void setEmpty();
    void onRecord(std::uint32_t n, Direction dir);
    static std::string upperAscii(std::string_view text);
    void indexFieldNames();
    std::optional<std::size_t> findField(std::string_view fieldName) const;
    std::size_t fieldIndex(std::string_view fieldName) const;
    const FieldDef& readableField(std::string_view fieldName) const;
    std::string memoBytes(const FieldDef& f, const char* record, std::uint32_t n,
                          std::size_t limit = MemoFile::kReadLimit, bool* cut = nullptr) const;

    // ---- indexes (dbf_table_indexes.cpp) ---------------------------------------------------

    void locateInIndex();
    std::string readAll(std::uint32_t n) const;
    RecordSource sourceOf(const std::string& all, std::uint32_t n) const;
    fs::path indexPathFor(const fs::path& indexName) const;
    bool indexAgrees(const IndexFile& ix) const;
    std::unique_ptr<IndexFile> buildInPlace(const fs::path& file, std::string_view ownExpression, bool wasLink);
    std::vector<std::string> faultsOf(const IndexFile& ix, const std::string& all, std::uint32_t n) const;
    static std::uint32_t liveIn(const std::string& all, std::uint32_t n, std::size_t r);
    std::unique_ptr<IndexFile> rebuildDamaged(const fs::path& file, std::string_view ownExpression,
                                              const EIndexDamaged& damage);

    // ---- the post transaction (dbf_post.cpp) and the record lock (dbf_edit.cpp) ------------

    std::uint32_t appendNumber();
    bool writePendingMemos(std::string& record);
    void writeRecord(const std::string& record, std::uint32_t n, std::uint32_t newCount, bool inserting);
    void updateIndexes(const std::string& record, std::uint32_t n, bool inserting);
    void syncAll(bool memoWritten);
    PostUndo undoFor(std::uint32_t n, bool inserting) const;
    void takeBack(const PostUndo& u, const std::string& record, const std::exception& cause);
    void releaseRecordLock();
};

} // namespace arrowsel::data
