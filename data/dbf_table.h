// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/codepage.h"
#include "data/field.h"
#include "data/index_file.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace arrowsel::data {

// A FoxPro-type table (.dbf) with its memo file (.fpt) and single-order indexes (.idx).
//
// File layout: a 32-byte header (version byte, last update, record count, header length, record
// length, code page mark at 29), one 32-byte descriptor per field, 0x0D, and for Visual FoxPro
// tables (0x30, 0x31) a 263-byte backlink; then fixed-length records, each a deletion flag
// ("*" deleted, blank live) followed by the fields in order; an optional 0x1A at the end.
// Read: versions 0x03, 0x83 (memo in a dBASE III .dbt), 0xF5, 0x30, 0x31 and 0x32; field types C,
// N, F, D, L, I, M, and B, G, P as blobs (B of width 8 as a Visual FoxPro double); other type
// letters are kept, and reading such a field as text or number is refused (it would read as empty). Written by
// create(): 0xF5 with an .fpt when a memo field is present, else 0x03; 0x30 when a field is an I. Every length and
// pointer in a file is checked: a damaged file gives an ETableError naming the file and what is wrong, never a crash.
//
// Shared use: record edits lock one byte at 0x7FFFFFFE - recno and appends lock the header byte at
// 0x7FFFFFFE (open-file-description locks), so several processes may edit and append at once;
// the byte 0x7FFFFFFF is read-locked by every shared and read-only open and write-locked by an
// exclusive one.
//
// Freshness of a shared open. Every post(), reindex and index rebuild of this program raises a
// change mark in the header's reserved bytes 24-27 (other programs leave them alone) in the same
// hold of the header lock as its record, count and index writes. seek, go, first and last read
// the 32-byte header (one read) and compare it with the one last checked: when it is the same, the
// records and index keys already read are used as they are; when it differs, the records are
// dropped, and the count and the controlling index are read again under the header lock: of a
// plain index only the blocks that our writers list as changed since (see IndexFile), the whole
// index when another program wrote it since or its keys do not come out one per record. next and
// prior move on through what was read (records read ahead: up to 64 KB in record order; in index
// order, up to the farthest of the next 16 entries' records that lie within 16 records after the
// current one; and about 1 MB of records read one by one) without looking at the files. What is read is
// trusted for 250 ms at most: after that the next call of any of the six reads afresh.
// Guaranteed: every change this program made (any process, any open) and every append by any
// program (the count changes) that was complete before a seek, go, first or last began is seen by
// it; next and prior see it 250 ms after their last check at the latest. Not guaranteed: a record
// or index change by another xBase program that leaves the header's first 32 bytes as they were
// (an edit made in place) is seen only once the 250 ms have run out; a record locked with edit()
// is always read afresh.
// The folder is not trusted. A shared open of a table whose file, memo file or index cannot be
// written (its mode, a read-only disk, or a symbolic link, which is never written through) opens
// it read-only and notices() says which file and why; saving then says so too. An index that is
// missing, or is a link, on a writable table opened with the program's own key expression is
// built from the table under the header lock (a new file, named once whole; a link is replaced,
// what it points at left untouched). New tables and memo files are made whole under a temporary
// name and then named (see NewFile).
//
// A read-only open reads the table and its indexes as they stood when opened (the charts and the
// shaft specifications, which nothing writes while the program runs), without re-checking them.
// post() holds the header lock while it writes new memo blocks, the record (an append also a
// fresh 0x1A), the header's count and date and every open index (each refreshed first), and
// flushes them all (fdatasync) before it returns. A header whose record count disagrees with the
// file's size (a process killed while appending) is repaired on open, under the header lock: the
// count becomes the number of whole records present (on disk, holding the lock for writing; in
// memory when read-only). A group of index writes a killed writer left in an index's journal is
// written into the index only under the header lock held for writing, by whichever open reads
// the index next (a reader takes the write lock for it, then goes back to reading). An
// index opened on a writable table that does not parse, or whose keys disagree with the records
// (a plain index holds one key per record; no index names a record past the count), is rebuilt
// from the table under the header lock, and notices() says so when the file was damaged. A post()
// that fails after writing the record takes it back: the table and its indexes stay as they were,
// so that trying again stores the record once.
//
// Text is UTF-8 on this interface and converted from and to the table's code page; a character
// the code page cannot hold is refused with an ETableError that names the field.
class TDbfTable {
public:
    enum class OpenMode { Shared = 0, ReadOnly = 1, Exclusive = 2 };

    // A field of a table to create; offsets are computed.
    struct FieldSpec {
        std::string name;
        FieldType type;
        int width;
        int decimals = 0;
    };

    // How an open reads and what watches it; given before open() and kept across reopening.
    struct Settings {
        // How long a shared open trusts what it read while the table's header stays as it was:
        // the bound on how late it sees a change by a program that does not raise this engine's
        // change mark; short beside a person's pace, long beside a burst of seeks.
        std::chrono::milliseconds trustUnchanged{250};
        // Watches the input and output of the table, its memo file and its indexes (see IoProbe).
        IoProbe* probe = nullptr;
    };

    TDbfTable();
    explicit TDbfTable(const Settings& settings);
    ~TDbfTable();
    TDbfTable(const TDbfTable&) = delete;
    TDbfTable& operator=(const TDbfTable&) = delete;

    // Creates an empty table (and its .fpt, 64-byte blocks, when a field is a memo). Fails if the
    // file exists (in any letter case) unless `overwrite`. Names as for open(). Field types C
    // (1-254), N and F (1-20), D, L, I, M (width 0 takes the type's own); I makes a Visual FoxPro
    // (0x30) table with 4-byte memo pointers and the 263-byte backlink. `probe` watches the
    // making of its files (see IoProbe).
    static void create(const std::filesystem::path& path, const std::vector<FieldSpec>& specs,
                       CodePage cp = CodePage::Windows1252, bool overwrite = false, IoProbe* probe = nullptr);

