// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/text.h"
#include "records/customer_book.h"
#include "records/file_book.h"
#include "records/saved_layout.h"
#include "tests/support/dbf_forge.h"
#include "tests/support/run_cli.h"
#include "tests/support/temp_dir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace arrowsel::records {
namespace {

namespace fs = std::filesystem;

const fs::path kCli = fs::path(ARROWSEL_BINARY_DIR) / "tools" / "arrowsel-cli";

using Outcome = test::CliOutcome;

Outcome runCli(const std::vector<std::string>& args) {
    return test::runCli(args, test::CliStderr::Kept);
}

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class CustomersCli : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kCli)) {
            GTEST_SKIP() << "arrowsel-cli not built";
        }
        fs::create_directory(src);
        fs::create_directory(dst);
        FileBook::create(src, savedSetupFields());
    }

    void add(const fs::path& folder, const std::vector<std::string>& names) {
        FileBook book(folder);
        for (const std::string& n : names) {
            book.append({{"NAME", n},
                         {"CITY", "Quincy"},
                         {"COMMENTS", "first line\r\nsecond, \"quoted\""},
                         {"DATE", "20250317"},
                         {"BOTYP", "2"}});
        }
    }

    test::TempDir dir;
    fs::path src = dir / "store";
    fs::path dst = dir / "laptop";
};

TEST_F(CustomersCli, copyLeavesDeletedRecordsBehindAndKeepsOrderMemosAndDates) {
    add(src, {"Young", "Old, Deleted", "Adler", "Young"});
    test::markDeleted(src / "Saveddb.dbf", 2);

    const Outcome o = runCli({"customers", "copy", "--from", src.string(), "--to", dst.string()});
    ASSERT_EQ(o.status, 0) << o.out;
    EXPECT_NE(o.out.find("3 customer records copied"), std::string::npos) << o.out;

    // The same records in the order added: the exports differ only by the deleted record's line.
    ASSERT_EQ(runCli({"customers", "export", "--book", src.string(), "--out", (dir / "a.txt").string()}).status, 0);
    ASSERT_EQ(runCli({"customers", "export", "--book", dst.string(), "--out", (dir / "b.txt").string()}).status, 0);
    std::string before = slurp(dir / "a.txt");
    const auto deleted = before.find("\"Old, Deleted\"");
    ASSERT_NE(deleted, std::string::npos);
    before.erase(deleted, before.find("\"Adler\"") - deleted);
    EXPECT_EQ(slurp(dir / "b.txt"), before);
    EXPECT_NE(before.find("\"first line\r\nsecond, \"\"quoted\"\"\",20250317"), std::string::npos) << before;

    FileBook copied(dst);
    EXPECT_EQ(copied.count(), 3u);
    EXPECT_EQ(std::string(data::trimTrailingSpaces(copied.fieldText("NAME"))), "Adler");
    EXPECT_EQ(copied.fieldText("COMMENTS"), "first line\r\nsecond, \"quoted\"");
    EXPECT_TRUE(copied.takeNotices().empty());
}

TEST_F(CustomersCli, aTargetHoldingRecordsIsReplacedOnlyWhenAskedAndItsOldFilesAreKept) {
    add(src, {"Nguyen", "Baker"});
    FileBook::create(dst, savedSetupFields());
    add(dst, {"Kept Customer"});
    const std::string held = slurp(dst / "Saveddb.dbf");

    Outcome o = runCli({"customers", "copy", "--from", src.string(), "--to", dst.string()});
    EXPECT_EQ(o.status, 1) << o.out;
    EXPECT_NE(o.out.find("--replace"), std::string::npos) << o.out;
    EXPECT_EQ(slurp(dst / "Saveddb.dbf"), held);

    // Another counter with the book open stops a replacement before anything changes.
    {
        FileBook inUse(dst);
        o = runCli({"customers", "copy", "--from", src.string(), "--to", dst.string(), "--replace"});
        EXPECT_EQ(o.status, 1) << o.out;
        EXPECT_NE(o.out.find("another counter"), std::string::npos) << o.out;
        EXPECT_EQ(slurp(dst / "Saveddb.dbf"), held);
    }

    o = runCli({"customers", "copy", "--from", src.string(), "--to", dst.string(), "--replace"});
    ASSERT_EQ(o.status, 0) << o.out;
    EXPECT_NE(o.out.find("2 customer records copied"), std::string::npos) << o.out;
    FileBook replaced(dst);
    EXPECT_EQ(replaced.count(), 2u);
    EXPECT_TRUE(replaced.seek("Nguyen"));
    EXPECT_FALSE(replaced.seek("Kept"));

    int keptFolders = 0;
    for (const auto& entry : fs::directory_iterator(dst)) {
        if (entry.is_directory()) {
            ++keptFolders;
            EXPECT_EQ(slurp(entry.path() / "Saveddb.dbf"), held);
            EXPECT_NE(o.out.find(entry.path().string()), std::string::npos) << "the kept copy is not named: " << o.out;
        }
    }
    EXPECT_EQ(keptFolders, 1);
}

