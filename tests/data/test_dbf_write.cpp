// SPDX-License-Identifier: GPL-3.0-or-later
// Creating tables, appending and editing records: every type round trips, the version byte and
// the file layout are as FoxPro 2.x writes them, and text passes through the code page.

#include "data/dbf_table.h"
#include "data/table_error.h"
#include "tests/support/dbf_forge.h"
#include "tests/support/table_errors.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

using namespace arrowsel::data;
using namespace arrowsel::test;
using Spec = TDbfTable::FieldSpec;

namespace {

std::vector<Spec> allTypes() {
    return {{"NAME", FieldType::Character, 12}, {"QTY", FieldType::Numeric, 8, 2}, {"RATIO", FieldType::Float, 10, 4},
            {"BORN", FieldType::Date, 8},       {"OK", FieldType::Logical, 1},     {"NOTES", FieldType::Memo, 10}};
}

} // namespace

TEST(DbfWrite, createWithMemo_writesFoxPro2HeaderAndFpt) {
    TempDir dir;
    TDbfTable::create(dir / "t.dbf", allTypes());
    const std::string bytes = readFile(dir / "t.dbf");
    ASSERT_GE(bytes.size(), 32u + 6 * 32 + 2);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xF5);
    EXPECT_EQ(bytes.substr(4, 4), le32(0));
    EXPECT_EQ(static_cast<unsigned char>(bytes[8]) | static_cast<unsigned char>(bytes[9]) << 8, 32 + 6 * 32 + 1);
    EXPECT_EQ(static_cast<unsigned char>(bytes[10]), 1 + 12 + 8 + 10 + 8 + 1 + 10);
    EXPECT_EQ(static_cast<unsigned char>(bytes[29]), 0x03);
    EXPECT_EQ(bytes[32 + 6 * 32], '\x0D');
    EXPECT_EQ(bytes.back(), '\x1A');
    // Correct displacements are written.
    EXPECT_EQ(bytes.substr(32 + 32 + 12, 4), le32(13));
    const std::string memo = readFile(dir / "t.fpt");
    ASSERT_EQ(memo.size(), 512u);
    EXPECT_EQ(memo.substr(0, 4), be32(8));
    EXPECT_EQ(memo[6], 0);
    EXPECT_EQ(memo[7], 64);
}

TEST(DbfWrite, createVersionByte_followsTheFieldTypes) {
    TempDir dir;
    TDbfTable::create(dir / "plain.dbf", {{"NAME", FieldType::Character, 5}});
    TDbfTable::create(dir / "vfp.dbf",
                      {{"NAME", FieldType::Character, 5}, {"N", FieldType::Integer, 4}, {"M", FieldType::Memo, 0}});
    EXPECT_EQ(static_cast<unsigned char>(readFile(dir / "plain.dbf")[0]), 0x03);
    EXPECT_FALSE(std::filesystem::exists(dir / "plain.fpt"));
    const std::string vfp = readFile(dir / "vfp.dbf");
    EXPECT_EQ(static_cast<unsigned char>(vfp[0]), 0x30);
    EXPECT_EQ(static_cast<unsigned char>(vfp[8]) | static_cast<unsigned char>(vfp[9]) << 8, 32 + 3 * 32 + 1 + 263);
    EXPECT_EQ(vfp[28], 0x02);
    TDbfTable t;
    t.open(dir / "vfp.dbf");
    EXPECT_EQ(t.fieldDef("m")->width, 4);
    t.insert();
    t.setFieldText("N", "-123456");
    t.setFieldText("M", "memo in vfp");
    t.post();
    t.close();
    t.open(dir / "vfp.dbf");
    EXPECT_EQ(t.fieldText("N"), "-123456");
    EXPECT_EQ(t.fieldText("M"), "memo in vfp");
}

TEST(DbfWrite, createRefusesBadDefinitionsAndExistingFiles) {
    TempDir dir;
    EXPECT_TRUE(contains(errorOf([&] { TDbfTable::create(dir / "a.dbf", {}); }), "at least one field"));
    EXPECT_TRUE(contains(errorOf([&] {
                             TDbfTable::create(dir / "a.dbf", {{"1BAD", FieldType::Character, 5}});
                         }),
                         "\"1BAD\" is not a field name"));
    EXPECT_TRUE(
        contains(errorOf([&] {
                     TDbfTable::create(dir / "a.dbf", {{"A", FieldType::Character, 5}, {"a", FieldType::Character, 5}});
                 }),
                 "appears twice"));
    EXPECT_TRUE(contains(errorOf([&] {
                             TDbfTable::create(dir / "a.dbf", {{"A", FieldType::Numeric, 5, 4}});
                         }),
                         "number field A"));
    EXPECT_TRUE(contains(errorOf([&] {
                             TDbfTable::create(dir / "a.dbf", {{"A", FieldType::General, 10}});
                         }),
                         "type (G)"));
    TDbfTable::create(dir / "a", {{"A", FieldType::Character, 5}});
    EXPECT_TRUE(std::filesystem::exists(dir / "a.DBF"));
    EXPECT_TRUE(contains(errorOf([&] {
                             TDbfTable::create(dir / "A.dbf", {{"A", FieldType::Character, 5}});
                         }),
                         "already exists"));
    TDbfTable::create(dir / "A.dbf", {{"B", FieldType::Character, 5}}, CodePage::Windows1252, true);
    TDbfTable t;
    t.open(dir / "a.DBF");
    EXPECT_NE(t.fieldDef("B"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir / "A.dbf"));
}

