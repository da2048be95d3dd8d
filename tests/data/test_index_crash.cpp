// SPDX-License-Identifier: GPL-3.0-or-later
// Index changes under kills, full disks and damage: a change is all or nothing, a damaged index is
// rebuilt from its table, and a failed save leaves the table as it was.

#include "data/dbf_table.h"
#include "data/idx_journal.h"
#include "data/index_file.h"
#include "data/table_error.h"
#include "tests/support/child_process.h"
#include "tests/support/file_bytes.h"
#include "tests/support/io_faults.h"
#include "tests/support/temp_dir.h"

#include <cerrno>
#include <csignal>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace arrowsel::data;
using namespace arrowsel::test;
namespace fs = std::filesystem;

namespace {

void patchFile(const fs::path& p, std::size_t at, const std::string& bytes) {
    std::string all = readFile(p);
    all.replace(at, bytes.size(), bytes);
    writeFile(p, all);
}

std::string nameOf(int i) {
    // Spread over the alphabet so that inserts land inside full leaves, not only at the end.
    std::string s = "N";
    for (int v = (i * 7919) % 100000, k = 0; k < 5; ++k, v /= 10) {
        s += static_cast<char>('A' + v % 10);
    }
    return s + std::to_string(i);
}

void append(TDbfTable& t, const std::string& name) {
    t.insert();
    t.setFieldText("NAME", name);
    t.post();
}

// A table of `n` records with its name index built in one go (so its leaves are full).
void makeBook(const fs::path& dir, int n, IndexKind kind) {
    TDbfTable::create(dir / "book.dbf", {{"NAME", FieldType::Character, 12}, {"CITY", FieldType::Character, 8}});
    TDbfTable t;
    t.open(dir / "book.dbf");
    for (int i = 0; i < n; ++i) {
        append(t, nameOf(i));
    }
    t.createIndex("names.idx", "NAME", kind);
}

void copyBook(const fs::path& from, const fs::path& to) {
    for (const char* f : {"book.dbf", "names.idx"}) {
        fs::copy_file(from / f, to / f, fs::copy_options::overwrite_existing);
    }
}

// The index reads whole before any repair, as another program would read it.
void expectReadsWhole(const fs::path& dir) {
    TDbfTable t;
    t.open(dir / "book.dbf", TDbfTable::OpenMode::ReadOnly);
    EXPECT_NO_THROW(IndexFile::open(dir / "names.idx", false, t.fields(), t.codePage()));
}

// The index, read as it is without repairs, holds every record's key once, in order.
void expectIndexAgrees(const fs::path& dir, std::uint32_t count) {
    TDbfTable t;
    t.open(dir / "book.dbf", TDbfTable::OpenMode::ReadOnly);
    ASSERT_EQ(t.recordCount(), count);
    std::unique_ptr<IndexFile> ix;
    try {
        ix = IndexFile::open(dir / "names.idx", false, t.fields(), t.codePage());
    } catch (const ETableError& e) {
        FAIL() << e.what();
    }
    ASSERT_EQ(ix->size(), count);
    std::set<std::uint32_t> seen;
    for (std::size_t i = 0; i < ix->size(); ++i) {
        const IndexEntry& e = ix->at(i);
        if (i > 0) {
            const IndexEntry& p = ix->at(i - 1);
            ASSERT_TRUE(p.key < e.key || (p.key == e.key && p.recno < e.recno)) << "out of order at " << i;
        }
        ASSERT_TRUE(seen.insert(e.recno).second) << "record " << e.recno << " twice";
        t.go(e.recno);
        ASSERT_EQ(e.key, t.fieldText("NAME")) << "record " << e.recno;
    }
}

// Runs `change` in a child killed at its 1st, 2nd, ... index I/O until one run completes; after
// each kill `check` gets the folder. `change` opens its tables with the settings it is given.
// Returns how many kills there were.
int killAtEveryIndexWrite(const fs::path& templateDir,
                          const std::function<void(const fs::path&, const TDbfTable::Settings&)>& change,
                          const std::function<void(const fs::path&, bool finished)>& check) {
    for (int at = 1; at < 500; ++at) {
        TempDir dir;
        copyBook(templateDir, dir.path());
        const pid_t child = runChild([&] {
            IoFaults faults;
            faults.atIndexIo(at, kKill);
            change(dir.path(), watchedBy(faults));
        });
        const int status = waitChild(child);
        const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        const bool finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        EXPECT_TRUE(killed || finished) << "status " << status << " at I/O " << at;
        SCOPED_TRACE("killed at index I/O " + std::to_string(at));
        check(dir.path(), finished);
        if (finished || ::testing::Test::HasFailure()) {
            return at - 1;
        }
    }
    ADD_FAILURE() << "the change never completed";
    return 0;
}

class IndexCrash : public ::testing::TestWithParam<IndexKind> {};

} // namespace

