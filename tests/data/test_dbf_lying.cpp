// SPDX-License-Identifier: GPL-3.0-or-later
// Files that lie about themselves: a header length or a size that does not fit the fields, a
// named pipe in place of a file, a field type the engine cannot read, an index older than its
// table. Each is refused with a message naming the file, never read shifted, waited on or
// written.

#include "data/dbf_table.h"
#include "data/table_error.h"
#include "tests/support/dbf_forge.h"
#include "tests/support/table_errors.h"
#include "tests/support/temp_dir.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace arrowsel::data;
using namespace arrowsel::test;
namespace fs = std::filesystem;

namespace {

// Five customers, as in a small shop's saved setups.
DbfForge fiveCustomers() {
    DbfForge f(0x03, {{"NAME", 'C', 40}, {"CITY", 'C', 20}});
    for (const char* name : {"Adams", "Baker", "Clark", "Davis", "Evans"}) {
        f.record({name, "Springfield"});
    }
    return f;
}

std::vector<std::string> namesOf(TDbfTable& t) {
    std::vector<std::string> names;
    for (t.first(); !t.eof(); t.next()) {
        names.push_back(t.fieldText("NAME").substr(0, 5));
    }
    return names;
}

} // namespace

TEST(DbfLyingHeader, headerLengthBeyondItsFields_isRefusedAndNeverWritten) {
    TempDir dir;
    for (const int extra : {32, 2, 1}) {
        DbfForge f = fiveCustomers();
        f.headerLengthOverride = f.headerLength() + extra;
        std::string bytes = f.bytes();
        if (extra <= 2) {
            // Record bytes where a pad byte could be: not zero, so no writer's padding.
            bytes.insert(f.headerLength(), std::string(static_cast<std::size_t>(extra), ' '));
        }
        writeFile(dir / "Saveddb.dbf", bytes);
        for (const auto mode : {TDbfTable::OpenMode::Shared, TDbfTable::OpenMode::ReadOnly}) {
            TDbfTable t;
            const std::string error = errorOf([&] { t.open(dir / "Saveddb.dbf", mode); });
            EXPECT_TRUE(contains(error, "Saveddb.dbf is damaged: its header length (" +
                                            std::to_string(f.headerLength() + extra) +
                                            ") does not match its 2 fields (" + std::to_string(f.headerLength()) + ")"))
                << extra << ": " << error;
            EXPECT_FALSE(t.isOpen());
        }
        EXPECT_EQ(readFile(dir / "Saveddb.dbf"), bytes) << extra;
    }
}

TEST(DbfLyingHeader, headerLengthsWritersReallyUse_open) {
    TempDir dir;
    {
        DbfForge f(0x03, {{"NAME", 'C', 40}, {"CITY", 'C', 20}}, 0x03, true); // FoxPro writer's backlink
        f.record({"Adams", "Boston"});
        f.write(dir / "backlink.dbf");
        TDbfTable t;
        t.open(dir / "backlink.dbf");
        EXPECT_EQ(namesOf(t), std::vector<std::string>{"Adams"});
    }
    {
        DbfForge f = fiveCustomers();
        f.headerLengthOverride = f.headerLength() + 1;
        std::string bytes = f.bytes();
        bytes.insert(f.headerLength(), 1, '\0'); // a NUL after the end mark
        writeFile(dir / "pad.dbf", bytes);
        TDbfTable t;
        t.open(dir / "pad.dbf");
        EXPECT_EQ(namesOf(t), (std::vector<std::string>{"Adams", "Baker", "Clark", "Davis", "Evans"}));
    }
}

TEST(DbfLyingHeader, sizeNotHeaderPlusWholeRecords_isRefusedAndNeverWritten) {
    TempDir dir;
    DbfForge f = fiveCustomers();
    f.endMark = false;
    const std::string whole = f.bytes();
    for (const std::string& tail : {std::string("Frank"),
                                    std::string("\x1A"
                                                "abc"),
                                    std::string(1, '\0')}) {
        writeFile(dir / "SHOPINFO.DBF", whole + tail);
        const std::string error = errorOf([&] {
            TDbfTable t;
            t.open(dir / "SHOPINFO.DBF");
        });
        EXPECT_TRUE(contains(error, "SHOPINFO.DBF is damaged: its length (" +
                                        std::to_string(whole.size() + tail.size()) + " bytes) is not its header"))
            << error;
        EXPECT_EQ(readFile(dir / "SHOPINFO.DBF"), whole + tail);
    }
    // An end mark, alone or padded, is no record.
    for (const std::string& tail : {std::string(), std::string("\x1A"), std::string("\x1A\0\0\x1A", 4)}) {
        writeFile(dir / "SHOPINFO.DBF", whole + tail);
        TDbfTable t;
        t.open(dir / "SHOPINFO.DBF");
        EXPECT_EQ(t.recordCount(), 5u);
    }
}