    // Opens the table on its first record. A name without an extension gets ".DBF"; the file
    // name is matched without regard to letter case within its folder. Opening an open table
    // does nothing. A shared open of a file this process may not write opens it read-only.
    // Missing file: "Table does not exist.\rFile or directory does not exist.\rFile: " + path;
    // a file that cannot be opened, or is held exclusively: "Unable to open table.\rFile: " + path.
    void open(const std::filesystem::path& path, OpenMode mode = OpenMode::Shared);
    void close(); // releases the table, its memo file and its indexes; drops unposted changes
    bool isOpen() const;
    OpenMode mode() const;
    const std::filesystem::path& path() const; // the file actually opened
    std::uint8_t version() const;
    CodePage codePage() const;
    const std::vector<FieldDef>& fields() const;
    const FieldDef* fieldDef(std::string_view name) const; // case-insensitive; null if none

    // Indexes. Names without a folder are taken in the table's folder, matched without regard to
    // letter case. The index opened last is the controlling order; every open index is kept up to
    // date when records are appended or changed.
    // `ownExpression` is the key expression the program itself builds this index on: a damaged
    // index whose header no longer says it is rebuilt on that one (compact). Without it such an
    // index cannot be opened.
    void openIndexFile(const std::filesystem::path& name, std::string_view ownExpression = {});
    void createIndex(const std::filesystem::path& name, std::string_view expression,
                     IndexKind kind = IndexKind::Compact);
    void closeIndexes();
    bool hasControllingIndex() const;
    void reindex();

    // Repairs done since the last call, one sentence each for the user (which file, what was
    // wrong, what was done); the list is emptied.
    std::vector<std::string> takeNotices();

    // Positioning. Record numbers are 1-based; recNo() is recordCount() + 1 at the end. next() on
    // the last record goes to the end (eof); prior() on the first sets bof and stays there;
    // prior() at the end goes to the last record; go() to a record that does not exist throws.
    // Any positioning while a record is being edited or inserted posts it first.
    // seek: the first key in index order that begins with `key` (UTF-8 text); true and the table
    // on that record when found; false and the table on its last record in index order when not
    // (the end when the index is empty); false and no move when no index is open. A record that
    // does not carry the key its index entry says (an index older than the table) throws an
    // EIndexStale naming both files and asking for the index to be rebuilt.
    bool seek(std::string_view key);
    bool seekNumber(double key);
    void go(std::uint32_t recno);
    void first();
    void last();
    void next();
    void prior();
    bool eof() const;
    bool bof() const;
    std::uint32_t recNo() const;
    std::uint32_t recordCount() const;

    // Reading the current record. Texts are UTF-8. A character field comes padded with blanks to
    // its width; numbers as their stored text without blanks; dates "YYYYMMDD" (blank: empty);
    // logicals "T", "F" or empty; integers in decimal; memos their text up to MemoFile::kReadLimit
    // bytes (memoText says whether there was more). A closed table, or
    // a position past the end, gives the empty text (and 0 for numbers). fieldFloat reads N, F,
    // I and B as numbers, and a character field holding a number (blank: 0; anything else throws);
    // fieldInteger rounds it. An unknown field name throws.
    std::string fieldText(std::string_view name) const;
    double fieldFloat(std::string_view name) const;
    std::int64_t fieldInteger(std::string_view name) const;
    std::string fieldBlob(std::string_view name) const; // raw bytes of a B, G or P field or a memo
    // A memo field's text as fieldText gives it, read up to `limit` bytes, and whether the memo
    // holds more (a .dbt memo without its end mark is read only that far).
    struct MemoText {
        std::string text;
        bool cut = false;
    };
    MemoText memoText(std::string_view name, std::size_t limit = std::size_t{1} << 20) const;
    bool isDeleted() const;

    // Changing records. edit() locks the current record ("Record Lock Failure. May be locked by
    // another user or task." when it cannot); insert() starts a blank new record; setFieldText
    // writes into the record being edited (refused with an ETableError when the text does not fit
    // the field or its code page); post() writes it, updates the indexes, flushes and releases
    // the lock; cancel() drops the changes. edit() retries the lock for about half a second and
    // re-reads the record once it holds it. Memos are always written to new blocks.
    void edit();
    void insert();
    void setFieldText(std::string_view name, std::string_view text);
    void post();
    void cancel();
    bool isEditing() const;

    // Compares the controlling index with the table, reading every record: one sentence per kind
    // of fault (a plain index with another number of keys than records, entries naming records
    // the table lacks, records whose key is not the one their entry holds); empty when they agree.
    std::vector<std::string> indexFaults() const;
    // The records not deleted, counted in one read of every record under the header lock. A
    // writable table checks every open index against the same records as indexFaults() does and
    // rebuilds one that disagrees (another program renamed a customer in place) under the header
    // lock for writing; notices() says so.
    std::uint32_t liveRecordCount();

    // Copies the whole table into a text file. Format 21: comma-delimited, one CR LF line per
    // record, character and memo fields in double quotes (inner quotes doubled, trailing blanks
    // dropped), numbers without blanks, dates YYYYMMDD, logicals T or F, no header line; text in
    // the table's own code page, as stored. Records in the controlling order (record order without
    // an index), deleted ones included. The file is written under a temporary name and renamed
    // when complete (a symbolic link is followed; an existing file's mode is kept, a new file's
    // follows the umask); on failure an ETableError names the file and the old file is left as it
    // was. A memo is written whole; one of more than 64 MiB is refused, naming its record.
    void copyToText(const std::filesystem::path& file, int format = 21) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace arrowsel::data
