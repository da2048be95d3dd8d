// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Checks a data folder the way the program reads it: the folder can be read, every table and index
// opens, every index matches its table (one key per record, each the key of the record it names),
// every memo of every record reads, header record counts are right, the fields the program reads
// are there in types it can read, every chart row the selection run can go to exists, every specification
// key a chart cell can form (under its page's cutting rules and every case of its page) is found in
// "specs.idx", and the numbers the grid and the specifications window read parse; the customer
// book's and the shop's files, and the folder holding the book, can be written, and nothing lies
// at a journal's name that is not one. Nothing is written.
namespace arrowsel::engine {

struct DataProblem {
    enum class Kind {
        MissingFile,
        UnreadableFile, // the table engine refused the file; the message says why
        MissingField,
        TooFewRows,
        KeyNotFound,
        BadNumber,
        EmptyText,
        UnreadableField, // a field the program reads has a type the engine cannot read
        DamagedRecord,   // a record's memo (or other field) cannot be read
        WrongCount,      // the header's record count disagrees with the records present
        IndexFault,      // an index that does not match its table
        UnreadableFolder,
        ReadOnlyFile, // a file (or the folder) the program must write to save, which it cannot write
        StrayFile,    // something at the name of a file the program makes (a journal) that is none of its own
        CustomerBook, // the settings' customer book cannot be named or opened
    };
    Kind kind;
    std::string file; // as the program names it, e.g. "Targchrt.dbf"
    int row = 0;      // record number; 0 when the problem is not one record's
    int cell = 0;     // chart cell (Target: chart column); 0 when not one cell's
    std::string message;

    // "Targchrt.dbf row 15 cell 3: ..." (row and cell left out when 0).
    std::string text() const;
};

struct DataCheckOptions {
    // False when the customers are kept elsewhere (a server the settings name): the folder's
    // customer files are then neither needed nor read.
    bool customerFiles = true;
};

// Problems in the order found: tables and indexes first, then the charts page by page. An empty
// list means the folder is sound.
std::vector<DataProblem> checkDataFolder(const std::filesystem::path& folder, const DataCheckOptions& options = {});

} // namespace arrowsel::engine
