// SPDX-License-Identifier: GPL-3.0-or-later
// Opening tables: name rules, the engine's fixed error texts, and the three open modes.

#include "data/dbf_table.h"
#include "data/table_error.h"
#include "tests/support/dbf_forge.h"
#include "tests/support/table_errors.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace arrowsel::data;
using namespace arrowsel::test;
namespace fs = std::filesystem;

namespace {

void makeSpecs(const fs::path& path) {
    TDbfTable::create(path, {{"SIZE", FieldType::Character, 6}, {"GPI", FieldType::Numeric, 5, 1}});
    TDbfTable t;
    t.open(path);
    for (const char* s : {"300", "400", "500"}) {
        t.insert();
        t.setFieldText("SIZE", s);
        t.post();
    }
}

// Runs `f` in the current directory `dir` and comes back.
void inDirectory(const fs::path& dir, const std::function<void()>& f) {
    const fs::path before = fs::current_path();
    fs::current_path(dir);
    try {
        f();
    } catch (...) {
        fs::current_path(before);
        throw;
    }
    fs::current_path(before);
}

} // namespace

TEST(DbfOpen, nameInAnotherLetterCase_opensTheFile) {
    TempDir dir;
    makeSpecs(dir / "specs.dbf");
    TDbfTable t;
    t.open(dir / "Specs.DBF");
    EXPECT_TRUE(t.isOpen());
    EXPECT_EQ(t.path().filename(), "specs.dbf");
    EXPECT_EQ(t.recordCount(), 3u);
    EXPECT_EQ(t.recNo(), 1u); // opens on the first record
    EXPECT_EQ(t.fieldText("SIZE"), "300   ");
    t.close();
    t.open(dir / "SPECS.DBF");
    EXPECT_TRUE(t.isOpen());
}

TEST(DbfOpen, nameWithoutExtension_getsDbf) {
    TempDir dir;
    makeSpecs(dir / "Saveddb.dbf");
    TDbfTable t;
    t.open(dir / "Saveddb");
    EXPECT_EQ(t.path().filename(), "Saveddb.dbf");
}

TEST(DbfOpen, nameWithoutPath_isTakenInTheCurrentDirectory) {
    TempDir dir;
    makeSpecs(dir / "SPECS.DBF");
    TDbfTable t;
    inDirectory(dir.path(), [&] { t.open("Specs.DBF"); });
    EXPECT_TRUE(t.isOpen());
    EXPECT_EQ(t.path(), dir / "SPECS.DBF"); // kept as an absolute path
}

TEST(DbfOpen, missingTable_givesTheFixedText) {
    TempDir dir;
    TDbfTable t;
    const fs::path p = dir / "nothere.dbf";
    EXPECT_EQ(errorOf([&] { t.open(p); }),
              "Table does not exist.\rFile or directory does not exist.\rFile: " + p.string());
    EXPECT_EQ(errorOf([&] { t.open(dir / "nothere"); }),
              "Table does not exist.\rFile or directory does not exist.\rFile: " + (dir / "nothere.DBF").string());
    EXPECT_FALSE(t.isOpen());
    EXPECT_EQ(t.fieldText("X"), "");
    EXPECT_EQ(t.recordCount(), 0u);
    EXPECT_TRUE(t.eof());
}

TEST(DbfOpen, unreadableTable_givesUnableToOpen) {
    TempDir dir;
    fs::create_directory(dir / "folder.dbf");
    TDbfTable t;
    EXPECT_EQ(errorOf([&] { t.open(dir / "folder.dbf"); }),
              "Unable to open table.\rFile: " + (dir / "folder.dbf").string());
    if (::geteuid() != 0) {
        makeSpecs(dir / "locked.dbf");
        ::chmod((dir / "locked.dbf").c_str(), 0);
        EXPECT_EQ(errorOf([&] { t.open(dir / "locked.dbf", TDbfTable::OpenMode::ReadOnly); }),
                  "Unable to open table.\rFile: " + (dir / "locked.dbf").string());
    }
}

// Without the program's own key expression (or read-only) a missing index is the fixed text, naming
// the whole path; with it, a writable table builds the index from its records and says so.
TEST(DbfOpen, missingIndex_givesTheFixedTextWithItsPath_orIsBuiltOnTheProgramsExpression) {
    TempDir dir;
    makeSpecs(dir / "specs.dbf");
    TDbfTable t;
    t.open(dir / "specs.dbf");
    EXPECT_EQ(errorOf([&] { t.openIndexFile("specs.idx"); }),
              "Index file does not exist.\rFile: " + (dir / "specs.idx").string());
    EXPECT_FALSE(t.hasControllingIndex());
    TDbfTable readOnly;
    readOnly.open(dir / "specs.dbf", TDbfTable::OpenMode::ReadOnly);
    EXPECT_NE(errorOf([&] { readOnly.openIndexFile("specs.idx", "SIZE"); }), "");

    t.openIndexFile("specs.idx", "SIZE");
    ASSERT_TRUE(t.hasControllingIndex());
    EXPECT_TRUE(t.seek("400"));
    EXPECT_EQ(t.recNo(), 2u);
    const std::vector<std::string> told = t.takeNotices();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told.front().find("was missing; it has been built from the table"), std::string::npos) << told.front();
    EXPECT_TRUE(fs::is_regular_file(dir / "specs.idx"));
}

