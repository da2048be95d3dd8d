// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/dbf_table.h"
#include "records/book_replace.h"
#include "records/customer_book.h"

#include <filesystem>
#include <string>
#include <vector>

namespace arrowsel::records {

// How a FileBook opens its tables and what watches its files: the program passes the defaults.
struct FileBookOptions {
    // For every table the book opens or makes (its probe also sees the making of new files).
    data::TDbfTable::Settings table;
    // Sees each step of replacing the book's files and of completing a replacement left behind.
    ReplaceProbe replace;
};

// The customer book kept in the data folder: "Saveddb.dbf" with its memo file, in the order of
// "Saved.idx", opened shared so that several counters may use one folder. An update locks the
// record, reads it again and compares it with what was read before: a record another counter
// changed meanwhile is not overwritten unless the caller says so.
class FileBook : public CustomerBook {
public:
    // Opens the folder's table and its name index on the first record in name order. A missing
    // index is built from the table (and takeNotices() says so); an index or other file of the
    // book that cannot be written opens the book read-only, which takeNotices() says too.
    explicit FileBook(std::filesystem::path dataFolder, FileBookOptions options = {});
    ~FileBook() override;
    FileBook(const FileBook&) = delete;
    FileBook& operator=(const FileBook&) = delete;
    FileBook(FileBook&&) = delete;
    FileBook& operator=(FileBook&&) = delete;

    // Makes an empty book in `dataFolder` (table, memo file and name index) with `fields`,
    // replacing one that is there only when `overwrite`.
    static void create(const std::filesystem::path& dataFolder, const std::vector<SetupField>& fields,
                       bool overwrite = false);

    std::string where() const override;
    data::CodePage codePage() const override;
    const std::vector<SetupField>& fields() const override;
    // Reads every record once; the same read checks the name index against the records and
    // rebuilds it when another program changed a record without it.
    std::uint32_t count() override;
    void first() override;
    void last() override;
    void next() override;
    void prior() override;
    bool eof() const override;
    bool bof() const override;
    bool seek(std::string_view prefix) override;
    const SavedRecord& current() const override;
    void update(const std::vector<FieldValue>& values, bool overwrite = false) override;
    void append(const std::vector<FieldValue>& values) override;
    // Record order, deleted records left out.
    std::vector<BookRecord> allRecords() override;
    // Into a book that holds records (not replacing): one post each. Otherwise the new table,
    // memo file and index are written beside the old ones and then take their names as one change
    // (book_replace.h), so the book is either the old one or the new one whole, also after a kill;
    // the old files, when they held records, are kept in a folder of their own that notices name.
    // Replacing needs the book to be closed on every other counter.
    void appendAll(const std::vector<BookRecord>& records, bool replace) override;
    void exportText(const std::filesystem::path& file) override;
    std::vector<std::string> takeNotices() override;
    // Rebuilds "Saved.idx" from the table under the header lock.
    void rebuildIndex() override;

private:
    static void createFiles(const std::filesystem::path& dataFolder,
                            const std::vector<data::TDbfTable::FieldSpec>& fields, bool overwrite,
                            const data::TDbfTable::Settings& settings);
    // Takes a copy of the current record, the one the caller reads and an update compares with.
    void readCurrent();
    // The record the table stands on, as it is stored now.
    SavedRecord readRecord() const;
    void storeInto(const std::vector<FieldValue>& values);
    void replaceFiles(const std::vector<BookRecord>& records, bool keepOld);
    void removeStaleStaging() const;
    // Opens the table and its name index on the first record in name order.
    void reopen();
    // From the current record on (or back), to the first record not marked deleted.
    void skipDeletedForward();
    void skipDeletedBack();
    // Back from the current record over deleted ones; false when only deleted ones lie before.
    bool backOverDeleted();

    std::filesystem::path folder_;
    FileBookOptions options_;
    data::TDbfTable table_;
    std::vector<SetupField> fields_;
    std::vector<data::TDbfTable::FieldSpec> fileFields_; // as the table declares them, for a replacement
    SavedRecord read_;                                   // the current record as last read
    bool readDeleted_ = false;
    bool atFirst_ = false;   // prior() found no live record before the current one
    std::string unreadable_; // why the current record could not be read
    std::vector<std::string> notices_;
};

} // namespace arrowsel::records
