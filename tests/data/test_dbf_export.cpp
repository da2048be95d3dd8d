// SPDX-License-Identifier: GPL-3.0-or-later
// Copy to text, format 21 (comma-delimited), as the saved-setups export uses it.

#include "data/dbf_table.h"
#include "data/table_error.h"
#include "tests/support/dbf_forge.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace arrowsel::data;
using namespace arrowsel::test;
namespace fs = std::filesystem;

namespace {

void makeCustomers(const fs::path& path) {
    TDbfTable::create(path, {{"NAME", FieldType::Character, 20},
                             {"BOWWT", FieldType::Numeric, 6, 1},
                             {"SAVED", FieldType::Date, 8},
                             {"PAID", FieldType::Logical, 1},
                             {"COUNT", FieldType::Numeric, 4},
                             {"COMMENTS", FieldType::Memo, 10}});
    TDbfTable t;
    t.open(path);
    t.insert();
    t.setFieldText("NAME", "Smith, \"Bo\"");
    t.setFieldText("BOWWT", "60");
    t.setFieldText("SAVED", "20261208");
    t.setFieldText("PAID", "T");
    t.setFieldText("COUNT", "-7");
    t.setFieldText("COMMENTS", "likes \"fast\" arrows,\r\nno vanes, \u00e7a va");
    t.post();
    t.insert();
    t.setFieldText("NAME", "  Peña Müller");
    t.setFieldText("BOWWT", "-0.5");
    t.post();
}

} // namespace

TEST(DbfExport, format21_writesQuotedTextAndBareValuesInTheTablesCodePage) {
    TempDir dir;
    makeCustomers(dir / "Saveddb.dbf");
    TDbfTable t;
    t.open(dir / "Saveddb.dbf");
    t.copyToText(dir / "custdb.txt", 21);
    // Windows-1252 bytes, memo included: what readers of the classic export expect.
    EXPECT_EQ(readFile(dir / "custdb.txt"),
              "\"Smith, \"\"Bo\"\"\",60.0,20261208,T,-7,\"likes \"\"fast\"\" arrows,\r\nno vanes, \xE7"
              "a va\"\r\n"
              "\"  Pe\xF1"
              "a M\xFC"
              "ller\",-0.5,,F,,\"\"\r\n");
    // The export leaves the position alone and no temporary file behind.
    EXPECT_EQ(t.recNo(), 1u);
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) {
        ++files;
    }
    EXPECT_EQ(files, 3); // table, memo, text
}

TEST(DbfExport, format21_aDosTable_isWrittenInItsOwnCodePage) {
    TempDir dir;
    TDbfTable::create(dir / "t.dbf", {{"NAME", FieldType::Character, 8}}, CodePage::Dos437);
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.insert();
    t.setFieldText("NAME", "caf\u00e9");
    t.post();
    t.copyToText(dir / "out.txt");
    EXPECT_EQ(readFile(dir / "out.txt"), "\"caf\x82\"\r\n");
}

namespace {

mode_t modeOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
}

// Sets the umask for one scope.
struct Umask {
    explicit Umask(mode_t m) : old(::umask(m)) {}
    ~Umask() { ::umask(old); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;
    mode_t old;
};

} // namespace