TEST(DbfOpen, missingMemoFile_isNamed) {
    TempDir dir;
    DbfForge f(0xF5, {{"NOTES", 'M', 10}});
    f.write(dir / "t.dbf");
    TDbfTable t;
    const std::string e = errorOf([&] { t.open(dir / "t.dbf"); });
    EXPECT_NE(e.find("memo file"), std::string::npos) << e;
    EXPECT_NE(e.find("t.fpt"), std::string::npos) << e;
}

TEST(DbfOpen, openingAnOpenTable_doesNothing) {
    TempDir dir;
    makeSpecs(dir / "specs.dbf");
    TDbfTable t;
    t.open(dir / "specs.dbf");
    t.go(3);
    t.open(dir / "other.dbf");
    EXPECT_EQ(t.recNo(), 3u);
}

TEST(DbfOpen, exclusive_keepsOtherOpensOutAndIsKeptOutByThem) {
    TempDir dir;
    makeSpecs(dir / "specs.dbf");
    const std::string unable = "Unable to open table.\rFile: " + (dir / "specs.dbf").string();
    {
        TDbfTable ex;
        ex.open(dir / "specs.dbf", TDbfTable::OpenMode::Exclusive);
        TDbfTable other;
        EXPECT_EQ(errorOf([&] { other.open(dir / "specs.dbf"); }), unable);
        EXPECT_EQ(errorOf([&] { other.open(dir / "specs.dbf", TDbfTable::OpenMode::ReadOnly); }), unable);
        EXPECT_EQ(errorOf([&] { other.open(dir / "specs.dbf", TDbfTable::OpenMode::Exclusive); }), unable);
        // The exclusive user works normally.
        ex.insert();
        ex.setFieldText("SIZE", "600");
        ex.post();
        EXPECT_EQ(ex.recordCount(), 4u);
    }
    TDbfTable shared;
    shared.open(dir / "specs.dbf");
    TDbfTable ex;
    EXPECT_EQ(errorOf([&] { ex.open(dir / "specs.dbf", TDbfTable::OpenMode::Exclusive); }), unable);
    TDbfTable second;
    second.open(dir / "specs.dbf", TDbfTable::OpenMode::ReadOnly); // shared opens mix
    EXPECT_EQ(second.recordCount(), 4u);
    shared.close();
    second.close();
    ex.open(dir / "specs.dbf", TDbfTable::OpenMode::Exclusive);
    EXPECT_TRUE(ex.isOpen());
}

TEST(DbfOpen, readOnly_writesNothing) {
    TempDir dir;
    makeSpecs(dir / "specs.dbf");
    const std::string before = readFile(dir / "specs.dbf");
    TDbfTable t;
    t.open(dir / "specs.dbf", TDbfTable::OpenMode::ReadOnly);
    EXPECT_NE(errorOf([&] { t.insert(); }).find("read-only"), std::string::npos);
    EXPECT_NE(errorOf([&] { t.edit(); }).find("read-only"), std::string::npos);
    EXPECT_NE(errorOf([&] { t.createIndex("x.idx", "SIZE"); }).find("read-only"), std::string::npos);
    t.close();
    EXPECT_EQ(readFile(dir / "specs.dbf"), before);
    EXPECT_FALSE(fs::exists(dir / "x.idx"));
}

TEST(DbfOpen, closedTable_readsEmptyAndReleasesTheFile) {
    TempDir dir;
    makeSpecs(dir / "specs.dbf");
    TDbfTable t;
    t.open(dir / "specs.dbf", TDbfTable::OpenMode::Exclusive);
    t.close();
    EXPECT_FALSE(t.isOpen());
    EXPECT_EQ(t.fieldText("SIZE"), "");
    EXPECT_DOUBLE_EQ(t.fieldFloat("GPI"), 0.0);
    EXPECT_TRUE(t.fields().empty());
    TDbfTable other;
    other.open(dir / "specs.dbf", TDbfTable::OpenMode::Exclusive);
    EXPECT_TRUE(other.isOpen());
}

TEST(DbfOpen, unknownField_isNamed) {
    TempDir dir;
    makeSpecs(dir / "specs.dbf");
    TDbfTable t;
    t.open(dir / "specs.dbf");
    const std::string e = errorOf([&] { (void)t.fieldText("NOPE"); });
    EXPECT_NE(e.find("has no field NOPE"), std::string::npos) << e;
    EXPECT_EQ(t.fieldDef("nope"), nullptr);
    ASSERT_NE(t.fieldDef("size"), nullptr);
    EXPECT_EQ(t.fieldDef("size")->width, 6);
}