TEST_F(CustomersCli, findPrintsTheRecordTheSearchLandsOn) {
    add(src, {"O'Brien \"Bo\" \\ Smith; x", "Obermann"});
    Outcome o = runCli({"customers", "find", "O'B", "--book", src.string(), "--json"});
    ASSERT_EQ(o.status, 0) << o.out;
    EXPECT_EQ(o.out.rfind("{\"found\": true, \"record\": {\"NAME\": \"O'Brien \\\"Bo\\\" \\\\ Smith; x\", ", 0), 0u)
        << o.out;
    EXPECT_NE(o.out.find("\"COMMENTS\": \"first line\\r\\nsecond, \\\"quoted\\\"\""), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("\"DATE\": \"20250317\""), std::string::npos) << o.out;

    o = runCli({"customers", "find", "Ob", "--book", src.string()});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.rfind("NAME: Obermann\n", 0), 0u) << o.out;

    o = runCli({"customers", "find", "Z", "--book", src.string(), "--json"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "{\"found\": false, \"record\": null}\n");
}

// reindex builds Saved.idx again from the records, after another program renamed a customer
// behind it; a folder without a book says so, naming the whole path with line breaks of its own.
TEST_F(CustomersCli, reindexBuildsTheNameIndexFromTheRecords) {
    add(src, {"Miller", "Young"});
    std::string bytes = slurp(src / kSavedTable);
    bytes.replace(bytes.find("Young"), 5, "Adams");
    std::ofstream(src / kSavedTable, std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_NE(runCli({"customers", "find", "Ada", "--book", src.string()}).status, 0);
    const Outcome o = runCli({"customers", "reindex", "--book", src.string()});
    EXPECT_EQ(o.status, 0) << o.out;
    EXPECT_NE(o.out.find("has been rebuilt"), std::string::npos) << o.out;
    EXPECT_EQ(runCli({"customers", "find", "Ada", "--book", src.string()}).status, 0);

    const Outcome none = runCli({"customers", "reindex", "--book", dst.string()});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out.find('\r'), std::string::npos) << none.out;
    EXPECT_NE(none.out.find((dst / kSavedTable).string()), std::string::npos) << none.out;
}

TEST_F(CustomersCli, mistakesAreRefusedWithWhatToDo) {
    EXPECT_EQ(runCli({"customers", "copy", "--from", src.string()}).status, 64);
    EXPECT_EQ(runCli({"customers", "find", "--book", src.string()}).status, 64);
    EXPECT_EQ(runCli({"customers", "wipe"}).status, 64);

    Outcome o = runCli({"customers", "copy", "--from", src.string(), "--to", (src / ".").string(), "--replace"});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.out.find("same book"), std::string::npos) << o.out;

    o = runCli({"customers", "copy", "--from", src.string(), "--to", (dir / "missing").string()});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.out.find("does not exist"), std::string::npos) << o.out;

    o = runCli({"customers", "export", "--book", dst.string(), "--out", (dir / "x.txt").string()});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.out.find(dst.string()), std::string::npos) << o.out;
    EXPECT_FALSE(fs::exists(dir / "x.txt"));

    // An address with a password is refused, and no message repeats the password.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"customers", "find", "A", "--book", "postgresql://c:S3cret@db/shop"},
          {"customers", "find", "A", "--boook=postgresql://c:S3cret@db/shop"},
          {"customers", "copy", "--from", src.string(), "--to", dst.string(), "postgresql://c:S3cret@db/shop"}}) {
        o = runCli(args);
        EXPECT_NE(o.status, 0) << o.out;
        EXPECT_EQ(o.out.find("S3cret"), std::string::npos) << o.out;
    }
}

TEST_F(CustomersCli, aFileSystemErrorEndsTheCommandWithAMessage_neverAnAbort) {
    // Books without memo fields, and beside the target's table a memo name that is a link to
    // itself: looking at it fails with "too many levels of symbolic links".
    const std::vector<records::SetupField> names{{"NAME", records::SetupFieldKind::Text, 30}};
    for (const fs::path& folder : {dir / "a", dir / "b"}) {
        fs::create_directory(folder);
        FileBook::create(folder, names);
        FileBook(folder).append({{"NAME", folder.filename().string()}});
    }
    fs::create_symlink("Saveddb.fpt", dir / "b" / "Saveddb.fpt");
    const Outcome o =
        runCli({"customers", "copy", "--from", (dir / "a").string(), "--to", (dir / "b").string(), "--replace"});
    EXPECT_TRUE(o.status == 0 || o.status == 1) << "status " << o.status << "\n" << o.out;
    if (o.status == 1) {
        EXPECT_NE(o.out.find("arrowsel-cli customers"), std::string::npos) << o.out;
    }
}

} // namespace
} // namespace arrowsel::records
