// SPDX-License-Identifier: GPL-3.0-or-later
// Positioning: record order, index order, go, and the seek rule (partial keys; a miss stands on the last key).

#include "data/dbf_table.h"
#include "data/table_error.h"
#include "tests/support/dbf_forge.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

using namespace arrowsel::data;
using namespace arrowsel::test;
namespace fs = std::filesystem;

namespace {

// Names in record order; index order by NAME is: Adams(4) Baker(2) Brown(5) Clark(1) Young(3).
const std::vector<std::string> kNames = {"Clark", "Baker", "Young", "Adams", "Brown"};

void makeTable(const fs::path& path, const std::vector<std::string>& names = kNames) {
    TDbfTable::create(path, {{"NAME", FieldType::Character, 10}, {"NUM", FieldType::Numeric, 5}});
    TDbfTable t;
    t.open(path);
    int n = 0;
    for (const std::string& name : names) {
        t.insert();
        t.setFieldText("NAME", name);
        t.setFieldText("NUM", std::to_string(++n * 10));
        t.post();
    }
}

std::vector<std::uint32_t> walkForward(TDbfTable& t) {
    std::vector<std::uint32_t> out;
    for (t.first(); !t.eof(); t.next()) {
        out.push_back(t.recNo());
    }
    return out;
}

std::vector<std::uint32_t> walkBackward(TDbfTable& t) {
    std::vector<std::uint32_t> out;
    for (t.last(); !t.bof(); t.prior()) {
        out.push_back(t.recNo());
    }
    return out;
}

using Order = std::vector<std::uint32_t>;

} // namespace

TEST(DbfNavigation, recordOrder_forwardAndBackward) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf");
    EXPECT_EQ(walkForward(t), (Order{1, 2, 3, 4, 5}));
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recNo(), 6u); // past the end
    EXPECT_EQ(t.fieldText("NAME"), "");
    EXPECT_EQ(walkBackward(t), (Order{5, 4, 3, 2, 1}));
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.recNo(), 1u); // stays on the first record
    EXPECT_EQ(t.fieldText("NAME"), "Clark     ");
}

TEST(DbfNavigation, priorFromTheEnd_goesToTheLastRecord) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.last();
    t.next();
    ASSERT_TRUE(t.eof());
    t.prior();
    EXPECT_FALSE(t.eof());
    EXPECT_EQ(t.recNo(), 5u);
}

TEST(DbfNavigation, goToRecord_andOutOfRange) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.go(3);
    EXPECT_EQ(t.fieldText("NAME"), "Young     ");
    EXPECT_EQ(t.fieldInteger("NUM"), 30);
    t.next();
    EXPECT_EQ(t.recNo(), 4u);
    EXPECT_THROW(t.go(0), ETableError);
    EXPECT_THROW(t.go(6), ETableError);
    EXPECT_EQ(t.recNo(), 4u); // a failed go leaves the table where it was
    EXPECT_EQ(t.fieldText("NAME"), "Adams     ");
}

TEST(DbfNavigation, emptyTable_isAtBothEnds) {
    TempDir dir;
    makeTable(dir / "t.dbf", {});
    TDbfTable t;
    t.open(dir / "t.dbf");
    EXPECT_TRUE(t.eof());
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.recordCount(), 0u);
    t.last();
    EXPECT_TRUE(t.eof());
    t.next();
    t.prior();
    EXPECT_TRUE(t.bof());
}

TEST(DbfNavigation, indexOrder_controlsFirstNextLastPrior) {
    for (const IndexKind kind : {IndexKind::Compact, IndexKind::NonCompact}) {
        SCOPED_TRACE(kind == IndexKind::Compact ? "compact" : "non-compact");
        TempDir dir;
        makeTable(dir / "t.dbf");
        {
            TDbfTable t;
            t.open(dir / "t.dbf");
            t.createIndex("names.idx", "NAME", kind);
            EXPECT_TRUE(t.hasControllingIndex());
        }
        TDbfTable t;
        t.open(dir / "t.dbf");
        t.openIndexFile("NAMES.IDX"); // names in the table's folder, any letter case
        EXPECT_EQ(walkForward(t), (Order{4, 2, 5, 1, 3}));
        EXPECT_EQ(walkBackward(t), (Order{3, 1, 5, 2, 4}));
        EXPECT_EQ(t.recordCount(), 5u);
        t.go(2); // positions in the index too
        t.next();
        EXPECT_EQ(t.recNo(), 5u);
        t.closeIndexes();
        EXPECT_FALSE(t.hasControllingIndex());
        EXPECT_EQ(t.recNo(), 5u);
        t.first();
        EXPECT_EQ(t.recNo(), 1u);
    }
}

