// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbf_table.h"
#include "engine/data_check.h"
#include "tests/support/child_process.h"
#include "tests/support/run_cli.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace arrowsel::test {
namespace {

using data::FieldType;
using data::TDbfTable;
using engine::DataProblem;
using Kind = DataProblem::Kind;
using Record = std::map<std::string, std::string>;

// A small data folder that passes every check; a test breaks one thing and looks for its report.
//
// Every chart row up to the last the program goes to recommends shafts found in Specs.DBF:
// hunting cell 1 "2213" and cell 2 "2213 (32in)" (cut at the blank) with spine ".461", a
// two-model shaft; target column 1 "2312*2212" (compound and recurve halves, code "VT"), column 5
// "400" with spine ".400"; youth cell 1 "1413" model "SP"; Orvik cell 1 "400" model "ST".
class DataFolder {
public:
    DataFolder() {
        for (int r = 1; r <= 18; ++r) {
            hunting.push_back(
                {{"SH1SIZE", "2213"}, {"SH1SPINE", ".461"}, {"SH2SIZE", "2213 (32in)"}, {"SH2SPINE", ".461"}});
        }
        for (int r = 1; r <= 19; ++r) {
            target.push_back({{"SH1SIZE", "2312*2212"}, {"SH1SPINE", "VT"}, {"SH5SIZE", "400"}, {"SH5SPINE", ".400"}});
            orvik.push_back({{"SH1SIZE", "400"}, {"SH1MODEL", "ST"}});
        }
        for (int r = 1; r <= 10; ++r) {
            youth.push_back({{"SH1SIZE", "1413"}, {"SH1MODL", "SP"}});
        }
        specs = {
            spec("2213.461", "RD,63", "N4,63", "9.60,9.98"),
            spec("2312VT", "VT", "VT", "9.10"),
            spec("2212VT", "VT", "VT", "8.70"),
            spec("400.400", "TL", "TL", "7.70"),
            spec("1413SP", "SP", "SP", "5.10"),
            spec("400ST", "ST", "ST", "7.90"),
        };
    }

    static Record spec(std::string key, std::string hmodels, std::string tmodels, std::string gpi) {
        return {{"SPECKEY", std::move(key)},
                {"SPINE", ".500"},
                {"HMODELS", std::move(hmodels)},
                {"TMODELS", std::move(tmodels)},
                {"GPI", std::move(gpi)},
                {"DEFPTWT", "100"},
                {"DEFNOCKWT", "10"},
                {"DEFVANEWT", "15"},
                {"DEFINSWT", "12"},
                {"ARROWTYPE", "Aluminum"},
                {"WALL", "0.013 in"},
                {"ID", "0.318 in"},
                {"OD", "0.344 in"},
                {"LENGTH", "31 in"}};
    }

    std::vector<Record> hunting, target, youth, orvik, specs;
    std::set<std::string> omittedFields; // "FILE:FIELD"
    // Default weights as a character field, so that a test can store a text that is no number.
    bool defaultWeightsAsText = false;

    const std::filesystem::path& write() {
        writeChart("HUNTCHRT.DBF", 17, "SPINE", hunting);
        writeChart("Targchrt.dbf", 14, "SPINE", target);
        writeChart("YouthChrt.dbf", 8, "MODL", youth);
        writeChart("ORVKCHRT.dbf", 7, "MODEL", orvik);
        const FieldType weight = defaultWeightsAsText ? FieldType::Character : FieldType::Numeric;
        std::vector<TDbfTable::FieldSpec> specFields = {{"SPECKEY", FieldType::Character, 16}};
        for (const char* f : {"SPINE", "HMODELS", "TMODELS", "GPI"}) {
            specFields.push_back({f, FieldType::Character, 10});
        }
        for (const char* f : {"DEFPTWT", "DEFNOCKWT", "DEFVANEWT", "DEFINSWT"}) {
            specFields.push_back({f, weight, 6, defaultWeightsAsText ? 0 : 1});
        }
        for (const char* f : {"ARROWTYPE", "WALL", "ID", "OD", "LENGTH"}) {
            specFields.push_back({f, FieldType::Character, 16});
        }
        writeTable("Specs.DBF", specFields, specs);
        index("Specs.DBF", "specs.idx", "SPECKEY");

        std::vector<TDbfTable::FieldSpec> saved;
        for (const char* f :
             {"NAME", "ADDR1", "ADDR2", "CITY", "STATE", "ZIP", "COUNTRY", "CCODE", "BOWWT", "ARLEN", "PNTWT"}) {
            saved.push_back({f, FieldType::Character, 20});
        }
        saved.push_back({"COMMENTS", FieldType::Memo, 10});
        saved.push_back({"DATE", FieldType::Date, 8});
        for (const char* f : {"HORT", "BOTYP", "WHTYP", "RETYP", "BOLEN", "ODLEN"}) {
            saved.push_back({f, FieldType::Numeric, 2});
        }
        writeTable("Saveddb.dbf", saved, {});
        index("Saveddb.dbf", "Saved.idx", "NAME");

        std::vector<TDbfTable::FieldSpec> shop;
        for (const char* f :
             {"NAME", "ADDR1", "ADDR2", "CITY", "STATE", "ZIP", "COUNTRY", "COMMENTS", "PHONE", "FAX"}) {
            shop.push_back({f, FieldType::Character, 30});
        }
        writeTable("SHOPINFO.DBF", shop, {{{"NAME", "Test Archery"}}});
        std::ofstream(dir_ / "invsel.txt", std::ios::binary) << "Setup is off the chart.\r\n";
        return dir_.path();
    }

