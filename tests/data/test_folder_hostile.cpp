// SPDX-License-Identifier: GPL-3.0-or-later
// A data folder that others write to: whatever lies at the names of the files the engine makes
// (links, pipes, folders, junk) is never written through, waited on or read whole; a kill or an
// I/O error at any step of making a file leaves no file or the whole one; an index that no longer
// matches its table, or cannot be written, leaves the book usable.

#include "data/dbf_table.h"
#include "data/idx_journal.h"
#include "data/new_file.h"
#include "data/table_error.h"
#include "tests/support/child_process.h"
#include "tests/support/file_bytes.h"
#include "tests/support/io_faults.h"
#include "tests/support/temp_dir.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace arrowsel::data;
using namespace arrowsel::test;
namespace fs = std::filesystem;

namespace {

std::string nameOf(int i) {
    return "N" + std::to_string(1000 + (i * 37) % 1000);
}

void append(TDbfTable& t, const std::string& name) {
    t.insert();
    t.setFieldText("NAME", name);
    t.post();
}

void makeBook(const fs::path& dir, int n) {
    TDbfTable::create(dir / "book.dbf", {{"NAME", FieldType::Character, 12}, {"NOTES", FieldType::Memo, 0}});
    TDbfTable t;
    t.open(dir / "book.dbf");
    for (int i = 0; i < n; ++i) {
        append(t, nameOf(i));
    }
    t.createIndex("names.idx", "NAME");
}

bool lexists(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& l : lines) {
        all += l + "\n";
    }
    return all;
}

long peakMemoryMiB() {
    rusage r{};
    ::getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss / 1024;
}

enum class Thing { LinkOutside, DanglingLink, Pipe, Folder, JunkBytes, SparseZeros };

struct Placed {
    Thing thing;
    const char* name;
};

class JournalName : public ::testing::TestWithParam<Placed> {};

// Each thing at the journal's name: a read-only open (as of the charts) reads the index and says
// what it left alone; a save on a writable open sets it aside under a name of its own, says so,
// and goes through; nothing outside the folder changes.
TEST_P(JournalName, whatLiesThere_isNeitherWrittenThroughNorWaitedOnNorReadWhole) {
    TempDir outside;
    TempDir dir;
    writeFile(outside / "precious.txt", "the shop's other file");
    makeBook(dir.path(), 40);
    const fs::path journal = idx::journalPath(dir / "names.idx");
    switch (GetParam().thing) {
    case Thing::LinkOutside:
        fs::create_symlink(outside / "precious.txt", journal);
        break;
    case Thing::DanglingLink:
        fs::create_symlink(outside / "made-by-the-save.txt", journal);
        break;
    case Thing::Pipe:
        ASSERT_EQ(::mkfifo(journal.c_str(), 0644), 0);
        break;
    case Thing::Folder:
        fs::create_directory(journal);
        break;
    case Thing::JunkBytes:
        writeFile(journal, std::string(5000, '\x5A'));
        break;
    case Thing::SparseZeros:
        writeFile(journal, "");
        fs::resize_file(journal, std::uint64_t{8} << 30);
        break;
    }
    {
        TDbfTable t;
        t.open(dir / "book.dbf", TDbfTable::OpenMode::ReadOnly);
        t.openIndexFile("names.idx");
        EXPECT_TRUE(t.seek(nameOf(7)));
        const std::string told = joined(t.takeNotices());
        EXPECT_NE(told.find(journal.string() + " beside the index file"), std::string::npos) << told;
        EXPECT_NE(told.find("left alone"), std::string::npos) << told;
        EXPECT_TRUE(lexists(journal));
    }
    TDbfTable t;
    t.open(dir / "book.dbf");
    t.openIndexFile("names.idx");
    append(t, "NEWCOMER");
    const std::string told = joined(t.takeNotices());
    EXPECT_NE(told.find("set aside, untouched, as names.idx.jnl.not-a-journal"), std::string::npos) << told;
    EXPECT_FALSE(lexists(journal));
    EXPECT_TRUE(lexists(dir / "names.idx.jnl.not-a-journal"));
    EXPECT_TRUE(t.seek("NEWCOMER"));
    EXPECT_TRUE(t.seek(nameOf(7)));
    EXPECT_TRUE(t.indexFaults().empty());
    EXPECT_EQ(readFile(outside / "precious.txt"), "the shop's other file");
    EXPECT_FALSE(lexists(outside / "made-by-the-save.txt"));
    EXPECT_LT(peakMemoryMiB(), 1024);
}

INSTANTIATE_TEST_SUITE_P(Things, JournalName,
                         ::testing::Values(Placed{Thing::LinkOutside, "linkOutside"},
                                           Placed{Thing::DanglingLink, "danglingLink"}, Placed{Thing::Pipe, "pipe"},
                                           Placed{Thing::Folder, "folder"}, Placed{Thing::JunkBytes, "junkBytes"},
                                           Placed{Thing::SparseZeros, "eightGiBOfZeros"}),
                         [](const ::testing::TestParamInfo<Placed>& i) { return std::string(i.param.name); });