TEST(DbfNavigation, lastOpenedIndex_controls) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.createIndex("names.idx", "NAME");
    t.createIndex("desc.idx", "STR(100-NUM,5)");
    EXPECT_EQ(walkForward(t), (Order{5, 4, 3, 2, 1}));
    t.openIndexFile("names.idx"); // open again: controls again
    EXPECT_EQ(walkForward(t), (Order{4, 2, 5, 1, 3}));
}

TEST(DbfNavigation, seekFound_standsOnTheFirstMatchInIndexOrder) {
    TempDir dir;
    makeTable(dir / "t.dbf", {"Smith", "Baker", "Smithers", "Adams", "Smith"});
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.createIndex("names.idx", "NAME");
    EXPECT_TRUE(t.seek("Smith"));
    EXPECT_EQ(t.recNo(), 1u); // equal keys in record order: 1 before 5
    EXPECT_EQ(t.fieldText("NAME"), "Smith     ");
    t.next();
    EXPECT_EQ(t.recNo(), 5u);
    t.next();
    EXPECT_EQ(t.recNo(), 3u);
    EXPECT_TRUE(t.seek("Sm")); // a partial key matches keys that begin with it
    EXPECT_EQ(t.recNo(), 1u);
    EXPECT_TRUE(t.seek("Smithe"));
    EXPECT_EQ(t.recNo(), 3u);
    EXPECT_TRUE(t.seek("B"));
    EXPECT_EQ(t.recNo(), 2u);
    EXPECT_TRUE(t.seek("")); // the empty key matches the first key
    EXPECT_EQ(t.recNo(), 4u);
    EXPECT_TRUE(t.seek("Adams     ")); // blanks up to the key's width match its padding
    EXPECT_TRUE(t.seek("Adams          "));
    EXPECT_EQ(t.recNo(), 4u);
}

TEST(DbfNavigation, seekNotFound_standsOnTheLastRecordInIndexOrder) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.createIndex("names.idx", "NAME");
    t.go(2);
    EXPECT_FALSE(t.seek("Nobody"));
    EXPECT_FALSE(t.eof());
    EXPECT_EQ(t.recNo(), 3u); // Young: last in index order, not the last record (5)
    EXPECT_EQ(t.fieldText("NAME"), "Young     ");
    t.next();
    EXPECT_TRUE(t.eof());
    EXPECT_FALSE(t.seek("Aaron")); // before every key: still the last one
    EXPECT_EQ(t.recNo(), 3u);
    EXPECT_FALSE(t.seek("Youngest"));
    EXPECT_EQ(t.recNo(), 3u);
    EXPECT_FALSE(t.seek("clark")); // case matters
    EXPECT_EQ(t.recNo(), 3u);
    EXPECT_FALSE(t.seek("Cl😀")); // a character the code page cannot hold matches nothing
    EXPECT_EQ(t.recNo(), 3u);
}

TEST(DbfNavigation, seekWithoutIndex_returnsFalseAndDoesNotMove) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.go(4);
    EXPECT_FALSE(t.seek("Adams"));
    EXPECT_EQ(t.recNo(), 4u);
    EXPECT_FALSE(t.eof());
    EXPECT_EQ(t.fieldText("NAME"), "Adams     ");
    t.createIndex("names.idx", "NAME");
    t.closeIndexes();
    t.go(2);
    EXPECT_FALSE(t.seek("Adams"));
    EXPECT_EQ(t.recNo(), 2u);
}

TEST(DbfNavigation, seekInAnEmptyIndex_isAtTheEnd) {
    TempDir dir;
    makeTable(dir / "t.dbf", {});
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.createIndex("names.idx", "NAME");
    EXPECT_FALSE(t.seek("A"));
    EXPECT_TRUE(t.eof());
}