TEST(DbfLyingHeader, namedPipesInPlaceOfTableMemoOrIndex_areRefusedWithoutWaiting) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.dbf").c_str(), 0600), 0);
    for (const auto mode : {TDbfTable::OpenMode::Shared, TDbfTable::OpenMode::ReadOnly}) {
        const std::string error = errorOf([&] {
            TDbfTable t;
            t.open(dir / "pipe.dbf", mode);
        });
        EXPECT_TRUE(contains(error, "Unable to open table.\rFile: " + (dir / "pipe.dbf").string())) << error;
        EXPECT_TRUE(contains(error, "not a regular file")) << error;
    }

    TDbfTable::create(dir / "memo.dbf", {{"NAME", FieldType::Character, 10}, {"NOTE", FieldType::Memo, 0}});
    fs::remove(dir / "memo.fpt");
    ASSERT_EQ(::mkfifo((dir / "memo.fpt").c_str(), 0600), 0);
    const std::string memoError = errorOf([&] {
        TDbfTable t;
        t.open(dir / "memo.dbf", TDbfTable::OpenMode::ReadOnly);
    });
    EXPECT_TRUE(contains(memoError, "memo.fpt: not a regular file")) << memoError;

    TDbfTable::create(dir / "t.dbf", {{"NAME", FieldType::Character, 10}});
    ASSERT_EQ(::mkfifo((dir / "t.idx").c_str(), 0600), 0);
    TDbfTable t;
    t.open(dir / "t.dbf");
    const std::string indexError = errorOf([&] { t.openIndexFile("t.idx"); });
    EXPECT_TRUE(contains(indexError, "t.idx: not a regular file")) << indexError;
}

TEST(DbfUnreadableType, fieldTheProgramReads_isRefusedNamingTableAndField_othersStayHarmless) {
    TempDir dir;
    DbfForge f(0x30, {{"SH1SIZE", 'Q', 8}, {"SH1SPINE", 'C', 5}, {"_NullFlags", '0', 1}}, 0x03, true);
    f.record({"2213    ", ".461", std::string(1, '\0')});
    f.write(dir / "chart.dbf");
    TDbfTable t;
    t.open(dir / "chart.dbf", TDbfTable::OpenMode::ReadOnly);
    EXPECT_EQ(t.fieldText("SH1SPINE"), ".461 ");
    for (const auto& read : std::vector<std::function<void()>>{[&] { (void)t.fieldText("SH1SIZE"); },
                                                               [&] { (void)t.fieldFloat("sh1size"); }}) {
        const std::string error = errorOf(read);
        EXPECT_TRUE(contains(error, "chart.dbf has the field SH1SIZE of type Q, which this program cannot read"))
            << error;
    }
}

namespace {

// A table of shafts with an index on its key, then the records rewritten in another order by a
// program that left the index alone.
class StaleIndex : public ::testing::Test {
protected:
    StaleIndex() {
        TDbfTable::create(dir / "Specs.DBF", {{"SPECKEY", FieldType::Character, 12}, {"GPI", FieldType::Character, 6}});
        TDbfTable t;
        t.open(dir / "Specs.DBF");
        for (const auto& [key, gpi] : {std::pair{"2213.461", "9.60"}, {"2315.400", "11.20"}, {"400ST", "7.90"}}) {
            t.insert();
            t.setFieldText("SPECKEY", key);
            t.setFieldText("GPI", gpi);
            t.post();
        }
        t.createIndex("specs.idx", "SPECKEY");
    }

    void swapFirstTwoRecords() {
        std::string bytes = readFile(dir / "Specs.DBF");
        const std::size_t h = 32 + 2 * 32 + 1;
        const std::size_t r = 1 + 12 + 6;
        std::string first = bytes.substr(h, r);
        bytes.replace(h, r, bytes.substr(h + r, r));
        bytes.replace(h + r, r, first);
        writeFile(dir / "Specs.DBF", bytes);
    }

    TempDir dir;
};

} // namespace

TEST_F(StaleIndex, seekLandingOnAnotherKey_saysTheIndexDoesNotMatch_andReadsNothing) {
    swapFirstTwoRecords();
    for (const auto mode : {TDbfTable::OpenMode::ReadOnly, TDbfTable::OpenMode::Shared}) {
        TDbfTable t;
        t.open(dir / "Specs.DBF", mode);
        t.openIndexFile("specs.idx");
        EXPECT_TRUE(t.seek("400ST")); // its record did not move
        const std::string error = errorOf([&] { t.seek("2213.461"); });
        EXPECT_TRUE(contains(error, "specs.idx does not match the table " + (dir / "Specs.DBF").string())) << error;
        EXPECT_TRUE(contains(error, "its entry \"2213.461\" leads to record 1, which holds \"2315.400\"")) << error;
        EXPECT_TRUE(contains(error, "Rebuild the index specs.idx from Specs.DBF.")) << error;
        const std::vector<std::string> faults = t.indexFaults();
        ASSERT_EQ(faults.size(), 1u);
        EXPECT_TRUE(contains(faults[0], "specs.idx does not match Specs.DBF: record 1 holds \"2315.400\" where "
                                        "specs.idx says \"2213.461\" (and 1 more)"))
            << faults[0];
    }
}

TEST_F(StaleIndex, entriesPastTheTableAndMissingKeys_areNamedByTheCheck) {
    {
        TDbfTable t;
        t.open(dir / "Specs.DBF");
        t.openIndexFile("specs.idx");
        EXPECT_TRUE(t.indexFaults().empty());
    }
    // The table loses its last record; the index still names it.
    std::string bytes = readFile(dir / "Specs.DBF");
    bytes.resize(32 + 2 * 32 + 1 + 2 * 19);
    bytes.replace(4, 4, le32(2));
    writeFile(dir / "Specs.DBF", bytes);
    TDbfTable t;
    t.open(dir / "Specs.DBF", TDbfTable::OpenMode::ReadOnly);
    t.openIndexFile("specs.idx");
    const std::vector<std::string> faults = t.indexFaults();
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[0], "specs.idx holds 3 keys for the 2 records of Specs.DBF");
    EXPECT_EQ(faults[1], "specs.idx names record 3, past the 2 records of Specs.DBF");
}