    std::vector<DataProblem> check() { return engine::checkDataFolder(write()); }
    const std::filesystem::path& folder() const { return dir_.path(); }

private:
    void writeTable(const std::string& file, std::vector<TDbfTable::FieldSpec> fields,
                    const std::vector<Record>& rows) {
        std::erase_if(fields, [&](const auto& f) { return omittedFields.contains(file + ":" + f.name); });
        TDbfTable::create(dir_ / file, fields, data::CodePage::Windows1252, true);
        TDbfTable t;
        t.open(dir_ / file, TDbfTable::OpenMode::Exclusive);
        for (const Record& row : rows) {
            t.insert();
            for (const auto& [name, value] : row) {
                if (t.fieldDef(name) != nullptr) {
                    t.setFieldText(name, value);
                }
            }
            t.post();
        }
    }

    void writeChart(const std::string& file, int cells, const char* second, const std::vector<Record>& rows) {
        std::vector<TDbfTable::FieldSpec> fields;
        for (int n = 1; n <= cells; ++n) {
            fields.push_back({"SH" + std::to_string(n) + "SIZE", FieldType::Character, 16});
            fields.push_back({"SH" + std::to_string(n) + second, FieldType::Character, 8});
        }
        writeTable(file, fields, rows);
    }

    void index(const std::string& table, const std::string& file, const char* expression) {
        TDbfTable t;
        t.open(dir_ / table, TDbfTable::OpenMode::Exclusive);
        t.createIndex(dir_ / file, expression);
    }