TEST(DbfWrite, everyType_roundTripsThroughInsertAndPost) {
    TempDir dir;
    TDbfTable::create(dir / "t.dbf", allTypes());
    {
        TDbfTable t;
        t.open(dir / "t.dbf");
        EXPECT_EQ(t.recordCount(), 0u);
        EXPECT_TRUE(t.eof());
        t.insert();
        t.setFieldText("NAME", "Smith");
        t.setFieldText("QTY", "12.5");
        t.setFieldText("RATIO", "-0.125");
        t.setFieldText("BORN", "1970-01-02");
        t.setFieldText("OK", "T");
        t.setFieldText("NOTES", "line one\r\nline \"two\"");
        EXPECT_EQ(t.fieldText("NAME"), "Smith       "); // the edit buffer is readable
        t.post();
        EXPECT_EQ(t.recNo(), 1u);
        EXPECT_FALSE(t.isEditing());
        t.insert();
        t.setFieldText("NAME", "Jones");
        t.setFieldText("QTY", "-3");
        t.setFieldText("OK", "f");
        t.post();
        EXPECT_EQ(t.recordCount(), 2u);
    }
    TDbfTable t;
    t.open(dir / "t.dbf");
    ASSERT_EQ(t.recordCount(), 2u);
    EXPECT_EQ(t.fieldText("NAME"), "Smith       ");
    EXPECT_EQ(t.fieldText("QTY"), "12.50");
    EXPECT_EQ(t.fieldText("RATIO"), "-0.1250");
    EXPECT_EQ(t.fieldText("BORN"), "19700102");
    EXPECT_EQ(t.fieldText("OK"), "T");
    EXPECT_EQ(t.fieldText("NOTES"), "line one\r\nline \"two\"");
    t.next();
    EXPECT_EQ(t.fieldText("NAME"), "Jones       ");
    EXPECT_EQ(t.fieldText("QTY"), "-3.00");
    EXPECT_EQ(t.fieldText("RATIO"), "");
    EXPECT_DOUBLE_EQ(t.fieldFloat("RATIO"), 0.0);
    EXPECT_EQ(t.fieldText("BORN"), "");
    EXPECT_EQ(t.fieldText("OK"), "F");
    EXPECT_EQ(t.fieldText("NOTES"), "");

    // Stored bytes are the FoxPro forms.
    const std::string bytes = readFile(dir / "t.dbf");
    const std::size_t header = 32 + 6 * 32 + 1;
    const std::size_t recordLength = 1 + 12 + 8 + 10 + 8 + 1 + 10;
    ASSERT_EQ(bytes.size(), header + 2 * recordLength + 1);
    EXPECT_EQ(bytes.substr(header, 1 + 12 + 8), " Smith          12.50");
    EXPECT_EQ(bytes.substr(header + 1 + 12 + 8 + 10, 8), "19700102");
    EXPECT_EQ(bytes.substr(header + recordLength - 10, 10), "         8"); // first memo block
    EXPECT_EQ(bytes.substr(header + 2 * recordLength - 10, 10), std::string(10, ' '));
    EXPECT_EQ(bytes.back(), '\x1A');
    EXPECT_EQ(bytes.substr(4, 4), le32(2));
}

