// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged and hostile files give an ETableError that says what is wrong, never a crash; a record
// count that disagrees with the file's size is repaired on open.

#include "data/dbf_table.h"
#include "data/table_error.h"
#include "tests/support/dbf_forge.h"
#include "tests/support/table_errors.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <random>

using namespace arrowsel::data;
using namespace arrowsel::test;
namespace fs = std::filesystem;

namespace {

std::string openError(const fs::path& path, TDbfTable::OpenMode mode = TDbfTable::OpenMode::Shared) {
    TDbfTable t;
    try {
        t.open(path, mode);
    } catch (const ETableError& e) {
        EXPECT_FALSE(t.isOpen());
        return e.what();
    }
    return "(no error)";
}

DbfForge twoFields() {
    DbfForge f(0x03, {{"NAME", 'C', 5}, {"QTY", 'N', 4}});
    f.record({"a", "   1"}).record({"b", "   2"}).record({"c", "   3"});
    return f;
}

// Opens a table and reads every field of every record, as the fuzz harness does.
void readEverything(const fs::path& path) {
    TDbfTable t;
    t.open(path, TDbfTable::OpenMode::ReadOnly);
    for (t.first(); !t.eof(); t.next()) {
        for (const FieldDef& f : t.fields()) {
            try {
                (void)t.fieldText(f.name);
                (void)t.fieldBlob(f.name);
                (void)t.fieldFloat(f.name);
            } catch (const ETableError&) {
            }
        }
        (void)t.isDeleted();
    }
}

} // namespace

TEST(DbfHostile, emptyAndTruncatedHeaders_areRefused) {
    TempDir dir;
    writeFile(dir / "empty.dbf", "");
    EXPECT_TRUE(contains(openError(dir / "empty.dbf"), "header is cut short"));
    const std::string full = twoFields().bytes();
    writeFile(dir / "short.dbf", full.substr(0, 20));
    EXPECT_TRUE(contains(openError(dir / "short.dbf"), "short.dbf is damaged: its header is cut short"));
    writeFile(dir / "short2.dbf", full.substr(0, 60));
    EXPECT_TRUE(contains(openError(dir / "short2.dbf"), "header is cut short"));
}

TEST(DbfHostile, inconsistentFieldsAndLengths_areRefused) {
    TempDir dir;
    {
        DbfForge f = twoFields();
        f.recordLengthOverride = 7;
        f.write(dir / "a.dbf");
        EXPECT_TRUE(contains(openError(dir / "a.dbf"), "record length (7) does not match its fields (10)"));
    }
    {
        DbfForge f = twoFields();
        f.terminator = false;
        f.write(dir / "b.dbf");
        EXPECT_TRUE(contains(openError(dir / "b.dbf"), "no end mark"));
    }
    {
        DbfForge f = twoFields();
        f.headerLengthOverride = 40;
        f.write(dir / "c.dbf");
        EXPECT_TRUE(contains(openError(dir / "c.dbf"), "header length (40) is too small"));
    }
    {
        DbfForge f = twoFields();
        f.headerLengthOverride = 65; // one descriptor's worth: the second has no room, no end mark
        f.write(dir / "d.dbf");
        EXPECT_TRUE(contains(openError(dir / "d.dbf"), "damaged"));
    }
    {
        DbfForge f(0x03, {{"D", 'D', 5}});
        f.write(dir / "e.dbf");
        EXPECT_TRUE(contains(openError(dir / "e.dbf"), "field D of type D has width 5"));
    }
    {
        DbfForge f(0x03, {{"", 'C', 5}});
        f.write(dir / "f.dbf");
        EXPECT_TRUE(contains(openError(dir / "f.dbf"), "field 1 has no name"));
    }
    {
        DbfForge f(0x03, {{"Z", 'C', 0}});
        f.recordLengthOverride = 1;
        f.write(dir / "g.dbf");
        EXPECT_TRUE(contains(openError(dir / "g.dbf"), "width 0"));
    }
    {
        std::string bytes = twoFields().bytes();
        bytes[0] = 'P'; // not a table at all
        writeFile(dir / "h.dbf", bytes);
        EXPECT_TRUE(contains(openError(dir / "h.dbf"), "not a FoxPro or dBASE III table"));
    }
}

