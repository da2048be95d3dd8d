// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/data_check.h"

#include "data/dbf_header.h"
#include "data/dbf_table.h"
#include "data/file_io.h"
#include "data/memo_file.h"
#include "data/table_error.h"
#include "data/text.h"
#include "engine/chart_rules.h"
#include "engine/conversions.h"
#include "engine/file_lookup.h"
#include "engine/notice_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <set>
#include <unistd.h>

namespace arrowsel::engine {

namespace {

using data::TDbfTable;
using data::trimControlsAndSpaces;
using Kind = DataProblem::Kind;

constexpr const char* kSavedFile = "Saveddb.dbf";
constexpr const char* kSavedIndexFile = "Saved.idx";
constexpr const char* kShopFile = "SHOPINFO.DBF";
constexpr const char* kNoticeFile = "invsel.txt";
constexpr int kMaxReportsPerTable = 5; // damaged records named per table; the rest are alike

constexpr const char* kDefaultWeightFields[] = {"DEFPTWT", "DEFNOCKWT", "DEFVANEWT", "DEFINSWT"};
constexpr const char* kSpecsFields[] = {"SPINE",    "HMODELS",   "TMODELS", "GPI", "DEFPTWT", "DEFNOCKWT", "DEFVANEWT",
                                        "DEFINSWT", "ARROWTYPE", "WALL",    "ID",  "OD",      "LENGTH"};
constexpr const char* kSavedFields[] = {"NAME",  "ADDR1",    "ADDR2", "CITY",  "STATE", "ZIP",   "COUNTRY",
                                        "CCODE", "COMMENTS", "DATE",  "BOWWT", "ARLEN", "PNTWT", "HORT",
                                        "BOTYP", "WHTYP",    "RETYP", "BOLEN", "ODLEN"};
constexpr const char* kShopFields[] = {"NAME", "ADDR1",   "ADDR2",    "CITY",  "STATE",
                                       "ZIP",  "COUNTRY", "COMMENTS", "PHONE", "FAX"};

// The engine's messages separate their lines with CR; a report line holds them side by side.
std::string oneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

bool parses(std::string_view text) {
    try {
        toNumber(text);
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}

const char* pageName(Page page) {
    return pageFacts(page).inText;
}

// One seek a chart cell makes: where the key comes from and the grid cell that shows it (which
// decides how GPI is read).
struct Lookup {
    Page page;
    const char* file;
    int row;
    int chartCell;
    int gridCell;
    std::string key;
    std::string how; // which cut of the size text, for the report; empty when there is only one
};

class Checker {
public:
    Checker(std::filesystem::path folder, const DataCheckOptions& options)
        : folder_(std::move(folder)), options_(options) {}

    std::vector<DataProblem> run() {
        std::error_code ec;
        std::filesystem::directory_iterator listing(folder_, ec);
        if (ec) {
            report(Kind::UnreadableFolder, folder_.string(), 0, 0, "the folder cannot be read: " + ec.message());
            return std::move(problems_);
        }
        openSpecs();
        if (options_.customerFiles) {
            checkOtherTable(kSavedFile, kSavedFields, kSavedIndexFile);
        }
        checkOtherTable(kShopFile, kShopFields, nullptr);
        checkWritable();
        checkNotice();
        for (Page page : {Page::Hunt, Page::Targ, Page::Youth, Page::Orvk}) {
            checkChart(page);
        }
        return std::move(problems_);
    }

private:
    void report(Kind kind, std::string file, int row, int cell, std::string message) {
        DataProblem p{kind, std::move(file), row, cell, std::move(message)};
        if (reported_.insert(p.text()).second) {
            problems_.push_back(std::move(p));
        }
    }

    // Opens a table read-only; reports and returns false when it is missing or refused.
    // Anything of that name, a pipe or a folder included: the engine then says what it is.
    bool exists(const char* name) const { return data::findFileNoCase(folder_ / name).has_value(); }

    bool open(TDbfTable& table, const char* name) {
        if (!exists(name)) {
            report(Kind::MissingFile, name, 0, 0, "file not found in " + folder_.string());
            return false;
        }
        try {
            table.open(folder_ / name, TDbfTable::OpenMode::ReadOnly);
        } catch (const std::exception& e) {
            report(Kind::UnreadableFile, name, 0, 0, oneLine(e.what()));
            return false;
        }
        checkCount(table, name);
        checkRecords(table, name);
        reportNotices(table, name);
        return true;
    }

    // What an open found beside a file and left alone (a junk journal), as the program would.
    void reportNotices(TDbfTable& table, const char* name) {
        for (const std::string& notice : table.takeNotices()) {
            report(Kind::StrayFile, name, 0, 0, oneLine(notice));
        }
    }

    // The files the program writes, which must be writable for customers and the shop to be
    // saved: a file that is not (or is a link, never written through) opens its table read-only.
    void checkWritable() {
        const std::optional<std::filesystem::path> saved = data::findFileNoCase(folder_ / kSavedFile);
        std::vector<std::filesystem::path> files;
        if (saved) {
            files.push_back(*saved);
            for (const char* memo : {".fpt", ".dbt"}) {
                std::filesystem::path p = *saved;
                if (const auto found = data::findFileNoCase(p.replace_extension(memo))) {
                    files.push_back(*found);
                }
            }
        }
        for (const char* name : {kSavedIndexFile, kShopFile}) {
            if (const auto found = data::findFileNoCase(folder_ / name)) {
                files.push_back(*found);
            }
        }
        for (const std::filesystem::path& file : files) {
            data::File probe;
            const int err = probe.open(file, data::File::Access::ReadWrite);
            if (err == ELOOP) {
                report(Kind::ReadOnlyFile, file.filename().string(), 0, 0,
                       "is a symbolic link; the program writes no file through a link, so nothing can be saved in "
                       "it: put the file itself in place of the link");
            } else if (err == EACCES || err == EROFS || err == EPERM) {
                report(Kind::ReadOnlyFile, file.filename().string(), 0, 0,
                       "cannot be written (" + data::errorText(err) +
                           "): the program opens it read-only and nothing can be saved until it can be written");
            }
        }
        // Saving also makes files beside the book (journals, new files under temporary names).
        if (saved && ::faccessat(AT_FDCWD, folder_.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
            report(Kind::ReadOnlyFile, folder_.string(), 0, 0,
                   "the folder cannot be written (" + data::errorText(errno) +
                       "): customers cannot be saved until it can be written");
        }
    }

    // A read-only open counts the whole records present; a header that counts fewer (a process
    // killed while appending) is repaired by the program's next shared open.
    void checkCount(const TDbfTable& table, const char* name) {
        data::File file;
        unsigned char head[8] = {};
        if (file.open(table.path(), data::File::Access::ReadOnly) != 0 || file.readAt(0, head, sizeof head) < 8) {
            return;
        }
        const std::uint32_t stated = data::readLe32(head + 4);
        if (stated != table.recordCount()) {
            report(Kind::WrongCount, name, 0, 0,
                   "the header counts " + std::to_string(stated) + " records, but the file holds " +
                       std::to_string(table.recordCount()) + "; the program repairs the count when it next opens " +
                       "the table for writing");
        }
    }

    // Every memo of every record, so a damaged memo file shows before a customer's record fails.
    void checkRecords(TDbfTable& table, const char* name) {
        std::vector<std::string> memos;
        for (const data::FieldDef& f : table.fields()) {
            if (f.type == data::FieldType::Memo) {
                memos.push_back(f.name);
            }
        }
        if (memos.empty()) {
            return;
        }
        int damaged = 0;
        try {
            for (std::uint32_t r = 1; r <= table.recordCount() && damaged < kMaxReportsPerTable; ++r) {
                table.go(r);
                for (const std::string& field : memos) {
                    try {
                        if (table.memoText(field).cut) {
                            report(Kind::DamagedRecord, name, static_cast<int>(r), 0,
                                   "the memo in field " + field + " holds more than the " +
                                       std::to_string(data::MemoFile::kReadLimit) +
                                       " bytes the program reads (a dBASE III memo without its end mark runs on to "
                                       "the end of its file); the windows show only that much of it");
                            ++damaged;
                        }
                    } catch (const data::ETableError& e) {
                        report(Kind::DamagedRecord, name, static_cast<int>(r), 0, oneLine(e.what()));
                        ++damaged;
                    }
                }
            }
        } catch (const std::exception& e) {
            report(Kind::UnreadableFile, name, 0, 0, oneLine(e.what()));
        }
    }

    // False when the index is missing, refused or does not match its table.
    bool openIndex(TDbfTable& table, const char* tableName, const char* index) {
        if (!exists(index)) {
            report(Kind::MissingFile, index, 0, 0,
                   std::string("index of ") + tableName + " not found in " + folder_.string());
            return false;
        }
        std::vector<std::string> faults;
        try {
            table.openIndexFile(index);
            faults = table.indexFaults();
        } catch (const std::exception& e) {
            report(Kind::UnreadableFile, index, 0, 0, oneLine(e.what()));
            return false;
        }
        for (const std::string& fault : faults) {
            report(Kind::IndexFault, index, 0, 0, fault + "; rebuild " + index + " from " + tableName);
        }
        reportNotices(table, index);
        return faults.empty();
    }

    bool requireField(const TDbfTable& table, const char* file, const std::string& field, int cell = 0) {
        const data::FieldDef* def = table.fieldDef(field);
        if (def == nullptr) {
            report(Kind::MissingField, file, 0, cell, "missing field " + field);
            return false;
        }
        if (!data::isReadableType(def->type)) {
            report(Kind::UnreadableField, file, 0, cell,
                   "field " + field + " has the type " + std::string(1, static_cast<char>(def->type)) +
                       ", which the program cannot read");
            return false;
        }
        return true;
    }

    template <std::size_t N>
    void requireFields(const TDbfTable& table, const char* file, const char* const (&fields)[N]) {
        for (const char* field : fields) {
            requireField(table, file, field);
        }
    }

    void openSpecs() {
        if (!open(specs_, kSpecsFile)) {
            return;
        }
        requireFields(specs_, kSpecsFile, kSpecsFields);
        // The specifications window reads the default component weights of whatever record a
        // seek leaves it on, a missed one included, so every record counts.
        try {
            for (std::uint32_t r = 1; r <= specs_.recordCount(); ++r) {
                specs_.go(r);
                for (const char* field : kDefaultWeightFields) {
                    if (const data::FieldDef* def = specs_.fieldDef(field);
                        def == nullptr || !data::isReadableType(def->type)) {
                        continue; // reported with the fields
                    }
                    try {
                        specs_.fieldFloat(field);
                    } catch (const data::ETableError&) {
                        report(Kind::BadNumber, kSpecsFile, static_cast<int>(r), 0,
                               std::string("default weight ") + field + " '" +
                                   std::string(trimControlsAndSpaces(specs_.fieldText(field))) + "' is not a number");
                    }
                }
            }
        } catch (const std::exception& e) {
            report(Kind::UnreadableFile, kSpecsFile, 0, 0, oneLine(e.what()));
            return;
        }
        specsIndexed_ = openIndex(specs_, kSpecsFile, kSpecsIndexFile);
    }

    template <std::size_t N> void checkOtherTable(const char* file, const char* const (&fields)[N], const char* index) {
        TDbfTable table;
        if (!open(table, file)) {
            return;
        }
        requireFields(table, file, fields);
        if (index != nullptr) {
            openIndex(table, file, index);
        }
    }

    void checkNotice() {
        if (!exists(kNoticeFile)) {
            report(Kind::MissingFile, kNoticeFile, 0, 0, "file not found in " + folder_.string());
            return;
        }
        try {
            if (trimControlsAndSpaces(readNotice(folder_)).empty()) {
                report(Kind::EmptyText, kNoticeFile, 1, 0, "the out-of-range notice (first line) is empty");
            }
        } catch (const ENoticeFileError& e) {
            report(Kind::UnreadableFile, kNoticeFile, 0, 0, oneLine(e.what()));
        }
    }

    void checkChart(Page page) {
        const char* file = chartFileName(page);
        TDbfTable chart;
        if (!open(chart, file)) {
            return;
        }
        const int columns = chartColumns(page);
        std::vector<bool> readable(static_cast<std::size_t>(columns) + 1, true);
        for (int n = 1; n <= columns; ++n) {
            const bool size = requireField(chart, file, sizeFieldName(n), n);
            const bool second = requireField(chart, file, secondFieldName(page, n), n);
            readable[static_cast<std::size_t>(n)] = size && second;
        }
        const RowRange rows = chartRows(page);
        const auto count = static_cast<int>(chart.recordCount());
        if (count < rows.last) {
            report(Kind::TooFewRows, file, count + 1, 0,
                   "the chart has " + std::to_string(count) + " rows; the program goes to rows " +
                       std::to_string(rows.first) + " to " + std::to_string(rows.last));
        }
        // A first hunting run that falls off the chart fills its cells from the record the chart
        // opened on, the first one, which lies below the valid rows.
        const int first = page == Page::Hunt ? 1 : rows.first;
        try {
            for (int r = first; r <= std::min(rows.last, count); ++r) {
                chart.go(static_cast<std::uint32_t>(r));
                for (const Lookup& l : lookups(page, chart, r, readable)) {
                    seek(l);
                }
            }
        } catch (const std::exception& e) {
            report(Kind::UnreadableFile, file, 0, 0, oneLine(e.what()));
        }
    }

    // Every seek the run can make from one chart row.
    std::vector<Lookup> lookups(Page page, const TDbfTable& chart, int row, const std::vector<bool>& readable) const {
        const char* file = chartFileName(page);
        std::vector<Lookup> out;
        auto fields = [&](int n) {
            return std::pair{chart.fieldText(sizeFieldName(n)), chart.fieldText(secondFieldName(page, n))};
        };
        auto isReadable = [&](int n) { return readable[static_cast<std::size_t>(n)]; };
        switch (page) {
        case Page::Hunt:
            for (int n = 1; n <= chartColumns(page); ++n) {
                if (!isReadable(n)) {
                    continue;
                }
                const auto [size, spine] = fields(n);
                if (const auto text = huntingCell(n, size, spine); text && !isCarbonCell(n, *text)) {
                    out.push_back({page, file, row, n, n, text->key(), {}});
                }
            }
            break;
        case Page::Targ:
            for (const TargetCase& c : targetCases(row)) {
                const TargetLayout layout = targetLayout(c.bowType, row, c.shortArrow);
                for (int k = 1; k <= static_cast<int>(layout.size()); ++k) {
                    const TargetSlot& slot = layout[static_cast<std::size_t>(k - 1)];
                    if (slot.column == 0 || !isReadable(slot.column)) {
                        continue;
                    }
                    const auto [size, spine] = fields(slot.column);
                    if (const auto text = targetCell(slot, size, spine)) {
                        out.push_back({page, file, row, slot.column, k, text->key(), ruleName(slot.rule, size)});
                    }
                }
            }
            break;
        case Page::Youth:
        case Page::Orvk:
            for (int n = 1; n <= chartColumns(page); ++n) {
                if (!isReadable(n)) {
                    continue;
                }
                const auto [size, second] = fields(n);
                const auto text = page == Page::Youth ? youthCell(size, second) : orvikCell(size, second);
                if (text) {
                    out.push_back({page, file, row, n, n, text->key(), {}});
                }
            }
            break;
        }
        return out;
    }

    static std::string ruleName(SizeRule rule, std::string_view size) {
        if (trimControlsAndSpaces(size).find('*') == std::string::npos) {
            return {};
        }
        switch (rule) {
        case SizeRule::Whole:
            return "whole starred size";
        case SizeRule::CompoundHalf:
            return "compound half";
        case SizeRule::RecurveHalfOrBlank:
        case SizeRule::RecurveHalfOrWhole:
            return "recurve half";
        }
        return {};
    }

    void seek(const Lookup& l) {
        if (!specsIndexed_) {
            return;
        }
        const std::string what = "key '" + l.key + "'" + (l.how.empty() ? "" : " (" + l.how + ")");
        if (!specs_.seek(l.key)) {
            report(Kind::KeyNotFound, l.file, l.row, l.chartCell, what + " not found in " + kSpecsIndexFile);
            return;
        }
        const char* modelsField = (l.page == Page::Hunt || l.page == Page::Orvk) ? "HMODELS" : "TMODELS";
        if (specs_.fieldDef("GPI") == nullptr || specs_.fieldDef(modelsField) == nullptr) {
            return;
        }
        const std::string gpi = specs_.fieldText("GPI");
        const std::string models(trimControlsAndSpaces(specs_.fieldText(modelsField)));
        const std::string record = std::string(kSpecsFile) + " record " + std::to_string(specs_.recNo());
        const std::string shown =
            "GPI '" + std::string(trimControlsAndSpaces(gpi)) + "' of " + record + ", found by " + what;
        if (readsTwoGpiFigures(l.page, l.gridCell, models)) {
            if (!parses(firstGpiFigure(gpi)) || !parses(secondGpiFigure(gpi))) {
                report(Kind::BadNumber, l.file, l.row, l.chartCell,
                       shown + ", is not two 4-character numbers as " + pageName(l.page) + " cell " +
                           std::to_string(l.gridCell) + " reads it for models '" + models + "'");
            }
            return;
        }
        if (!parses(gpi)) {
            report(Kind::BadNumber, l.file, l.row, l.chartCell,
                   shown + ", is not a number as " + pageName(l.page) + " cell " + std::to_string(l.gridCell) +
                       " reads it");
            return;
        }
        // A click on the size opens the specifications window, which has a rule of its own.
        if (usesSecondGpiFigure(models) && !parses(secondGpiFigure(gpi))) {
            report(Kind::BadNumber, l.file, l.row, l.chartCell,
                   shown +
                       ", has no number in characters 6 to 9 as the specifications window reads it for "
                       "models '" +
                       models + "'");
        }
    }

    std::filesystem::path folder_;
    DataCheckOptions options_;
    TDbfTable specs_;
    bool specsIndexed_ = false;
    std::vector<DataProblem> problems_;
    std::set<std::string> reported_;
};

} // namespace

std::string DataProblem::text() const {
    std::string out = file;
    if (row != 0) {
        out += " row " + std::to_string(row);
    }
    if (cell != 0) {
        out += " cell " + std::to_string(cell);
    }
    return out + ": " + message;
}

std::vector<DataProblem> checkDataFolder(const std::filesystem::path& folder, const DataCheckOptions& options) {
    return Checker(folder, options).run();
}

} // namespace arrowsel::engine