TEST(DbfWrite, setFieldText_refusesValuesThatDoNotFit) {
    TempDir dir;
    TDbfTable::create(dir / "t.dbf", {{"NAME", FieldType::Character, 4},
                                      {"QTY", FieldType::Numeric, 5, 2},
                                      {"BORN", FieldType::Date, 8},
                                      {"OK", FieldType::Logical, 1},
                                      {"CNT", FieldType::Integer, 4}});
    TDbfTable t;
    t.open(dir / "t.dbf");
    EXPECT_TRUE(contains(errorOf([&] { t.setFieldText("NAME", "x"); }), "is not being edited"));
    t.insert();
    EXPECT_TRUE(contains(errorOf([&] { t.setFieldText("NAME", "toolong"); }), "field NAME"));
    t.setFieldText("NAME", "abcd   "); // trailing blanks beyond the width are fine
    EXPECT_TRUE(contains(errorOf([&] { t.setFieldText("QTY", "123.45"); }), "does not fit"));
    EXPECT_TRUE(contains(errorOf([&] { t.setFieldText("QTY", "1,5"); }), "is not a number"));
    EXPECT_TRUE(contains(errorOf([&] { t.setFieldText("BORN", "20240230"); }), "is not a date"));
    EXPECT_TRUE(contains(errorOf([&] { t.setFieldText("OK", "maybe"); }), "field OK"));
    EXPECT_TRUE(contains(errorOf([&] { t.setFieldText("CNT", "3000000000"); }), "field CNT"));
    EXPECT_TRUE(contains(errorOf([&] { t.setFieldText("NOPE", "1"); }), "has no field NOPE"));
    t.setFieldText("QTY", " 99.99 ");
    t.setFieldText("CNT", "-2147483648");
    t.post();
    EXPECT_EQ(t.fieldText("QTY"), "99.99");
    EXPECT_EQ(t.fieldText("CNT"), "-2147483648");
    EXPECT_EQ(t.fieldText("NAME"), "abcd");
}

TEST(DbfWrite, numbers_areStoredRoundedAndWithoutNegativeZero) {
    TempDir dir;
    TDbfTable::create(dir / "t.dbf", {{"A", FieldType::Numeric, 6, 1}, {"B", FieldType::Numeric, 4, 0}});
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.insert();
    t.setFieldText("A", "-0.04");
    t.setFieldText("B", "12.7");
    t.post();
    EXPECT_EQ(t.fieldText("A"), "0.0");
    EXPECT_EQ(t.fieldText("B"), "13");
    EXPECT_EQ(t.fieldInteger("B"), 13);
}

TEST(DbfWrite, codePages_roundTripAccentsAndRefuseWhatTheyCannotHold) {
    for (const CodePage cp : {CodePage::Windows1252, CodePage::Dos437, CodePage::Dos850}) {
        SCOPED_TRACE(codePageName(cp));
        TempDir dir;
        TDbfTable::create(dir / "t.dbf", {{"NAME", FieldType::Character, 6}, {"NOTES", FieldType::Memo, 10}}, cp);
        TDbfTable t;
        t.open(dir / "t.dbf");
        EXPECT_EQ(t.codePage(), cp);
        t.insert();
        t.setFieldText("NAME", "éñü"); // 6 bytes of UTF-8, 3 in the code page
        t.setFieldText("NOTES", "Müller, Peña, café");
        const std::string emoji = errorOf([&] { t.setFieldText("NAME", "a😀"); });
        EXPECT_TRUE(contains(emoji, "field NAME")) << emoji;
        EXPECT_TRUE(contains(emoji, "😀")) << emoji;
        EXPECT_TRUE(contains(errorOf([&] { t.setFieldText("NOTES", "😀"); }), "field NOTES"));
        if (cp == CodePage::Dos437) {
            const std::string euro = errorOf([&] { t.setFieldText("NAME", "€"); });
            EXPECT_TRUE(contains(euro, "field NAME")) << euro;
            EXPECT_TRUE(contains(euro, "€")) << euro;
        }
        t.post();
        t.close();
        t.open(dir / "t.dbf");
        EXPECT_EQ(t.fieldText("NAME"), "éñü   ");
        EXPECT_EQ(t.fieldText("NOTES"), "Müller, Peña, café");
        const std::string bytes = readFile(dir / "t.dbf");
        const std::string stored = bytes.substr(32 + 2 * 32 + 1 + 1, 3);
        EXPECT_EQ(stored, cp == CodePage::Windows1252 ? "\xE9\xF1\xFC" : "\x82\xA4\x81");
    }
}

TEST(DbfWrite, euroSign_isStoredIn1252) {
    TempDir dir;
    TDbfTable::create(dir / "t.dbf", {{"NAME", FieldType::Character, 3}});
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.insert();
    t.setFieldText("NAME", "€");
    t.post();
    EXPECT_EQ(t.fieldText("NAME"), "€  ");
}

