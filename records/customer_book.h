// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/codepage.h"
#include "records/saved_setup.h"
#include "records/setup_field.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace arrowsel::records {

// A failure of the book. The message is shown to the user as it is: it names what failed (the
// file and folder, or the server and database) and what to do.
class EBookError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The book's server could not be reached, or the connection to it broke: nothing about the book
// itself is known. Trying again later, or mending the address or the network, may help.
class EBookUnreachable : public EBookError {
public:
    using EBookError::EBookError;
};

// update() found that another counter changed the record since this one read it. Nothing was
// written, and the book has read the record again: fieldText now gives what is stored, so the
// caller can show it (the user chose to reload) or call update() again (the user chose to
// overwrite the other counter's change).
class ERecordChangedElsewhere : public EBookError {
public:
    using EBookError::EBookError;
};

// The order the book keeps (the files' name index) no longer matches the records: another program
// changed a record and left the index as it was. rebuildIndex() mends it.
class EStaleIndex : public EBookError {
public:
    using EBookError::EBookError;
};

// One record as a book gives it whole: every field of the book, in order.
using BookRecord = std::vector<FieldValue>;

// The saved setups in name order, wherever they are kept: the files of the data folder or a
// shared database. One current record, as the lookup shows it: each move gives the record it lands
// on whole (a page of one record: every move asks the book again, so that it sees what other
// counters stored before it began). Texts are UTF-8 as storedText gives them.
//
// Every failure throws EBookError (or ERecordChangedElsewhere); a book that threw stays usable and
// keeps its current record where it was.
class CustomerBook {
public:
    CustomerBook() = default;
    CustomerBook(const CustomerBook&) = delete;
    CustomerBook& operator=(const CustomerBook&) = delete;
    CustomerBook(CustomerBook&&) = delete;
    CustomerBook& operator=(CustomerBook&&) = delete;
    virtual ~CustomerBook() = default;

    // For messages: "the customer files in <folder>", or the server and database.
    virtual std::string where() const = 0;
    virtual data::CodePage codePage() const = 0;
    // The fields of a saved setup, in the book's order; what each holds and how much.
    virtual const std::vector<SetupField>& fields() const = 0;
    // Records not deleted.
    virtual std::uint32_t count() = 0;

    // Moves in name order: NAME's bytes in the code page, ties in the order the records were
    // added. next() past the last record is eof(); prior() on the first stays there and sets
    // bof(); prior() at the end goes to the last record. Each move sees what other counters
    // stored before it began.
    virtual void first() = 0;
    virtual void last() = 0;
    virtual void next() = 0;
    virtual void prior() = 0;
    virtual bool eof() const = 0;
    virtual bool bof() const = 0;

    // The first record in name order whose NAME begins with `prefix` (as typed, case as
    // written): true and that record current. A miss gives false and leaves the book on the last
    // record in name order (at the end when the book is empty), as a seek in the index does.
    virtual bool seek(std::string_view prefix) = 0;

    // The current record as the last move, seek, update or append read it; empty at the end.
    // A record that could not be read (a damaged memo) throws why until the book moves on.
    virtual const SavedRecord& current() const = 0;
    // A field of the current record (empty at the end); an unknown field name throws EBookError.
    std::string fieldText(std::string_view field) const;
    bool textCut(std::string_view field) const { return current().textCut(field); }

    // Writes `values` (other fields keep theirs) into the current record as one change: either
    // all of it is stored or none of it. Throws ERecordChangedElsewhere when another counter
    // changed the record since it was read, unless `overwrite` (the user said so); EBookError
    // when it cannot be stored (a text too long for its field or outside the code page among
    // them). The record is then read again.
    virtual void update(const std::vector<FieldValue>& values, bool overwrite = false) = 0;
    // Adds a record of `values` (other fields blank); it becomes the current record.
    virtual void append(const std::vector<FieldValue>& values) = 0;

    // For moving a book: every record not deleted, in the order added, each with every field as
    // fieldText gives it. A book that keeps no order of adding of its own may give
    // them in name order (this default does so through the moves).
    virtual std::vector<BookRecord> allRecords();
    // Adds `records` in their order; with `replace`, the records held are removed first. A book
    // that can makes this one change (all of it or none); this default adds them one by one and
    // refuses to replace records.
    virtual void appendAll(const std::vector<BookRecord>& records, bool replace);

    // The comma-delimited text export in the code page, in record order (the order added), written
    // under a temporary name and renamed when complete. The files write what the table holds, as
    // the classic export does; a book without deleted records exports the same bytes from either
    // kind of book.
    virtual void exportText(const std::filesystem::path& file) = 0;

    // Repairs made while opening or reading (a rebuilt index), one sentence each for the user;
    // the list is emptied.
    virtual std::vector<std::string> takeNotices() = 0;

    // Builds the book's order again from its records (the files' name index), after EStaleIndex;
    // the book stays on its record and takeNotices() says what was done. A book that keeps its
    // order itself (the server) has nothing to rebuild and says so with EBookError.
    virtual void rebuildIndex();

    // A way to ask, from any thread, that the statement the book waits for be given up (the call
    // returns at once; the waiting operation then throws EBookError). It keeps alive what it
    // needs, so it may outlive the book. Empty for a book whose waits cannot be cut short.
    virtual std::function<void()> canceller() { return {}; }
};

// The settings file of a data folder, and the line that names a shared book.
inline constexpr const char* kSettingsFile = "arrowsel.ini";

// The book the data folder's settings name (`[customers]` section, `book=postgresql://...`); the
// files in the folder when the settings file or that line is missing. A settings file that cannot
// be read, or whose line is malformed, throws EBookError naming the file and the line.
std::unique_ptr<CustomerBook> openCustomerBook(const std::filesystem::path& dataFolder);

// `address`: a `postgresql://` (or `postgres://`) address, or a data folder whose files are the
// book (its settings file is not read).
std::unique_ptr<CustomerBook> openCustomerBookAt(std::string_view address);

// True for an address that names a database server rather than a folder.
bool isServerAddress(std::string_view address);

// The database book; defined by the PostgreSQL book. `address` is a `postgresql://` address.
std::unique_ptr<CustomerBook> openServerBook(std::string_view address);
// "the PostgreSQL server HOST:PORT, database NAME" for a server's address, before it is opened.
std::string serverBookWhere(std::string_view address);
// Creates the database book's table at `address`, or brings it up to this program's schema
// (forward only; again, it changes nothing); for the database's owner. Returns a line for the user
// saying what it did.
std::string initServerBook(std::string_view address);

} // namespace arrowsel::records