    TempDir dir_;
};

std::string listed(const std::vector<DataProblem>& problems) {
    std::string out;
    for (const auto& p : problems) {
        out += "\n  " + p.text();
    }
    return out;
}

// The one problem of a kind at a place; a failure shows everything that was reported.
testing::AssertionResult reportedOnce(const std::vector<DataProblem>& problems, Kind kind, const std::string& file,
                                      int row, int cell) {
    const auto n = std::count_if(problems.begin(), problems.end(), [&](const DataProblem& p) {
        return p.kind == kind && p.file == file && p.row == row && p.cell == cell;
    });
    if (n == 1) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << n << " reports for " << file << " row " << row << " cell " << cell
                                       << "; all reports:" << listed(problems);
}

TEST(DataCheck, soundFolder_reportsNothing) {
    DataFolder folder;
    const auto problems = folder.check();
    EXPECT_TRUE(problems.empty()) << listed(problems);
}

TEST(DataCheck, missingFile_eachReportedByName) {
    for (const char* name : {"HUNTCHRT.DBF", "Targchrt.dbf", "YouthChrt.dbf", "ORVKCHRT.dbf", "Specs.DBF", "specs.idx",
                             "Saveddb.dbf", "Saved.idx", "SHOPINFO.DBF", "invsel.txt"}) {
        DataFolder folder;
        std::filesystem::remove(folder.write() / name);
        const auto problems = engine::checkDataFolder(folder.folder());
        EXPECT_TRUE(reportedOnce(problems, Kind::MissingFile, name, 0, 0)) << name;
        EXPECT_EQ(problems.size(), 1u) << name << ":" << listed(problems);
    }
}

TEST(DataCheck, fileNamesInOtherLetterCase_areFound) {
    DataFolder folder;
    folder.write();
    std::filesystem::rename(folder.folder() / "Targchrt.dbf", folder.folder() / "TARGCHRT.DBF");
    std::filesystem::rename(folder.folder() / "specs.idx", folder.folder() / "SPECS.IDX");
    const auto problems = engine::checkDataFolder(folder.folder());
    EXPECT_TRUE(problems.empty()) << listed(problems);
}

TEST(DataCheck, missingFields_reportedWithTheirFileAndChartCell) {
    DataFolder folder;
    folder.omittedFields = {"Specs.DBF:DEFVANEWT", "Targchrt.dbf:SH7SPINE", "SHOPINFO.DBF:FAX", "Saveddb.dbf:ODLEN"};
    const auto problems = folder.check();
    EXPECT_TRUE(reportedOnce(problems, Kind::MissingField, "Specs.DBF", 0, 0));
    EXPECT_TRUE(reportedOnce(problems, Kind::MissingField, "Targchrt.dbf", 0, 7));
    EXPECT_TRUE(reportedOnce(problems, Kind::MissingField, "SHOPINFO.DBF", 0, 0));
    EXPECT_TRUE(reportedOnce(problems, Kind::MissingField, "Saveddb.dbf", 0, 0));
    EXPECT_EQ(problems.size(), 4u) << listed(problems);
}

TEST(DataCheck, keysNotFound_reportedAtTheirChartRowAndCell) {
    DataFolder folder;
    folder.hunting[12]["SH3SIZE"] = "2413";
    folder.hunting[12]["SH3SPINE"] = ".300";
    // A carbon summary cell seeks nothing.
    folder.hunting[12]["SH5SIZE"] = "340";
    folder.hunting[12]["SH5SPINE"] = "caw";
    folder.youth[7]["SH4SIZE"] = "1516";
    folder.youth[7]["SH4MODL"] = "SP";
    // A size without a model code is no Orvik cell.
    folder.orvik[2]["SH6SIZE"] = "2016";
    folder.orvik[4]["SH2SIZE"] = "500";
    folder.orvik[4]["SH2MODEL"] = "KE";
    const auto problems = folder.check();
    EXPECT_TRUE(reportedOnce(problems, Kind::KeyNotFound, "HUNTCHRT.DBF", 13, 3));
    EXPECT_TRUE(reportedOnce(problems, Kind::KeyNotFound, "YouthChrt.dbf", 8, 4));
    EXPECT_TRUE(reportedOnce(problems, Kind::KeyNotFound, "ORVKCHRT.dbf", 5, 2));
    EXPECT_EQ(problems.size(), 3u) << listed(problems);
}

TEST(DataCheck, starredTargetSizes_checkEachHalfAndTheWholeTextWhereACaseShowsIt) {
    DataFolder folder;
    // Row 15 for a compound bow skips column 2 and shows columns 3 and 4 whole.
    folder.target[14]["SH2SIZE"] = "2312*2212";
    folder.target[14]["SH2SPINE"] = "VT";
    folder.target[14]["SH3SIZE"] = "2312*2212";
    folder.target[14]["SH3SPINE"] = "VT";
    // A recurve half no record has, in a row where only the recurve case reads column 1.
    folder.target[15]["SH1SIZE"] = "2312*2013";
    // Column 14 is read only by short arrows, which row 18 never has.
    folder.target[17]["SH14SIZE"] = "9999";
    folder.target[17]["SH14SPINE"] = ".100";
    const auto problems = folder.check();
    EXPECT_TRUE(reportedOnce(problems, Kind::KeyNotFound, "Targchrt.dbf", 15, 3));
    EXPECT_TRUE(reportedOnce(problems, Kind::KeyNotFound, "Targchrt.dbf", 16, 1));
    EXPECT_EQ(problems.size(), 2u) << listed(problems);
    const std::string whole = problems.front().text();
    EXPECT_NE(whole.find("'2312*2212VT'"), std::string::npos) << whole;
}

TEST(DataCheck, gpiTexts_mustParseAsTheCellThatReachesThemReadsThem) {
    DataFolder folder;
    folder.specs.push_back(DataFolder::spec("2514.250", "63", "63", "12.x"));
    folder.hunting[9]["SH7SIZE"] = "2514";
    folder.hunting[9]["SH7SPINE"] = ".250";
    // A two-model shaft in cell 5 is read as one number.
    folder.hunting[10]["SH5SIZE"] = "2213";
    folder.hunting[10]["SH5SPINE"] = ".461";
    // The specifications window reads characters 6 to 9 for ",63" models.
    folder.specs.push_back(DataFolder::spec("2114VT", "VT", "XX,63", "8.80"));
    folder.target[5]["SH6SIZE"] = "2114";
    folder.target[5]["SH6SPINE"] = "VT";
    const auto problems = folder.check();
    EXPECT_TRUE(reportedOnce(problems, Kind::BadNumber, "HUNTCHRT.DBF", 10, 7));
    EXPECT_TRUE(reportedOnce(problems, Kind::BadNumber, "HUNTCHRT.DBF", 11, 5));
    EXPECT_TRUE(reportedOnce(problems, Kind::BadNumber, "Targchrt.dbf", 6, 6));
    EXPECT_EQ(problems.size(), 3u) << listed(problems);
}

TEST(DataCheck, defaultWeightThatIsNoNumber_reportedWithItsSpecificationRecord) {
    DataFolder folder;
    folder.defaultWeightsAsText = true;
    folder.specs[3]["DEFNOCKWT"] = "ten";
    const auto problems = folder.check();
    EXPECT_TRUE(reportedOnce(problems, Kind::BadNumber, "Specs.DBF", 4, 0));
    EXPECT_EQ(problems.size(), 1u) << listed(problems);
}

TEST(DataCheck, chartsWithTooFewRows_reportTheFirstMissingRow) {
    DataFolder folder;
    folder.target.resize(17);
    folder.youth.resize(9);
    const auto problems = folder.check();
    EXPECT_TRUE(reportedOnce(problems, Kind::TooFewRows, "Targchrt.dbf", 18, 0));
    EXPECT_TRUE(reportedOnce(problems, Kind::TooFewRows, "YouthChrt.dbf", 10, 0));
    EXPECT_EQ(problems.size(), 2u) << listed(problems);
}

TEST(DataCheck, damagedTableAndEmptyNotice_reportedWithoutStoppingTheCheck) {
    DataFolder folder;
    folder.write();
    std::ofstream(folder.folder() / "SHOPINFO.DBF", std::ios::binary | std::ios::trunc) << "not a table";
    std::ofstream(folder.folder() / "invsel.txt", std::ios::binary | std::ios::trunc) << "\r\n";
    const auto problems = engine::checkDataFolder(folder.folder());
    EXPECT_TRUE(reportedOnce(problems, Kind::UnreadableFile, "SHOPINFO.DBF", 0, 0));
    EXPECT_TRUE(reportedOnce(problems, Kind::EmptyText, "invsel.txt", 1, 0));
    EXPECT_EQ(problems.size(), 2u) << listed(problems);
}

// Faults the program would otherwise meet only later: a stale or short index, a damaged memo, a
// header count that is wrong, a pipe in place of a file, a field of a type it cannot read.
TEST(DataCheck, indexesThatDoNotMatchTheirTables_areNamedWithWhatToDo) {
    DataFolder folder;
    folder.write();
    {
        // The maker's update rewrote a record; specs.idx still leads its old key there.
        TDbfTable specs;
        specs.open(folder.folder() / "Specs.DBF");
        specs.go(1);
        specs.edit();
        specs.setFieldText("SPECKEY", "9999XX");
        specs.post();
        // A customer appended by a process killed before it reached Saved.idx.
        TDbfTable saved;
        saved.open(folder.folder() / "Saveddb.dbf");
        saved.insert();
        saved.setFieldText("NAME", "Adams");
        saved.post();
    }
    const auto problems = engine::checkDataFolder(folder.folder());
    ASSERT_TRUE(reportedOnce(problems, Kind::IndexFault, "specs.idx", 0, 0));
    ASSERT_TRUE(reportedOnce(problems, Kind::IndexFault, "Saved.idx", 0, 0));
    const auto text = [&](const char* file) {
        return std::find_if(problems.begin(), problems.end(), [&](const auto& p) { return p.file == file; })->text();
    };
    EXPECT_EQ(text("specs.idx"), "specs.idx: specs.idx does not match Specs.DBF: record 1 holds \"9999XX\" where "
                                 "specs.idx says \"2213.461\"; rebuild specs.idx from Specs.DBF");
    EXPECT_EQ(text("Saved.idx"), "Saved.idx: Saved.idx holds 0 keys for the 1 records of Saveddb.dbf; rebuild "
                                 "Saved.idx from Saveddb.dbf");
    // The stale index answers no key: the chart cells are not checked against it.
    EXPECT_EQ(problems.size(), 2u) << listed(problems);
}

TEST(DataCheck, damagedMemosWrongCountsPipesAndUnreadableTypes_areReportedByFile) {
    DataFolder folder;
    folder.write();
    {
        TDbfTable saved;
        saved.open(folder.folder() / "Saveddb.dbf");
        saved.openIndexFile("Saved.idx");
        for (const char* name : {"Adams", "Baker"}) {
            saved.insert();
            saved.setFieldText("NAME", name);
            saved.setFieldText("COMMENTS", "left handed");
            saved.post();
        }
    }
    // Record 2's memo pointer leads past the end of Saveddb.fpt; the header counts 1 record of 2.
    std::fstream saved(folder.folder() / "Saveddb.dbf", std::ios::in | std::ios::out | std::ios::binary);
    TDbfTable probe;
    probe.open(folder.folder() / "Saveddb.dbf", TDbfTable::OpenMode::ReadOnly);
    const auto recordLength = static_cast<std::streamoff>(probe.fields().back().offset + probe.fields().back().width);
    const auto headerLength = static_cast<std::streamoff>(32 + 32 * probe.fields().size() + 1);
    saved.seekp(headerLength + recordLength + probe.fieldDef("COMMENTS")->offset);
    saved.write("    999999", 10);
    saved.seekp(4);
    saved.write("\x01\x00\x00\x00", 4);
    saved.close();
    probe.close();
    std::filesystem::remove(folder.folder() / "invsel.txt");
    ASSERT_EQ(::mkfifo((folder.folder() / "invsel.txt").c_str(), 0600), 0);
    std::filesystem::remove(folder.folder() / "SHOPINFO.DBF");
    ASSERT_EQ(::mkfifo((folder.folder() / "SHOPINFO.DBF").c_str(), 0600), 0);

    const auto problems = engine::checkDataFolder(folder.folder());
    EXPECT_TRUE(reportedOnce(problems, Kind::DamagedRecord, "Saveddb.dbf", 2, 0));
    EXPECT_TRUE(reportedOnce(problems, Kind::WrongCount, "Saveddb.dbf", 0, 0));
    EXPECT_TRUE(reportedOnce(problems, Kind::UnreadableFile, "SHOPINFO.DBF", 0, 0));
    EXPECT_TRUE(reportedOnce(problems, Kind::UnreadableFile, "invsel.txt", 0, 0));
    EXPECT_EQ(problems.size(), 4u) << listed(problems);
    for (const auto& p : problems) {
        if (p.kind == Kind::DamagedRecord) {
            EXPECT_NE(p.message.find("Saveddb.fpt"), std::string::npos) << p.message;
        } else if (p.kind == Kind::WrongCount) {
            EXPECT_NE(p.message.find("the header counts 1 records, but the file holds 2"), std::string::npos)
                << p.message;
        } else {
            EXPECT_NE(p.message.find("not a regular file"), std::string::npos) << p.message;
        }
    }
}

TEST(DataCheck, chartFieldOfATypeTheProgramCannotRead_isNamed) {
    DataFolder folder;
    folder.write();
    // Cell 1's size field retyped by another program: a type letter this program does not read.
    std::fstream chart(folder.folder() / "ORVKCHRT.dbf", std::ios::in | std::ios::out | std::ios::binary);
    chart.seekp(32 + 11);
    chart.put('Y');
    chart.close();
    const auto problems = engine::checkDataFolder(folder.folder());
    EXPECT_TRUE(reportedOnce(problems, Kind::UnreadableField, "ORVKCHRT.dbf", 0, 1));
    EXPECT_EQ(problems.size(), 1u) << listed(problems);
}

// What keeps customers from being saved although every table reads: an index this user may not
// write, a memo file that is a link, something at the journal's name, and a memo longer than the
// program reads. Each is named with its file; the folder is then not "no problems found".
TEST(DataCheck, filesThatBlockSavingAndMemosReadOnlyInPart_areNamed) {
    DataFolder folder;
    folder.write();
    {
        TDbfTable saved;
        saved.open(folder.folder() / "Saveddb.dbf");
        saved.insert();
        saved.setFieldText("NAME", "Adams");
        saved.setFieldText("COMMENTS", std::string((1u << 20) + 10, 'c'));
        saved.post();
        saved.openIndexFile("Saved.idx");
        saved.reindex();
    }
    const std::filesystem::path dir = folder.folder();
    std::filesystem::rename(dir / "Saveddb.fpt", dir / "memo-elsewhere.fpt");
    std::filesystem::create_symlink(dir / "memo-elsewhere.fpt", dir / "Saveddb.fpt");
    ASSERT_EQ(::mkfifo((dir / "Saved.idx.jnl").c_str(), 0644), 0);
    std::filesystem::permissions(dir / "Saved.idx", std::filesystem::perms::owner_read);
    const int status = runUnprivileged(dir, [&] {
        const auto problems = engine::checkDataFolder(dir);
        EXPECT_TRUE(reportedOnce(problems, Kind::ReadOnlyFile, "Saved.idx", 0, 0));
        EXPECT_TRUE(reportedOnce(problems, Kind::ReadOnlyFile, "Saveddb.fpt", 0, 0));
        EXPECT_TRUE(reportedOnce(problems, Kind::StrayFile, "Saved.idx", 0, 0));
        EXPECT_TRUE(reportedOnce(problems, Kind::DamagedRecord, "Saveddb.dbf", 1, 0));
        EXPECT_EQ(problems.size(), 4u) << listed(problems);
    });
    EXPECT_EQ(status, 0);
}

TEST(DataCheck, unreadableFolder_saysPermissionDenied) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every folder";
    }
    DataFolder folder;
    folder.write();
    std::filesystem::permissions(folder.folder(), std::filesystem::perms::none);
    const auto problems = engine::checkDataFolder(folder.folder());
    std::filesystem::permissions(folder.folder(), std::filesystem::perms::owner_all);
    ASSERT_EQ(problems.size(), 1u) << listed(problems);
    EXPECT_EQ(problems[0].kind, Kind::UnreadableFolder);
    EXPECT_NE(problems[0].message.find("ermission denied"), std::string::npos) << problems[0].message;
}