TEST(DbfNavigation, seekOnAConcatenatedKey_asTheSpecificationsTableIsRead) {
    TempDir dir;
    TDbfTable::create(dir / "specs.dbf", {{"SIZE", FieldType::Character, 6}, {"SPINE", FieldType::Character, 6}});
    {
        TDbfTable t;
        t.open(dir / "specs.dbf");
        for (const auto& [size, spine] : std::vector<std::pair<const char*, const char*>>{
                 {"300", ".300"}, {"340", ".340"}, {"400", ".400"}, {"3L-04", "FMJ"}}) {
            t.insert();
            t.setFieldText("SIZE", size);
            t.setFieldText("SPINE", spine);
            t.post();
        }
        t.createIndex("specs.idx", "TRIM(SIZE)+TRIM(SPINE)", IndexKind::NonCompact);
    }
    TDbfTable t;
    t.open(dir / "Specs.DBF", TDbfTable::OpenMode::ReadOnly);
    t.openIndexFile("specs.idx");
    EXPECT_TRUE(t.seek("340.340"));
    EXPECT_EQ(t.recNo(), 2u);
    EXPECT_TRUE(t.seek("3L-04FMJ"));
    EXPECT_EQ(t.recNo(), 4u);
    EXPECT_FALSE(t.seek("999.999"));
}

TEST(DbfNavigation, seekNumber_onANumericKey) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.createIndex("num.idx", "NUM");
    EXPECT_TRUE(t.seekNumber(30));
    EXPECT_EQ(t.recNo(), 3u);
    EXPECT_TRUE(t.seek("40"));
    EXPECT_EQ(t.recNo(), 4u);
    EXPECT_FALSE(t.seekNumber(35));
    EXPECT_EQ(t.recNo(), 5u);
}

TEST(DbfNavigation, appendsAndKeyEdits_keepEveryOpenIndexCurrent) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.createIndex("num.idx", "NUM");
    t.createIndex("names.idx", "NAME");
    t.insert();
    t.setFieldText("NAME", "Abbot");
    t.setFieldText("NUM", "5");
    t.post();
    EXPECT_EQ(t.recNo(), 6u);
    t.next();
    EXPECT_EQ(t.recNo(), 4u); // Adams follows Abbot in name order
    ASSERT_TRUE(t.seek("Young"));
    t.edit();
    t.setFieldText("NAME", "Aaron");
    t.post();
    EXPECT_EQ(walkForward(t), (Order{3, 6, 4, 2, 5, 1}));
    t.closeIndexes();
    t.openIndexFile("num.idx");
    EXPECT_EQ(walkForward(t), (Order{6, 1, 2, 3, 4, 5}));
    t.reindex();
    EXPECT_EQ(walkForward(t), (Order{6, 1, 2, 3, 4, 5}));
    t.close();
    t.open(dir / "t.dbf");
    t.openIndexFile("names.idx");
    EXPECT_EQ(walkForward(t), (Order{3, 6, 4, 2, 5, 1}));
}

TEST(DbfNavigation, anotherUsersAppends_areSeenWhenPositioning) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    TDbfTable reader;
    reader.open(dir / "t.dbf");
    reader.createIndex("names.idx", "NAME");
    reader.closeIndexes();
    TDbfTable writer;
    writer.open(dir / "t.dbf");
    writer.openIndexFile("names.idx");
    reader.openIndexFile("names.idx");
    EXPECT_EQ(reader.recordCount(), 5u);
    writer.insert();
    writer.setFieldText("NAME", "Zed");
    writer.post();
    EXPECT_EQ(reader.recordCount(), 6u);
    EXPECT_TRUE(reader.seek("Zed"));
    EXPECT_EQ(reader.recNo(), 6u);
    reader.closeIndexes();
    reader.go(6);
    EXPECT_EQ(reader.fieldText("NAME"), "Zed       ");
    // An edit by the other user is seen when the reader goes to the record again.
    writer.go(1);
    writer.edit();
    writer.setFieldText("NAME", "Changed");
    writer.post();
    reader.go(1);
    EXPECT_EQ(reader.fieldText("NAME"), "Changed   ");
    // A record being read sequentially picks up appends at the end.
    reader.go(6);
    writer.insert();
    writer.setFieldText("NAME", "Last");
    writer.post();
    reader.next();
    EXPECT_FALSE(reader.eof());
    EXPECT_EQ(reader.fieldText("NAME"), "Last      ");
}