TEST(DbfHostile, damagedMemos_giveErrorsNamingTheMemoFile) {
    TempDir dir;
    FptForge memo(64);
    const std::uint32_t good = memo.add("good");
    const std::uint32_t huge = memo.add("x", 1, 0xFFFFFFF0); // claims nearly 4 GB
    DbfForge f(0xF5, {{"NOTES", 'M', 10}});
    f.record({padLeft(std::to_string(good), 10)});
    f.record({padLeft(std::to_string(huge), 10)});
    f.record({padLeft("99999", 10)}); // past the end
    f.record({padLeft("1", 10)});     // inside the header
    f.record({"abc"});                // not a number
    f.write(dir / "t.dbf");
    memo.write(dir / "t.fpt");
    TDbfTable t;
    t.open(dir / "t.dbf");
    EXPECT_EQ(t.fieldText("NOTES"), "good");
    const auto memoError = [&](std::uint32_t n) {
        t.go(n);
        try {
            (void)t.fieldText("NOTES");
        } catch (const ETableError& e) {
            return std::string(e.what());
        }
        return std::string("(no error)");
    };
    EXPECT_TRUE(contains(memoError(2), "more than the file holds")) << memoError(2);
    EXPECT_TRUE(contains(memoError(2), "t.fpt"));
    EXPECT_TRUE(contains(memoError(3), "past its end")) << memoError(3);
    EXPECT_TRUE(contains(memoError(4), "inside its header")) << memoError(4);
    EXPECT_TRUE(contains(memoError(5), "record 5")) << memoError(5);
    t.go(1);
    EXPECT_EQ(t.fieldText("NOTES"), "good"); // the table stays usable
    // Copy to text reports the damage instead of writing a partial file.
    EXPECT_THROW(t.copyToText(dir / "out.txt"), ETableError);
    EXPECT_FALSE(fs::exists(dir / "out.txt"));
}

TEST(DbfHostile, memoFileWithBlockSizeZeroOrNoHeader_isRefused) {
    TempDir dir;
    DbfForge f(0xF5, {{"NOTES", 'M', 10}});
    f.write(dir / "t.dbf");
    std::string memo = FptForge(64).bytes();
    memo[6] = 0;
    memo[7] = 0;
    writeFile(dir / "t.fpt", memo);
    EXPECT_TRUE(contains(openError(dir / "t.dbf"), "block size is 0"));
    writeFile(dir / "t.fpt", "abc");
    EXPECT_TRUE(contains(openError(dir / "t.dbf"), "t.fpt is damaged"));
}

TEST(DbfHostile, countLargerThanTheRecordsPresent_isRefusedAndLeftUntouched) {
    TempDir dir;
    DbfForge f = twoFields();
    f.countOverride = 4;
    f.write(dir / "t.dbf");
    const std::string bytes = readFile(dir / "t.dbf");
    for (const auto mode : {TDbfTable::OpenMode::Shared, TDbfTable::OpenMode::ReadOnly}) {
        const std::string error = openError(dir / "t.dbf", mode);
        EXPECT_TRUE(contains(error, "t.dbf is damaged: its header counts 4 records, but the file holds only 3"))
            << error;
        EXPECT_TRUE(contains(error, "restore it from a backup")) << error;
    }
    EXPECT_EQ(readFile(dir / "t.dbf"), bytes);
}

TEST(DbfHostile, countSmallerThanTheRecordsPresent_countsThem) {
    TempDir dir;
    DbfForge f = twoFields();
    f.countOverride = 1;
    f.write(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf");
    EXPECT_EQ(t.recordCount(), 3u);
    t.last();
    EXPECT_EQ(t.fieldText("NAME"), "c    ");
    t.close();
    EXPECT_EQ(readFile(dir / "t.dbf").substr(4, 4), le32(3));
}

TEST(DbfHostile, bytesAfterTheRecordsThatAreNoRecord_areNotCounted) {
    TempDir dir;
    std::string bytes = twoFields().bytes();
    bytes += std::string(40, '\0'); // padding some writers leave after 0x1A
    writeFile(dir / "t.dbf", bytes);
    TDbfTable t;
    t.open(dir / "t.dbf");
    EXPECT_EQ(t.recordCount(), 3u);
}

TEST(DbfHostile, randomDamage_neverCrashes) {
    TempDir dir;
    FptForge memo(64);
    const std::uint32_t b = memo.add("memo text");
    DbfForge base(0x30,
                  {{"NAME", 'C', 5}, {"N", 'N', 5, 2}, {"D", 'D', 8}, {"L", 'L', 1}, {"I", 'I', 4}, {"M", 'M', 4}},
                  0x03, true);
    for (int i = 0; i < 5; ++i) {
        base.record({"x", " 1.50", "20200101", "T", le32(7), le32(b)});
    }
    const std::string good = base.bytes();
    const std::string goodMemo = memo.bytes();
    std::mt19937 random(4242);
    for (int round = 0; round < 400; ++round) {
        std::string dbf = good;
        std::string fpt = goodMemo;
        std::string& target = round % 3 == 0 ? fpt : dbf;
        const int flips = std::uniform_int_distribution<int>(1, 8)(random);
        for (int k = 0; k < flips; ++k) {
            const std::size_t at = std::uniform_int_distribution<std::size_t>(0, target.size() - 1)(random);
            target[at] = static_cast<char>(random());
        }
        if (round % 7 == 0) {
            dbf.resize(std::uniform_int_distribution<std::size_t>(0, dbf.size())(random));
        }
        writeFile(dir / "t.dbf", dbf);
        writeFile(dir / "t.fpt", fpt);
        try {
            readEverything(dir / "t.dbf");
        } catch (const ETableError&) {
        }
    }
}