// The insert splits a full leaf between two others, so the group holds both halves, the sibling
// whose left link changes, the parent and the header.
TEST_P(IndexCrash, killAtEachWriteOfALeafSplit_leavesTheOldIndexOrTheNew) {
    TempDir base;
    const int n = GetParam() == IndexKind::Compact ? 150 : 100;
    makeBook(base.path(), n, GetParam());
    const int kills = killAtEveryIndexWrite(
        base.path(),
        [](const fs::path& dir, const TDbfTable::Settings& settings) {
            TDbfTable t(settings);
            t.open(dir / "book.dbf");
            t.openIndexFile("names.idx");
            // Sorts first, into the first, full leaf; a whole key, nothing a compact leaf packs away.
            append(t, "N!!!!!!!!!!!");
        },
        [n](const fs::path& dir, bool finished) {
            expectReadsWhole(dir);
            // A writable open makes it agree with the table without calling it damaged.
            TDbfTable t;
            t.open(dir / "book.dbf");
            ASSERT_TRUE(t.recordCount() == static_cast<std::uint32_t>(n) ||
                        t.recordCount() == static_cast<std::uint32_t>(n + 1));
            EXPECT_TRUE(!finished || t.recordCount() == static_cast<std::uint32_t>(n + 1));
            t.openIndexFile("names.idx");
            EXPECT_TRUE(t.takeNotices().empty());
            const std::uint32_t count = t.recordCount();
            t.close();
            expectIndexAgrees(dir, count);
        });
    EXPECT_GE(kills, 5); // journal write and sync, index write(s) and sync, spending the journal
}

TEST_P(IndexCrash, killAtEachWriteOfARebuild_leavesAnIndexThatAgreesWithTheTable) {
    TempDir base;
    makeBook(base.path(), 120, GetParam());
    {
        // Appended behind the index's back: the open rebuilds the index, then reindex() does again.
        TDbfTable t;
        t.open(base / "book.dbf");
        append(t, "NLATE");
    }
    const int kills = killAtEveryIndexWrite(
        base.path(),
        [](const fs::path& dir, const TDbfTable::Settings& settings) {
            TDbfTable t(settings);
            t.open(dir / "book.dbf");
            t.openIndexFile("names.idx");
            t.reindex();
        },
        [](const fs::path& dir, bool) {
            expectReadsWhole(dir);
            TDbfTable t;
            t.open(dir / "book.dbf");
            t.openIndexFile("names.idx");
            EXPECT_TRUE(t.takeNotices().empty());
            t.close();
            expectIndexAgrees(dir, 121);
        });
    EXPECT_GE(kills, 8);
}

// Most saves add a key inside one leaf with room, and write no journal: a kill at any of their
// writes leaves the old index or the new all the same.
TEST_P(IndexCrash, killAtEachWriteOfAnInsertIntoOneLeaf_leavesTheOldIndexOrTheNew) {
    TempDir base;
    TDbfTable::create(base / "book.dbf", {{"NAME", FieldType::Character, 12}, {"CITY", FieldType::Character, 8}});
    {
        TDbfTable t; // keys added one by one: the leaves are split halves with room
        t.open(base / "book.dbf");
        t.createIndex("names.idx", "NAME", GetParam());
        for (int i = 0; i < 100; ++i) {
            append(t, nameOf(i));
        }
    }
    const int kills = killAtEveryIndexWrite(
        base.path(),
        [](const fs::path& dir, const TDbfTable::Settings& settings) {
            TDbfTable t(settings);
            t.open(dir / "book.dbf");
            t.openIndexFile("names.idx");
            append(t, "NEEEEE");
        },
        [](const fs::path& dir, bool) {
            EXPECT_FALSE(fs::exists(idx::journalPath(dir / "names.idx"))) << "the save wrote a journal";
            expectReadsWhole(dir);
            TDbfTable t;
            t.open(dir / "book.dbf");
            t.openIndexFile("names.idx");
            EXPECT_TRUE(t.takeNotices().empty());
            EXPECT_TRUE(t.seek("NEEEEE"));
            t.close();
            expectIndexAgrees(dir, 101);
        });
    EXPECT_GE(kills, 2); // the leaf and the header
}