// The command line: one line per problem and status 1, or a one-line summary and status 0.
CliOutcome checkData(const std::filesystem::path& folder) {
    return runCli({"check-data", "--data", folder.string()}, CliStderr::Kept);
}

TEST(DataCheckCommand, soundAndBrokenFolders_giveStatusAndOneLinePerProblem) {
    if (!std::filesystem::exists(std::filesystem::path(ARROWSEL_BINARY_DIR) / "tools" / "arrowsel-cli")) {
        GTEST_SKIP() << "arrowsel-cli not built";
    }
    DataFolder sound;
    sound.write();
    const auto ok = checkData(sound.folder());
    EXPECT_EQ(ok.status, 0) << ok.out;
    EXPECT_EQ(ok.out, sound.folder().string() + ": no problems found\n");

    DataFolder broken;
    broken.hunting[12]["SH3SIZE"] = "2413";
    broken.hunting[12]["SH3SPINE"] = ".300";
    broken.write();
    std::filesystem::remove(broken.folder() / "Saved.idx");
    const auto bad = checkData(broken.folder());
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find("Saved.idx: "), std::string::npos) << bad.out;
    EXPECT_NE(bad.out.find("HUNTCHRT.DBF row 13 cell 3: key '2413.300' not found in specs.idx\n"), std::string::npos)
        << bad.out;
    EXPECT_NE(bad.out.find(": 2 problems found\n"), std::string::npos) << bad.out;
}