// A journal of ours that a kill left torn, or spent but not removed, is no stranger: a writable
// open removes it without a word, and the next save makes its own.
TEST(JournalLeftover, aTornOrSpentJournalOfOurs_isRemovedSilently) {
    TempDir dir;
    makeBook(dir.path(), 10);
    const fs::path journal = idx::journalPath(dir / "names.idx");
    idx::Journal j;
    j.fileId = 1;
    j.writes = {{1024, std::string(512, 'a')}};
    const std::string whole = idx::encodeJournal(j);
    std::string spent = whole;
    spent.replace(0, 8, std::string(8, '\0'));
    for (const std::string& left : {whole.substr(0, 100), spent, std::string()}) {
        writeFile(journal, left);
        TDbfTable t;
        t.open(dir / "book.dbf");
        t.openIndexFile("names.idx");
        append(t, "AFTER" + std::to_string(left.size()));
        EXPECT_TRUE(t.takeNotices().empty());
        EXPECT_FALSE(lexists(journal));
        EXPECT_FALSE(lexists(dir / "names.idx.jnl.not-a-journal"));
    }
}

// The index's own name as a link: read through by a read-only open (a chart folder may link its
// files), replaced on a writable open by an index built from the table. The file it pointed at,
// an index or not, stays as it was.
TEST(IndexName, aLinkToAFileOutside_isReadOnlyThrough_andReplacedByAWritableOpen) {
    TempDir outside;
    TempDir dir;
    makeBook(dir.path(), 30);
    fs::copy_file(dir / "names.idx", outside / "good.idx");
    writeFile(outside / "letter.txt", std::string(3000, 'L'));
    const std::string good = readFile(outside / "good.idx");
    for (const char* target : {"good.idx", "letter.txt"}) {
        SCOPED_TRACE(target);
        const std::string before = readFile(outside / target);
        fs::remove(dir / "names.idx");
        fs::create_symlink(outside / target, dir / "names.idx");
        if (std::string(target) == "good.idx") {
            TDbfTable t;
            t.open(dir / "book.dbf", TDbfTable::OpenMode::ReadOnly);
            t.openIndexFile("names.idx");
            EXPECT_TRUE(t.seek(nameOf(3)));
        }
        TDbfTable t;
        t.open(dir / "book.dbf");
        t.openIndexFile("names.idx", "NAME");
        const std::string told = joined(t.takeNotices());
        EXPECT_NE(told.find("was a symbolic link (to " + (outside / target).string()), std::string::npos) << told;
        EXPECT_FALSE(fs::is_symlink(dir / "names.idx"));
        append(t, "AFTERLINK");
        EXPECT_TRUE(t.seek(nameOf(3)));
        EXPECT_TRUE(t.indexFaults().empty());
        EXPECT_EQ(readFile(outside / target), before);
    }
    EXPECT_EQ(readFile(outside / "good.idx"), good);
}

// Another program renamed a customer in place: the index holds one key per record still, so only
// its keys tell. A seek that lands on the record says the index is stale; the count's read of
// every record finds it and rebuilds the index; a read-only table only counts.
TEST(IndexBehindTheTable, aKeyChangedBehindTheIndex_isFoundByTheCountsRead_andRebuilt) {
    TempDir dir;
    makeBook(dir.path(), 20);
    {
        TDbfTable t;
        t.open(dir / "book.dbf", TDbfTable::OpenMode::ReadOnly);
        t.go(5);
        ASSERT_EQ(t.fieldText("NAME"), "N1148       ");
    }
    std::string bytes = readFile(dir / "book.dbf");
    const std::size_t at = bytes.find("N1148");
    bytes.replace(at, 5, "A0001");
    writeFile(dir / "book.dbf", bytes);

    TDbfTable readOnly;
    readOnly.open(dir / "book.dbf", TDbfTable::OpenMode::ReadOnly);
    readOnly.openIndexFile("names.idx");
    EXPECT_EQ(readOnly.liveRecordCount(), 20u);
    EXPECT_TRUE(readOnly.takeNotices().empty());

    TDbfTable t;
    t.open(dir / "book.dbf");
    t.openIndexFile("names.idx", "NAME");
    EXPECT_TRUE(t.takeNotices().empty()); // the count of keys agrees: the open cannot tell
    EXPECT_THROW(t.seek("N1148"), EIndexStale);
    EXPECT_EQ(t.liveRecordCount(), 20u);
    const std::string told = joined(t.takeNotices());
    EXPECT_NE(told.find("did not match the table"), std::string::npos) << told;
    EXPECT_NE(told.find("\"A0001\""), std::string::npos) << told;
    EXPECT_TRUE(t.seek("A0001"));
    EXPECT_EQ(t.recNo(), 5u);
    EXPECT_FALSE(t.seek("N1148"));
    t.first();
    EXPECT_EQ(t.recNo(), 5u);
    EXPECT_TRUE(t.indexFaults().empty());
}