INSTANTIATE_TEST_SUITE_P(Kinds, IndexCrash, ::testing::Values(IndexKind::Compact, IndexKind::NonCompact),
                         [](const ::testing::TestParamInfo<IndexKind>& i) {
                             return i.param == IndexKind::Compact ? "compact" : "nonCompact";
                         });

// A full disk at any index write of a save: the save fails and says so, the table and the index
// stay as they were, and saving again stores the record once.
TEST(IndexDiskFull, failedSaveLeavesTheTableAsItWas_andTheRetryStoresOneRecord) {
    TempDir base;
    makeBook(base.path(), 150, IndexKind::Compact);
    const std::string before = readFile(base / "book.dbf");
    int failures = 0;
    for (int at = 1; at < 100; ++at) {
        SCOPED_TRACE("disk full at index I/O " + std::to_string(at));
        TempDir dir;
        copyBook(base.path(), dir.path());
        IoFaults faults;
        TDbfTable t(watchedBy(faults));
        t.open(dir / "book.dbf");
        t.openIndexFile("names.idx");
        t.insert();
        t.setFieldText("NAME", "NB");
        faults.atIndexIo(at, ENOSPC);
        std::string error;
        try {
            t.post();
        } catch (const ETableError& e) {
            error = e.what();
        }
        faults.disarm();
        if (error.empty()) {
            EXPECT_GT(failures, 0);
            break;
        }
        ++failures;
        EXPECT_NE(error.find("names.idx"), std::string::npos) << error;
        EXPECT_NE(error.find("space"), std::string::npos) << error;
        EXPECT_EQ(readFile(dir / "book.dbf"), before);
        EXPECT_FALSE(fs::exists(fs::symlink_status(idx::journalPath(dir / "names.idx"))));
        expectIndexAgrees(dir.path(), 150);
        // The record is still being inserted; the retry stores it once.
        t.post();
        EXPECT_EQ(t.recordCount(), 151u);
        EXPECT_TRUE(t.seek("NB"));
        EXPECT_EQ(t.recNo(), 151u);
        t.close();
        expectIndexAgrees(dir.path(), 151);
    }
    EXPECT_GE(failures, 3);
}

TEST(IndexRecovery, damagedTree_isRebuiltFromTheTableOnAWritableOpen_andTheUserIsToldOnce) {
    TempDir dir;
    makeBook(dir.path(), 150, IndexKind::Compact);
    patchFile(dir / "names.idx", 1024 + 4, std::string(8, '\x55')); // the first node's sibling links

    {
        // A read-only open reports it, naming the file, and changes nothing.
        const std::string damaged = readFile(dir / "names.idx");
        TDbfTable t;
        t.open(dir / "book.dbf", TDbfTable::OpenMode::ReadOnly);
        try {
            t.openIndexFile("names.idx");
            FAIL() << "a damaged index opened";
        } catch (const EIndexDamaged& e) {
            EXPECT_NE(std::string(e.what()).find((dir / "names.idx").string()), std::string::npos) << e.what();
        }
        EXPECT_EQ(readFile(dir / "names.idx"), damaged);
    }
    TDbfTable t;
    t.open(dir / "book.dbf");
    t.openIndexFile("names.idx");
    const std::vector<std::string> notices = t.takeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("names.idx"), std::string::npos) << notices[0];
    EXPECT_NE(notices[0].find("rebuilt"), std::string::npos) << notices[0];
    EXPECT_TRUE(t.seek(nameOf(77)));
    t.close();
    expectIndexAgrees(dir.path(), 150);

    t.open(dir / "book.dbf");
    t.openIndexFile("names.idx");
    EXPECT_TRUE(t.takeNotices().empty());
}

