#pragma once

#include "data/codepage.h"
#include "data/field.h"
#include "data/index_file.h"

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
// Read: versions 0x03, 0x83, 0xF5, 0x30 and 0x31. Written by create(): 0xF5 with an .fpt when a
// memo field is present, else 0x03.
//
// Shared use: record edits lock one byte at 0x7FFFFFFE - recno and appends lock the header byte at
// 0x7FFFFFFE (open-file-description locks), so several processes may edit and append at once.
// A posted record is flushed to disk before post() returns. A header whose record count disagrees
// with the file's size (a process killed while appending) is repaired on open: the count becomes
// the number of whole records present.
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

    TDbfTable();
    ~TDbfTable();
    TDbfTable(const TDbfTable&) = delete;
    TDbfTable& operator=(const TDbfTable&) = delete;

    // Creates an empty table (and its .fpt when a field is a memo). Fails if the file exists
    // unless `overwrite`. Field types C, N, F, D, L, I, M; I makes a Visual FoxPro (0x30) table.
    static void create(const std::filesystem::path& path, const std::vector<FieldSpec>& fields,
                       CodePage cp = CodePage::Windows1252, bool overwrite = false);

    // Opens the table on its first record. A name without an extension gets ".DBF"; the file
    // name is matched without regard to letter case within its folder. Opening an open table
    // does nothing.
    void open(const std::filesystem::path& path, OpenMode mode = OpenMode::Shared);
    void close();  // releases the table, its memo file and its indexes
    bool isOpen() const;
    OpenMode mode() const;
    const std::filesystem::path& path() const;  // the file actually opened
    std::uint8_t version() const;
    CodePage codePage() const;
    const std::vector<FieldDef>& fields() const;
    const FieldDef* fieldDef(std::string_view name) const;  // case-insensitive; null if none

    // Indexes. Names without a folder are taken in the table's folder, matched without regard to
    // letter case. The index opened last is the controlling order; every open index is kept up to
    // date when records are appended or changed.
    void openIndexFile(const std::filesystem::path& name);
    void createIndex(const std::filesystem::path& name, std::string_view expression,
                     IndexKind kind = IndexKind::Compact);
    void closeIndexes();
    bool hasControllingIndex() const;
    void reindex();

    // Positioning. Record numbers are 1-based; recNo() is recordCount() + 1 at the end.
    // seek: the first key in index order that begins with `key` (UTF-8 text); true and the table
    // on that record when found; false and the table on its last record in index order when not
    // (the end when the index is empty); false and no move when no index is open.
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
    // logicals "T", "F" or empty; integers in decimal; memos their whole text. A closed table, or
    // a position past the end, gives the empty text (and 0 for numbers).
    std::string fieldText(std::string_view name) const;
    double fieldFloat(std::string_view name) const;
    std::int64_t fieldInteger(std::string_view name) const;
    std::string fieldBlob(std::string_view name) const;  // raw bytes of a B, G or P field or a memo
    bool isDeleted() const;

    // Changing records. edit() locks the current record ("Record Lock Failure. May be locked by
    // another user or task." when it cannot); insert() starts a blank new record; setFieldText
    // writes into the record being edited (refused with an ETableError when the text does not fit
    // the field or its code page); post() writes it, updates the indexes, flushes and releases
    // the lock; cancel() drops the changes.
    void edit();
    void insert();
    void setFieldText(std::string_view name, std::string_view text);
    void post();
    void cancel();
    bool isEditing() const;

    // Copies the whole table into a text file. Format 21: comma-delimited, one CR LF line per
    // record, character and memo fields in double quotes (inner quotes doubled, trailing blanks
    // dropped), numbers without blanks, dates YYYYMMDD, logicals T or F, no header line; UTF-8.
    // The file is written under a temporary name and renamed when complete.
    void copyToText(const std::filesystem::path& file, int format = 21) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace arrowsel::data
