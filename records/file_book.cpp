// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/file_book.h"

#include "data/file_io.h"
#include "data/table_error.h"
#include "data/text.h"
#include "records/book_replace.h"
#include "records/file_fields.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <unistd.h>
#include <utility>

namespace arrowsel::records {

namespace fs = std::filesystem;

namespace {

// The table engine's sentences already name the file and say what is wrong; the book only gives
// them the type the windows catch.
template <typename F> auto guarded(F&& work) {
    try {
        return std::forward<F>(work)();
    } catch (const data::EIndexStale& e) {
        throw EStaleIndex(e.what());
    } catch (const data::ETableError& e) {
        throw EBookError(e.what());
    }
}

} // namespace

FileBook::FileBook(fs::path dataFolder, FileBookOptions options)
    : folder_(std::move(dataFolder)), options_(std::move(options)), table_(options_.table) {
    reopen();
    for (const data::FieldDef& f : table_.fields()) {
        fields_.push_back(setupFieldOf(f));
        fileFields_.push_back({f.name, f.type, f.width, f.decimals});
    }
}

FileBook::~FileBook() = default;

void FileBook::create(const fs::path& dataFolder, const std::vector<SetupField>& fields, bool overwrite) {
    std::vector<data::TDbfTable::FieldSpec> specs;
    specs.reserve(fields.size());
    for (const SetupField& f : fields) {
        specs.push_back(fileFieldSpec(f));
    }
    createFiles(dataFolder, specs, overwrite, {});
}

void FileBook::createFiles(const fs::path& dataFolder, const std::vector<data::TDbfTable::FieldSpec>& fields,
                           bool overwrite, const data::TDbfTable::Settings& settings) {
    guarded([&] {
        const fs::path file = dataFolder / kSavedTable;
        data::TDbfTable::create(file, fields, data::CodePage::Windows1252, overwrite, settings.probe);
        data::TDbfTable t(settings);
        t.open(file, data::TDbfTable::OpenMode::Exclusive);
        t.createIndex(dataFolder / kSavedIndex, kSavedIndexExpression, data::IndexKind::Compact);
    });
}

std::string FileBook::where() const {
    return "the customer files in " + folder_.string();
}

data::CodePage FileBook::codePage() const {
    return table_.codePage();
}

const std::vector<SetupField>& FileBook::fields() const {
    return fields_;
}

std::uint32_t FileBook::count() {
    // The lookup's position is not disturbed: the count reads the records beside it.
    return guarded([this] { return table_.liveRecordCount(); });
}

// The lookup passes over records marked deleted, as count() leaves them out: the moves land on
// live records only, and a book whose records are all deleted stands at the end.
void FileBook::skipDeletedForward() {
    while (!table_.eof() && table_.isDeleted()) {
        table_.next();
    }
}

bool FileBook::backOverDeleted() {
    while (!table_.eof() && !table_.bof() && table_.isDeleted()) {
        table_.prior();
    }
    return table_.eof() || !table_.isDeleted();
}

void FileBook::skipDeletedBack() {
    if (!backOverDeleted()) {
        // Only deleted records before this point: the book has no live record at all here.
        skipDeletedForward();
    }
}

void FileBook::first() {
    guarded([this] {
        atFirst_ = false;
        table_.first();
        skipDeletedForward();
    });
    readCurrent();
}

void FileBook::last() {
    guarded([this] {
        atFirst_ = false;
        table_.last();
        skipDeletedBack();
    });
    readCurrent();
}

void FileBook::next() {
    guarded([this] {
        atFirst_ = false;
        table_.next();
        skipDeletedForward();
    });
    readCurrent();
}

void FileBook::prior() {
    guarded([this] {
        atFirst_ = false;
        const bool fromEnd = table_.eof();
        const std::uint32_t from = table_.recNo();
        table_.prior();
        if (!backOverDeleted()) {
            // No live record before the one we stood on: stay there, at the beginning.
            if (fromEnd) {
                skipDeletedForward();
            } else {
                table_.go(from);
            }
            atFirst_ = true;
        }
    });
    readCurrent();
}

bool FileBook::eof() const {
    return table_.eof();
}

bool FileBook::bof() const {
    return atFirst_ || table_.bof();
}

bool FileBook::seek(std::string_view prefix) {
    const bool found = guarded([this, prefix] {
        atFirst_ = false;
        bool hit = table_.seek(prefix);
        if (hit && table_.isDeleted()) {
            // Names that begin with the prefix stand together in name order: the first live one
            // among them, if any, is the one sought.
            skipDeletedForward();
            hit = !table_.eof() && table_.fieldText(kSavedIndexExpression).starts_with(prefix);
            if (!hit) {
                table_.last();
            }
        }
        if (!hit) {
            skipDeletedBack();
        }
        return hit;
    });
    readCurrent();
    return found;
}

SavedRecord FileBook::readRecord() const {
    SavedRecord record;
    if (table_.eof()) {
        return record;
    }
    for (const data::FieldDef& f : table_.fields()) {
        if (f.type == data::FieldType::Memo) {
            data::TDbfTable::MemoText memo = table_.memoText(f.name);
            if (memo.cut) {
                record.cut.insert(f.name);
            }
            record.fields.push_back({f.name, std::move(memo.text)});
        } else {
            record.fields.push_back({f.name, table_.fieldText(f.name)});
        }
    }
    return record;
}

void FileBook::readCurrent() {
    read_ = {};
    unreadable_.clear();
    readDeleted_ = false;
    try {
        read_ = readRecord();
        readDeleted_ = !table_.eof() && table_.isDeleted();
    } catch (const data::ETableError& e) {
        // A record that cannot be read (a damaged memo) reads as this error until the book moves
        // on, so nothing half-read is ever taken for the record.
        unreadable_ = e.what();
        throw EBookError(unreadable_);
    }
}

const SavedRecord& FileBook::current() const {
    if (!unreadable_.empty()) {
        throw EBookError(unreadable_);
    }
    return read_;
}

void FileBook::storeInto(const std::vector<FieldValue>& values) {
    for (const FieldValue& v : values) {
        table_.setFieldText(v.name, v.text);
    }
}

void FileBook::update(const std::vector<FieldValue>& values, bool overwrite) {
    if (table_.eof()) {
        throw EBookError("There is no customer record to change in " + where() + ".");
    }
    try {
        guarded([&] {
            // edit() takes the record lock and reads the record afresh under it, so the comparison
            // and the write see the same record and no other counter can slip in between.
            table_.edit();
            try {
                if (!overwrite && (readRecord().fields != read_.fields || table_.isDeleted() != readDeleted_)) {
                    throw ERecordChangedElsewhere("Another counter changed the record of \"" +
                                                  std::string(data::trimTrailingSpaces(read_.text("NAME"))) + "\" in " +
                                                  where() + " after it was shown here. Nothing was stored.");
                }
                storeInto(values);
                table_.post();
            } catch (...) {
                table_.cancel();
                throw;
            }
        });
    } catch (const ERecordChangedElsewhere&) {
        readCurrent();
        throw;
    }
    readCurrent();
}

void FileBook::append(const std::vector<FieldValue>& values) {
    const std::uint32_t added = guarded([&] {
        table_.insert();
        try {
            storeInto(values);
            table_.post();
        } catch (...) {
            table_.cancel();
            throw;
        }
        return table_.recNo();
    });
    // The post put the name's key in its place in name order through the index journal: only the
    // blocks it changed were written, and another counter re-reads only those.
    guarded([this, added] {
        atFirst_ = false;
        table_.go(added);
    });
    readCurrent();
}

std::vector<BookRecord> FileBook::allRecords() {
    return guarded([this] {
        data::TDbfTable t(options_.table);
        t.open(table_.path(), data::TDbfTable::OpenMode::ReadOnly);
        std::vector<BookRecord> records;
        for (t.first(); !t.eof(); t.next()) {
            if (t.isDeleted()) {
                continue;
            }
            BookRecord& r = records.emplace_back();
            for (const data::FieldDef& f : t.fields()) {
                r.push_back({f.name, t.fieldText(f.name)});
            }
        }
        return records;
    });
}

void FileBook::appendAll(const std::vector<BookRecord>& records, bool replace) {
    const std::uint32_t held = count();
    if (held == 0 || replace) {
        replaceFiles(records, held != 0);
        return;
    }
    guarded([&] {
        for (const BookRecord& r : records) {
            table_.insert();
            try {
                storeInto(r);
                table_.post();
            } catch (...) {
                table_.cancel();
                throw;
            }
        }
    });
    first();
}

void FileBook::replaceFiles(const std::vector<BookRecord>& records, bool keepOld) {
    // The names the book has now, whatever their letter case, so that other programs that open
    // them by those names find the new book.
    const fs::path table = table_.path();
    fs::path memo = table;
    memo.replace_extension(".fpt");
    memo = data::findFileNoCase(memo).value_or(memo);
    const fs::path index = data::findFileNoCase(folder_ / kSavedIndex).value_or(folder_ / kSavedIndex);
    fs::path stagedMemo = folder_ / kSavedTable;
    stagedMemo.replace_extension(".fpt");
    const fs::path staging = folder_ / (kStagingPrefix + std::to_string(::getpid()));
    const auto check = [this](const std::error_code& ec, const std::string& what) {
        if (ec) {
            throw EBookError("The customer book in " + folder_.string() + " could not be replaced: " + what + " (" +
                             ec.message() + "). The book is as it was.");
        }
    };

    // Nobody else may have the book open while its files change under them.
    table_.close();
    data::TDbfTable sole(options_.table);
    std::error_code ec;
    try {
        try {
            sole.open(table, data::TDbfTable::OpenMode::Exclusive);
        } catch (const data::ETableError&) {
            throw EBookError("The customer book in " + folder_.string() +
                             " is open on another counter. Close the program everywhere it uses this folder and "
                             "try again; nothing was changed.");
        }
        removeStaleStaging();
        fs::create_directory(staging, ec);
        check(ec, "cannot create the folder " + staging.string());
        guarded([&] {
            createFiles(staging, fileFields_, false, options_.table);
            data::TDbfTable fresh(options_.table);
            fresh.open(staging / kSavedTable, data::TDbfTable::OpenMode::Exclusive);
            for (const BookRecord& r : records) {
                fresh.insert();
                for (const FieldValue& v : r) {
                    fresh.setFieldText(v.name, v.text);
                }
                fresh.post();
            }
            fresh.openIndexFile(kSavedIndex, kSavedIndexExpression);
            fresh.reindex();
        });
        if (keepOld) {
            const fs::path kept = folder_ / ("customers-replaced-" + std::to_string(::time(nullptr)));
            fs::create_directory(kept, ec);
            check(ec, "cannot create the folder " + kept.string() + " for the old files");
            for (const fs::path& old : {table, memo, index}) {
                if (fs::exists(old)) {
                    fs::copy_file(old, kept / old.filename(), ec);
                    check(ec, "cannot keep a copy of " + old.string());
                    syncPath(kept / old.filename(), options_.replace);
                }
            }
            syncPath(kept, options_.replace);
            notices_.push_back("The records that were in " + folder_.string() + " are kept in " + kept.string() + ".");
        }
        std::vector<StagedFile> files = {{staging / kSavedTable, table}};
        if (fs::exists(staging / stagedMemo.filename())) {
            files.push_back({staging / stagedMemo.filename(), memo});
        }
        files.push_back({staging / kSavedIndex, index});
        commitReplacement(folder_, files, options_.replace);
    } catch (...) {
        sole.close();
        // Reopening first completes a replacement whose note was written: until then its staged
        // files are the book.
        reopen();
        fs::remove_all(staging, ec);
        throw;
    }
    sole.close();
    fs::remove_all(staging, ec);
    reopen();
}

void FileBook::removeStaleStaging() const {
    // Only a replacement holds the book exclusively, so these are what killed ones left behind.
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_, ec)) {
        if (entry.path().filename().string().starts_with(kStagingPrefix)) {
            std::error_code ignored;
            fs::remove_all(entry.path(), ignored);
        }
    }
}

void FileBook::reopen() {
    // A replacement killed half-way is completed before anything is read.
    finishReplacement(folder_, options_.replace);
    guarded([this] {
        table_.open(folder_ / kSavedTable);
        table_.openIndexFile(kSavedIndex, kSavedIndexExpression);
        atFirst_ = false;
        table_.first();
        skipDeletedForward();
    });
    readCurrent();
}

void FileBook::exportText(const fs::path& file) {
    guarded([&] {
        data::TDbfTable t(options_.table);
        t.open(table_.path(), data::TDbfTable::OpenMode::ReadOnly);
        t.copyToText(file);
    });
}

void FileBook::rebuildIndex() {
    guarded([this] { table_.reindex(); });
    notices_.push_back("The index " + (folder_ / kSavedIndex).string() + " has been rebuilt from the table " +
                       table_.path().string() + ". No record was lost.");
    readCurrent();
}

std::vector<std::string> FileBook::takeNotices() {
    std::vector<std::string> notices = table_.takeNotices();
    notices.insert(notices.end(), notices_.begin(), notices_.end());
    notices_.clear();
    return notices;
}

} // namespace arrowsel::records