TEST(IndexRecovery, damagedHeader_isRebuiltOnTheProgramsOwnExpression_orReportedWithoutOne) {
    for (const IndexKind kind : {IndexKind::Compact, IndexKind::NonCompact}) {
        TempDir dir;
        makeBook(dir.path(), 60, kind);
        patchFile(dir / "names.idx", 0, std::string(512, '\xFF'));

        TDbfTable t;
        t.open(dir / "book.dbf");
        EXPECT_THROW(t.openIndexFile("names.idx"), EIndexDamaged);
        t.openIndexFile("names.idx", "NAME");
        EXPECT_EQ(t.takeNotices().size(), 1u);
        EXPECT_TRUE(t.seek(nameOf(5)));
        t.close();
        expectIndexAgrees(dir.path(), 60);
    }
}

// A save's rebuild rewrites the file in place, so a program that has it open sees the new keys.
TEST(IndexRecovery, rebuildInAnotherProcess_isSeenByAnOpenIndex) {
    TempDir dir;
    makeBook(dir.path(), 40, IndexKind::Compact);
    TDbfTable reader;
    reader.open(dir / "book.dbf");
    reader.openIndexFile("names.idx");
    EXPECT_FALSE(reader.seek("NEWCOMER"));

    const pid_t child = runChild([&dir] {
        TDbfTable t;
        t.open(dir / "book.dbf");
        t.openIndexFile("names.idx");
        append(t, "NEWCOMER");
        t.reindex();
    });
    ASSERT_EQ(waitChild(child), 0);
    EXPECT_TRUE(reader.seek("NEWCOMER"));
    EXPECT_EQ(reader.recNo(), 41u);
    EXPECT_EQ(reader.recordCount(), 41u);
}

// Only the nodes the tree uses are read: a file of gigabytes whose tree is small opens.
TEST(IndexRecovery, hugeSparseIndex_opensReadingOnlyItsTree) {
    TempDir dir;
    makeBook(dir.path(), 60, IndexKind::Compact);
    fs::resize_file(dir / "names.idx", 0xFFFFFE00ull);
    TDbfTable t;
    t.open(dir / "book.dbf", TDbfTable::OpenMode::ReadOnly);
    t.openIndexFile("names.idx");
    EXPECT_TRUE(t.seek(nameOf(33)));
    EXPECT_EQ(t.recNo(), 34u);
}

TEST(IndexJournal, onlyAWholeIntactJournalDecodes) {
    idx::Journal j;
    j.counterBefore = 7;
    j.counterAfter = 8;
    j.fileId = 123456789;
    j.writes = {{1024, std::string(512, 'a')}, {0, std::string(512, 'h')}, {1540, "linkslnk"}};
    const std::string bytes = idx::encodeJournal(j);
    const std::optional<idx::Journal> back = idx::decodeJournal(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->fileId, j.fileId);
    ASSERT_EQ(back->writes.size(), 3u);
    EXPECT_EQ(back->writes[2].offset, 1540u);
    EXPECT_EQ(back->writes[2].bytes, "linkslnk");
    // A torn journal (any prefix), one with a changed byte, or a spent one is ignored.
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        ASSERT_FALSE(idx::decodeJournal(bytes.substr(0, cut))) << "cut at " << cut;
    }
    std::string flipped = bytes;
    flipped[600] ^= 1;
    EXPECT_FALSE(idx::decodeJournal(flipped));
    std::string spent = bytes;
    spent.replace(0, 8, std::string(8, '\0'));
    EXPECT_FALSE(idx::decodeJournal(spent));
}

// A journal left beside an index that was since replaced by another file is not applied to it.
TEST(IndexJournal, journalOfAnotherFile_isIgnored) {
    TempDir dir;
    makeBook(dir.path(), 30, IndexKind::Compact);
    TDbfTable t;
    t.open(dir / "book.dbf");
    const std::string good = readFile(dir / "names.idx");
    idx::Journal j;
    j.fileId = 1; // no such inode here
    j.flags = idx::Journal::kWholeFile;
    j.writes = {{0, std::string(1536, '\x01')}};
    writeFile(idx::journalPath(dir / "names.idx"), idx::encodeJournal(j));
    t.openIndexFile("names.idx");
    EXPECT_TRUE(t.takeNotices().empty());
    EXPECT_EQ(readFile(dir / "names.idx"), good);
}