TEST(DbfExport, target_newFileFollowsTheUmask_existingFileKeepsItsMode) {
    TempDir dir;
    makeCustomers(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf");
    {
        const Umask strict(077);
        t.copyToText(dir / "new.txt");
    }
    EXPECT_EQ(modeOf(dir / "new.txt"), 0600u);
    {
        const Umask usual(022);
        t.copyToText(dir / "new2.txt");
        EXPECT_EQ(modeOf(dir / "new2.txt"), 0644u);
        writeFile(dir / "private.txt", "old");
        ::chmod((dir / "private.txt").c_str(), 0600);
        t.copyToText(dir / "private.txt");
        EXPECT_EQ(modeOf(dir / "private.txt"), 0600u);
        ::chmod((dir / "private.txt").c_str(), 0664);
        t.copyToText(dir / "private.txt");
        EXPECT_EQ(modeOf(dir / "private.txt"), 0664u);
    }
    EXPECT_NE(readFile(dir / "private.txt").find("Smith"), std::string::npos);
}

TEST(DbfExport, target_aSymbolicLinkStays_andItsTargetGetsTheText_aDanglingOneIsRefused) {
    TempDir dir;
    makeCustomers(dir / "t.dbf");
    fs::create_directory(dir / "shared");
    writeFile(dir / "shared" / "customers.txt", "old");
    ::chmod((dir / "shared" / "customers.txt").c_str(), 0640);
    fs::create_symlink("shared/customers.txt", dir / "custdb.txt");
    fs::create_symlink(dir / "shared" / "later.txt", dir / "dangling.txt");
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.copyToText(dir / "custdb.txt");
    try {
        t.copyToText(dir / "dangling.txt");
        ADD_FAILURE() << "a dangling link was followed";
    } catch (const ETableError& e) {
        EXPECT_NE(std::string(e.what()).find("it is a link to " + (dir / "shared" / "later.txt").string() +
                                             ", which does not exist"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(fs::exists(dir / "shared" / "later.txt"));
    EXPECT_TRUE(fs::is_symlink(dir / "custdb.txt"));
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.txt"));
    EXPECT_EQ(modeOf(dir / "shared" / "customers.txt"), 0640u);
    EXPECT_NE(readFile(dir / "shared" / "customers.txt").find("Smith"), std::string::npos);
    // The temporary was made beside the target, not beside the link.
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir / "shared")) {
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(DbfExport, format21_followsTheControllingIndexAndKeepsDeletedRecords) {
    TempDir dir;
    DbfForge f(0x03, {{"NAME", 'C', 5}, {"N", 'I', 4}});
    f.record({"b", le32(2)});
    f.record({"a", le32(1)}, true);
    f.write(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.copyToText(dir / "out.txt");
    EXPECT_EQ(readFile(dir / "out.txt"), "\"b\",2\r\n\"a\",1\r\n");
    t.createIndex("t.idx", "NAME");
    t.copyToText(dir / "out.txt");
    EXPECT_EQ(readFile(dir / "out.txt"), "\"a\",1\r\n\"b\",2\r\n");
}

TEST(DbfExport, emptyTable_givesAnEmptyFile) {
    TempDir dir;
    TDbfTable::create(dir / "t.dbf", {{"NAME", FieldType::Character, 5}});
    TDbfTable t;
    t.open(dir / "t.dbf");
    writeFile(dir / "out.txt", "old contents");
    t.copyToText(dir / "out.txt");
    EXPECT_EQ(readFile(dir / "out.txt"), "");
}

TEST(DbfExport, failure_isReportedAndLeavesTheOldFile) {
    TempDir dir;
    makeCustomers(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf");
    try {
        t.copyToText(dir / "no-such-folder" / "custdb.txt");
        FAIL() << "no error";
    } catch (const ETableError& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot write the text file"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("custdb.txt"), std::string::npos) << e.what();
    }
    EXPECT_THROW(t.copyToText(dir / "x.txt", 1), ETableError);
    EXPECT_FALSE(fs::exists(dir / "x.txt"));
    if (::geteuid() != 0) {
        fs::create_directory(dir / "ro");
        writeFile(dir / "ro" / "custdb.txt", "old");
        ::chmod((dir / "ro").c_str(), 0555);
        try {
            t.copyToText(dir / "ro" / "custdb.txt");
            ADD_FAILURE() << "no error";
        } catch (const ETableError& e) {
            EXPECT_NE(std::string(e.what()).find("the folder " + (dir / "ro").string() + " is read-only"),
                      std::string::npos)
                << e.what();
        }
        EXPECT_EQ(readFile(dir / "ro" / "custdb.txt"), "old");
        ::chmod((dir / "ro").c_str(), 0755);
        // A file marked read-only is not replaced behind its owner's back.
        ::chmod((dir / "ro" / "custdb.txt").c_str(), 0444);
        EXPECT_THROW(t.copyToText(dir / "ro" / "custdb.txt"), ETableError);
        EXPECT_EQ(readFile(dir / "ro" / "custdb.txt"), "old");
    }
}