// An index, or a memo file, that this user may not write beside a table that can be written: the
// table opens read-only and says which file keeps it from saving; reading goes on.
TEST(ReadOnlyCompanion, anIndexOrMemoFileThatCannotBeWritten_opensTheTableReadOnlyAndSaysWhich) {
    for (const char* file : {"names.idx", "book.fpt"}) {
        SCOPED_TRACE(file);
        TempDir dir;
        makeBook(dir.path(), 12);
        fs::permissions(dir / file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        const int status = runUnprivileged(dir.path(), [&] {
            TDbfTable t;
            t.open(dir / "book.dbf");
            t.openIndexFile("names.idx", "NAME");
            const std::string told = joined(t.takeNotices());
            EXPECT_NE(told.find("is opened read-only: its "), std::string::npos) << told;
            EXPECT_NE(told.find((dir / file).string()), std::string::npos) << told;
            EXPECT_TRUE(t.seek(nameOf(4)));
            try {
                t.insert();
                ADD_FAILURE() << "a read-only table took a record";
            } catch (const ETableError& e) {
                EXPECT_NE(std::string(e.what()).find((dir / file).string()), std::string::npos) << e.what();
            }
        });
        EXPECT_EQ(status, 0);
    }
}

// Every write, sync and rename of making a table (the shop's, and one with a memo file) killed,
// or failed as an I/O error: no table is left, or the whole one; never a part of one that no
// later save could use. Creating it again then works.
TEST(NewTable, aKillOrAnIoErrorAtEveryStepOfItsMaking_leavesNoTableOrAWholeOne) {
    const std::vector<TDbfTable::FieldSpec> shop = {{"NAME", FieldType::Character, 30},
                                                    {"PHONE", FieldType::Character, 20}};
    const std::vector<TDbfTable::FieldSpec> withMemo = {{"NAME", FieldType::Character, 30},
                                                        {"COMMENTS", FieldType::Memo, 0}};
    for (const auto* specs : {&shop, &withMemo}) {
        for (const int how : {kKill, EIO}) {
            int steps = 0;
            for (int at = 1; at < 50; ++at) {
                SCOPED_TRACE("fault " + std::to_string(how) + " at step " + std::to_string(at));
                TempDir dir;
                const auto create = [&] {
                    IoFaults faults;
                    faults.atNewFileIo(at, how);
                    TDbfTable::create(dir / "SHOPINFO.DBF", *specs, CodePage::Windows1252, false, &faults);
                };
                bool finished = false;
                if (how == kKill) {
                    const int status = waitChild(runChild(create));
                    finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
                    EXPECT_TRUE(finished || (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL));
                } else {
                    try {
                        create();
                        finished = true;
                    } catch (const ETableError& e) {
                        EXPECT_NE(std::string(e.what()).find((dir.path()).string()), std::string::npos) << e.what();
                    }
                    for (const auto& entry : fs::directory_iterator(dir.path())) {
                        EXPECT_NE(entry.path().extension(), ".tmp") << "left behind: " << entry.path();
                    }
                }
                if (lexists(dir / "SHOPINFO.DBF")) {
                    TDbfTable t;
                    ASSERT_NO_THROW(t.open(dir / "SHOPINFO.DBF"));
                    EXPECT_EQ(t.recordCount(), 0u);
                    EXPECT_EQ(t.fields().size(), specs->size());
                    append(t, "Shop");
                } else {
                    EXPECT_FALSE(finished);
                    ASSERT_NO_THROW(TDbfTable::create(dir / "SHOPINFO.DBF", *specs));
                }
                if (finished) {
                    steps = at - 1;
                    break;
                }
            }
            // Write, sync, rename and the folder's sync, once more for the memo file.
            EXPECT_EQ(steps, specs == &shop ? 4 : 8);
        }
    }
}

// A new file's name taken by a link: Replace::Always puts the file in place of the link, whose
// target is not touched; Replace::Never keeps the name as it is. A pipe or a folder is refused.
TEST(NewFile, aLinkIsReplacedNotFollowed_andAPipeIsRefusedWithoutWaiting) {
    TempDir outside;
    TempDir dir;
    writeFile(outside / "other.pdf", "not ours");
    fs::create_symlink(outside / "other.pdf", dir / "report.pdf");
    {
        NewFile f(dir / "report.pdf", NewFile::Replace::Never);
        f.write("page");
        EXPECT_FALSE(f.commit());
    }
    EXPECT_TRUE(fs::is_symlink(dir / "report.pdf"));
    {
        NewFile f(dir / "report.pdf", NewFile::Replace::Always);
        f.write("page");
        EXPECT_TRUE(f.commit());
    }
    EXPECT_FALSE(fs::is_symlink(dir / "report.pdf"));
    EXPECT_EQ(readFile(dir / "report.pdf"), "page");
    EXPECT_EQ(readFile(outside / "other.pdf"), "not ours");
    ASSERT_EQ(::mkfifo((dir / "pipe.pdf").c_str(), 0644), 0);
    EXPECT_THROW(NewFile(dir / "pipe.pdf", NewFile::Replace::Always), ETableError);
    EXPECT_THROW(readBoundedFile(dir / "pipe.pdf", 100), ETableError);
    EXPECT_EQ(fs::directory_iterator(dir.path()) == fs::directory_iterator(), false);
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
}

} // namespace