// The settings file read as the program reads it: a line it would refuse is a problem of its own,
// and the folder's customer files are still checked (without the line they are the book).
TEST(DataCheckCommand, aSettingsLineTheProgramWouldRefuse_isNamed) {
    if (!std::filesystem::exists(std::filesystem::path(ARROWSEL_BINARY_DIR) / "tools" / "arrowsel-cli")) {
        GTEST_SKIP() << "arrowsel-cli not built";
    }
    for (const char* line : {"book=postgresql://counter:S3cret@db/shop", "book=postgresql://counter@[::1/shop",
                             "book=/srv/customers", "bok=postgresql://db/shop"}) {
        DataFolder folder;
        folder.write();
        std::ofstream(folder.folder() / "arrowsel.ini") << "[customers]\n" << line << "\n";
        const auto checked = checkData(folder.folder());
        EXPECT_EQ(checked.status, 1) << line;
        EXPECT_NE(checked.out.find("arrowsel.ini: "), std::string::npos) << checked.out;
        EXPECT_NE(checked.out.find("line 2"), std::string::npos) << checked.out;
        EXPECT_EQ(checked.out.find("S3cret"), std::string::npos) << checked.out;
        EXPECT_NE(checked.out.find(": 1 problem found\n"), std::string::npos) << checked.out;
    }
}

} // namespace
} // namespace arrowsel::test
