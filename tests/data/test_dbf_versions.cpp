// SPDX-License-Identifier: GPL-3.0-or-later
// Reading each DBF version the engine supports, from files forged byte by byte.

#include "data/dbf_table.h"
#include "data/table_error.h"
#include "tests/support/dbf_forge.h"
#include "tests/support/temp_dir.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace arrowsel::data;
using namespace arrowsel::test;

namespace {

std::vector<ForgeField> plainFields() {
    return {{"NAME", 'C', 10}, {"QTY", 'N', 6, 2}, {"BORN", 'D', 8}, {"OK", 'L', 1}};
}

void expectPlainRecords(TDbfTable& t) {
    ASSERT_EQ(t.recordCount(), 2u);
    t.first();
    EXPECT_EQ(t.fieldText("NAME"), "Smith     ");
    EXPECT_EQ(t.fieldText("qty"), "12.50");
    EXPECT_DOUBLE_EQ(t.fieldFloat("QTY"), 12.5);
    EXPECT_EQ(t.fieldText("BORN"), "19700102");
    EXPECT_EQ(t.fieldText("OK"), "T");
    EXPECT_FALSE(t.isDeleted());
    t.next();
    EXPECT_EQ(t.fieldText("NAME"), "abc       ");
    EXPECT_EQ(t.fieldText("QTY"), "-3.00");
    EXPECT_EQ(t.fieldInteger("QTY"), -3);
    EXPECT_EQ(t.fieldText("BORN"), "");
    EXPECT_EQ(t.fieldText("OK"), "");
    EXPECT_TRUE(t.isDeleted());
    t.next();
    EXPECT_TRUE(t.eof());
}

DbfForge plainForge(std::uint8_t version, const std::vector<ForgeField>& extra = {}, bool backlink = false) {
    std::vector<ForgeField> fields = plainFields();
    fields.insert(fields.end(), extra.begin(), extra.end());
    return DbfForge(version, fields, 0x03, backlink);
}

} // namespace