TEST(DbfWrite, editing_changesOneRecordInPlaceAndKeepsTheOthers) {
    TempDir dir;
    TDbfTable::create(dir / "t.dbf", allTypes());
    TDbfTable t;
    t.open(dir / "t.dbf");
    for (const char* name : {"one", "two", "three"}) {
        t.insert();
        t.setFieldText("NAME", name);
        t.setFieldText("NOTES", std::string(name) + " notes");
        t.post();
    }
    t.go(2);
    t.edit();
    EXPECT_TRUE(t.isEditing());
    t.setFieldText("NAME", "TWO");
    t.setFieldText("NOTES", std::string(300, 'n'));
    EXPECT_EQ(t.fieldText("NOTES"), std::string(300, 'n'));
    t.post();
    t.go(3);
    t.edit();
    t.setFieldText("NAME", "dropped");
    t.cancel();
    EXPECT_EQ(t.fieldText("NAME"), "three       ");
    t.close();
    t.open(dir / "t.dbf");
    EXPECT_EQ(t.recordCount(), 3u);
    t.go(1);
    EXPECT_EQ(t.fieldText("NOTES"), "one notes");
    t.go(2);
    EXPECT_EQ(t.fieldText("NAME"), "TWO         ");
    EXPECT_EQ(t.fieldText("NOTES"), std::string(300, 'n'));
    t.go(3);
    EXPECT_EQ(t.fieldText("NAME"), "three       ");
    EXPECT_EQ(t.fieldText("NOTES"), "three notes");
}

TEST(DbfWrite, cancelledInsert_addsNothingAndReturnsToTheRecord) {
    TempDir dir;
    TDbfTable::create(dir / "t.dbf", {{"NAME", FieldType::Character, 5}});
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.insert();
    t.setFieldText("NAME", "a");
    t.post();
    t.insert();
    t.setFieldText("NAME", "b");
    t.cancel();
    EXPECT_EQ(t.recordCount(), 1u);
    EXPECT_EQ(t.recNo(), 1u);
    EXPECT_EQ(t.fieldText("NAME"), "a    ");
}

TEST(DbfWrite, navigationWhileInserting_postsFirst) {
    TempDir dir;
    TDbfTable::create(dir / "t.dbf", {{"NAME", FieldType::Character, 5}});
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.insert();
    t.setFieldText("NAME", "a");
    t.first();
    EXPECT_FALSE(t.isEditing());
    EXPECT_EQ(t.recordCount(), 1u);
    EXPECT_EQ(t.fieldText("NAME"), "a    ");
}

TEST(DbfWrite, memoEdits_appendNewBlocksAtNextFree) {
    TempDir dir;
    TDbfTable::create(dir / "t.dbf", {{"NOTES", FieldType::Memo, 10}});
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.insert();
    t.setFieldText("NOTES", std::string(100, 'a')); // 108 bytes: blocks 8 and 9
    t.post();
    t.insert();
    t.setFieldText("NOTES", "b"); // block 10
    t.post();
    const std::string memo = readFile(dir / "t.fpt");
    EXPECT_EQ(memo.size(), 11u * 64);
    EXPECT_EQ(memo.substr(0, 4), be32(11));
    EXPECT_EQ(memo.substr(8 * 64, 8), be32(1) + be32(100));
    EXPECT_EQ(memo.substr(10 * 64, 9), be32(1) + be32(1) + "b");
    t.go(1);
    t.edit();
    t.setFieldText("NOTES", "");
    t.post();
    EXPECT_EQ(t.fieldText("NOTES"), "");
    t.go(2);
    EXPECT_EQ(t.fieldText("NOTES"), "b");
}

TEST(DbfWrite, memoInFptWithOtherBlockSize_isAppendedOnItsBlocks) {
    for (const std::uint32_t blockSize : {1u, 512u}) {
        SCOPED_TRACE(blockSize);
        TempDir dir;
        FptForge memo(blockSize);
        const std::uint32_t b = memo.add("old");
        DbfForge f(0xF5, {{"NOTES", 'M', 10}});
        f.record({padLeft(std::to_string(b), 10)});
        f.write(dir / "t.dbf");
        memo.write(dir / "t.fpt");
        TDbfTable t;
        t.open(dir / "t.dbf");
        t.insert();
        t.setFieldText("NOTES", "new memo");
        t.post();
        EXPECT_EQ(t.fieldText("NOTES"), "new memo");
        t.go(1);
        EXPECT_EQ(t.fieldText("NOTES"), "old");
        const std::string bytes = readFile(dir / "t.fpt");
        EXPECT_EQ(bytes.size() % blockSize, 0u);
        EXPECT_EQ(bytes.substr(0, 4), be32(static_cast<std::uint32_t>(bytes.size() / blockSize)));
    }
}

TEST(DbfWrite, dbtMemo_ofDbase3Table_isWritten) {
    TempDir dir;
    DbtForge memo;
    const std::uint32_t b = memo.add("old");
    DbfForge f(0x83, {{"NOTES", 'M', 10}});
    f.record({padLeft(std::to_string(b), 10)});
    f.write(dir / "t.dbf");
    memo.write(dir / "t.dbt");
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.insert();
    t.setFieldText("NOTES", "new");
    t.post();
    t.close();
    t.open(dir / "t.dbf");
    t.go(2);
    EXPECT_EQ(t.fieldText("NOTES"), "new");
    EXPECT_EQ(readFile(dir / "t.dbt").size(), 3u * 512);
}