TEST(DbfVersions, dbase3_readsEveryFieldAndDeletedRecords) {
    TempDir dir;
    DbfForge f = plainForge(0x03);
    f.record({"Smith", padLeft("12.50", 6), "19700102", "T"});
    f.record({"abc", padLeft("-3.00", 6), "", "?"}, true);
    f.write(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf");
    EXPECT_EQ(t.version(), 0x03);
    EXPECT_EQ(t.codePage(), CodePage::Windows1252);
    ASSERT_EQ(t.fields().size(), 4u);
    EXPECT_EQ(t.fields()[1].name, "QTY");
    EXPECT_EQ(t.fields()[1].type, FieldType::Numeric);
    EXPECT_EQ(t.fields()[1].width, 6);
    EXPECT_EQ(t.fields()[1].decimals, 2);
    EXPECT_EQ(t.fields()[1].offset, 11);
    expectPlainRecords(t);
}

TEST(DbfVersions, dbase3WithDbtMemo_readsMemoText) {
    TempDir dir;
    DbtForge memo;
    const std::uint32_t b1 = memo.add("first memo\r\nline two");
    DbfForge f = plainForge(0x83, {{"NOTES", 'M', 10}});
    f.record({"Smith", padLeft("12.50", 6), "19700102", "T", padLeft(std::to_string(b1), 10)});
    f.record({"abc", padLeft("-3.00", 6), "", "?", ""}, true);
    f.write(dir / "t.dbf");
    memo.write(dir / "t.dbt");
    TDbfTable t;
    t.open(dir / "t.dbf");
    EXPECT_EQ(t.version(), 0x83);
    expectPlainRecords(t);
    t.first();
    EXPECT_EQ(t.fieldText("NOTES"), "first memo\r\nline two");
    t.next();
    EXPECT_EQ(t.fieldText("NOTES"), "");
}

TEST(DbfVersions, foxPro2WithFpt_readsMemosOfAnyBlockSize) {
    for (const std::uint32_t blockSize : {1u, 32u, 64u, 512u, 1024u}) {
        SCOPED_TRACE(blockSize);
        TempDir dir;
        FptForge memo(blockSize);
        const std::uint32_t b1 = memo.add(std::string(700, 'x') + "end");
        const std::uint32_t b2 = memo.add("");
        DbfForge f = plainForge(0xF5, {{"NOTES", 'M', 10}});
        f.record({"Smith", padLeft("12.50", 6), "19700102", "T", padLeft(std::to_string(b1), 10)});
        f.record({"abc", padLeft("-3.00", 6), "", "?", padLeft(std::to_string(b2), 10)}, true);
        f.write(dir / "t.dbf");
        memo.write(dir / "t.fpt");
        TDbfTable t;
        t.open(dir / "t.dbf");
        EXPECT_EQ(t.version(), 0xF5);
        expectPlainRecords(t);
        t.first();
        EXPECT_EQ(t.fieldText("NOTES"), std::string(700, 'x') + "end");
        t.next();
        EXPECT_EQ(t.fieldText("NOTES"), ""); // a zero-length memo block
    }
}

TEST(DbfVersions, foxPro2WithBacklink_asPythonDbfWritesIt_isRead) {
    TempDir dir;
    FptForge memo(64);
    const std::uint32_t b1 = memo.add("memo");
    DbfForge f = plainForge(0xF5, {{"NOTES", 'M', 10}}, /*backlink=*/true);
    f.record({"Smith", padLeft("12.50", 6), "19700102", "T", padLeft(std::to_string(b1), 10)});
    f.record({"abc", padLeft("-3.00", 6), "", "?", ""}, true);
    f.write(dir / "t.dbf");
    memo.write(dir / "T.FPT");
    TDbfTable t;
    t.open(dir / "t.dbf");
    expectPlainRecords(t);
    t.first();
    EXPECT_EQ(t.fieldText("NOTES"), "memo");
}

TEST(DbfVersions, visualFoxPro_readsBinaryMemoPointersIntegersAndBlobs) {
    for (const std::uint8_t version : {std::uint8_t{0x30}, std::uint8_t{0x31}}) {
        TempDir dir;
        FptForge memo(64);
        const std::uint32_t b1 = memo.add("vfp memo");
        const std::uint32_t pic = memo.add(std::string("\x00\x01\x02\xFF", 4), 0);
        DbfForge f = plainForge(version, {{"CNT", 'I', 4}, {"NOTES", 'M', 4}, {"PIC", 'P', 4}, {"DBL", 'B', 8}},
                                /*backlink=*/true);
        double d = 2.25;
        std::string dbl(8, '\0');
        std::memcpy(dbl.data(), &d, 8);
        f.record({"Smith", padLeft("12.50", 6), "19700102", "T", le32(static_cast<std::uint32_t>(-2)), le32(b1),
                  le32(pic), dbl});
        f.record({"abc", padLeft("-3.00", 6), "", "?", le32(7), le32(0), le32(0), std::string(8, '\0')}, true);
        f.write(dir / "t.dbf");
        memo.write(dir / "t.fpt");
        TDbfTable t;
        t.open(dir / "t.dbf");
        EXPECT_EQ(t.version(), version);
        expectPlainRecords(t);
        t.first();
        EXPECT_EQ(t.fieldText("CNT"), "-2");
        EXPECT_EQ(t.fieldInteger("CNT"), -2);
        EXPECT_EQ(t.fieldText("NOTES"), "vfp memo");
        EXPECT_EQ(t.fieldBlob("PIC"), std::string("\x00\x01\x02\xFF", 4));
        EXPECT_EQ(t.fieldText("PIC"), "");
        EXPECT_DOUBLE_EQ(t.fieldFloat("DBL"), 2.25);
        t.next();
        EXPECT_EQ(t.fieldText("CNT"), "7");
        EXPECT_EQ(t.fieldText("NOTES"), "");
        EXPECT_EQ(t.fieldBlob("PIC"), "");
    }
}

TEST(DbfVersions, displacementInDescriptors_isIgnored) {
    TempDir dir;
    DbfForge f = plainForge(0x03);
    f.garbageDisplacement = true;
    f.record({"Smith", padLeft("12.50", 6), "19700102", "T"});
    f.record({"abc", padLeft("-3.00", 6), "", "?"}, true);
    f.write(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf");
    expectPlainRecords(t);
}

TEST(DbfVersions, missingEndOfFileMark_isFine) {
    TempDir dir;
    DbfForge f = plainForge(0x03);
    f.endMark = false;
    f.record({"Smith", padLeft("12.50", 6), "19700102", "T"});
    f.record({"abc", padLeft("-3.00", 6), "", "?"}, true);
    f.write(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf", TDbfTable::OpenMode::ReadOnly);
    expectPlainRecords(t);
}

TEST(DbfVersions, codePageMarks_selectTheConversion) {
    struct Case {
        std::uint8_t mark;
        CodePage cp;
        std::string stored;
    };
    // "é" is 0xE9 in 1252, 0x82 in 437 and 850; "ñ" 0xF1 / 0xA4 / 0xA4; "ü" 0xFC / 0x81 / 0x81.
    const Case cases[] = {
        {0x03, CodePage::Windows1252, "\xE9\xF1\xFC"},
        {0x01, CodePage::Dos437, "\x82\xA4\x81"},
        {0x02, CodePage::Dos850, "\x82\xA4\x81"},
        {0x00, CodePage::Windows1252, "\xE9\xF1\xFC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mark));
        TempDir dir;
        DbfForge f(0x03, {{"NAME", 'C', 5}}, c.mark);
        f.record({c.stored});
        f.write(dir / "t.dbf");
        TDbfTable t;
        t.open(dir / "t.dbf");
        EXPECT_EQ(t.codePage(), c.cp);
        EXPECT_EQ(t.fieldText("NAME"), "éñü  ");
    }
}

TEST(DbfVersions, unknownVersion_isRefusedWithItsByte) {
    TempDir dir;
    DbfForge f(0x8B, {{"NAME", 'C', 5}});
    f.write(dir / "t.dbf");
    TDbfTable t;
    try {
        t.open(dir / "t.dbf");
        FAIL() << "opened";
    } catch (const ETableError& e) {
        EXPECT_NE(std::string(e.what()).find("0x8B"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("t.dbf"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(t.isOpen());
}
