// SPDX-License-Identifier: GPL-3.0-or-later
// Shared use: record locks, appends by several processes, processes killed while appending, waits
// on the header lock and what readers see of a change left half-done.

#include "data/dbf_header.h"
#include "data/dbf_table.h"
#include "data/file_io.h"
#include "data/idx_journal.h"
#include "data/index_file.h"
#include "data/table_error.h"
#include "tests/support/child_process.h"
#include "tests/support/dbf_forge.h"
#include "tests/support/io_faults.h"
#include "tests/support/table_errors.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <gtest/gtest.h>
#include <pthread.h>
#include <random>
#include <set>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace arrowsel::data;
using namespace arrowsel::test;
namespace fs = std::filesystem;

namespace {

const char* const kLockFailure = "Record Lock Failure. May be locked by another user or task.";

void makeTable(const fs::path& path) {
    TDbfTable::create(path, {{"NAME", FieldType::Character, 12}, {"NOTES", FieldType::Memo, 10}});
}

void append(TDbfTable& t, const std::string& name) {
    t.insert();
    t.setFieldText("NAME", name);
    t.setFieldText("NOTES", "notes of " + name);
    t.post();
}

// Every record's key is in the index once, and the index is in key order.
void expectIndexValid(const fs::path& table, const fs::path& index, std::uint32_t expectedCount) {
    TDbfTable t;
    t.open(table, TDbfTable::OpenMode::ReadOnly);
    ASSERT_EQ(t.recordCount(), expectedCount);
    auto ix = IndexFile::open(index, false, t.fields(), t.codePage());
    ASSERT_EQ(ix->size(), expectedCount);
    for (std::size_t i = 1; i < ix->size(); ++i) {
        const IndexEntry& a = ix->at(i - 1);
        const IndexEntry& b = ix->at(i);
        ASSERT_TRUE(a.key < b.key || (a.key == b.key && a.recno < b.recno)) << "at " << i;
    }
    std::set<std::uint32_t> seen;
    for (std::uint32_t n = 1; n <= expectedCount; ++n) {
        t.go(n);
        std::string record = t.fieldBlob("NAME"); // only to be sure the record reads
        (void)record;
    }
    for (std::size_t i = 0; i < ix->size(); ++i) {
        ASSERT_TRUE(seen.insert(ix->at(i).recno).second) << "record " << ix->at(i).recno << " twice";
        t.go(ix->at(i).recno);
        std::string key = t.fieldText("NAME");
        ASSERT_EQ(ix->at(i).key, key) << "record " << ix->at(i).recno;
    }
}

// Holds forked writers until all are ready, then lets them go at once: each child reports on
// `ready` and blocks reading `go`, which the parent closes, so every read returns together.
class StartBarrier {
public:
    StartBarrier() {
        if (::pipe(ready_) != 0 || ::pipe(go_) != 0) {
            throw std::runtime_error("pipe failed");
        }
    }
    ~StartBarrier() {
        for (int fd : {ready_[0], ready_[1], go_[0], go_[1]}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    StartBarrier(const StartBarrier&) = delete;
    StartBarrier& operator=(const StartBarrier&) = delete;
    StartBarrier(StartBarrier&&) = delete;
    StartBarrier& operator=(StartBarrier&&) = delete;

    // In a child: say it is ready and wait for the start. Throws when the parent gave up.
    void arriveAndWait() {
        closeFd(go_[1]); // else this child's own copy keeps the read below from ever ending
        closeFd(ready_[0]);
        const char byte = 'r';
        if (::write(ready_[1], &byte, 1) != 1) {
            throw std::runtime_error("barrier: cannot report ready");
        }
        char go = 0;
        if (::read(go_[0], &go, 1) != 0) {
            throw std::runtime_error("barrier: the parent did not start the writers");
        }
    }

    // In the parent, after forking: waits until `count` children are ready, then starts them all.
    // Returns false when a child ended before reaching the barrier.
    bool startWhenReady(int count) {
        closeFd(ready_[1]); // so a child that dies early ends the read instead of hanging it
        int ready = 0;
        char byte = 0;
        while (ready < count && ::read(ready_[0], &byte, 1) == 1) {
            ++ready;
        }
        closeFd(go_[1]);
        return ready == count;
    }

private:
    static void closeFd(int& fd) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }

    int ready_[2] = {-1, -1};
    int go_[2] = {-1, -1};
};

// Another process saves `name`, then rebuilds the index and is killed at its `io`-th index I/O:
// the first three are the journal's write, its sync and its folder's, so from the 4th on a whole
// journal is left for the next reader to replay, and from the 5th the index is half rewritten.
void saveThenKillRebuildAt(const fs::path& dir, const std::string& name, int io) {
    const pid_t child = runChild([&] {
        IoFaults faults;
        TDbfTable t(watchedBy(faults));
        t.open(dir / "t.dbf");
        t.openIndexFile("names.idx");
        append(t, name);
        faults.atIndexIo(io, kKill);
        t.reindex();
    });
    const int status = waitChild(child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
    ASSERT_TRUE(fs::exists(idx::journalPath(dir / "names.idx")));
}

// Empty when the table reads in index order as a whole index gives it: every record once, keys
// ascending; else what is wrong.
std::string indexOrderProblem(TDbfTable& t) {
    std::string last;
    std::uint32_t n = 0;
    for (t.first(); !t.eof(); t.next()) {
        const std::string name = t.fieldText("NAME");
        if (n++ > 0 && name < last) {
            return name + " after " + last;
        }
        last = name;
    }
    return n == t.recordCount() ? std::string()
                                : std::to_string(n) + " keys for " + std::to_string(t.recordCount()) + " records";
}

// Holds the table's header lock for writing from a child process until it is killed.
pid_t holdHeaderLock(const fs::path& table) {
    int ready[2];
    if (::pipe(ready) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t holder = runChild([&] {
        File f;
        f.open(table, File::Access::ReadWrite);
        f.lock(dbf::kHeaderLock, File::LockType::Write);
        (void)!::write(ready[1], "h", 1);
        ::pause();
    });
    char c = 0;
    (void)!::read(ready[0], &c, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    return holder;
}

} // namespace

// A counter behind another that holds the book gives up after the bound, in every thread that
// waits, also one that blocks all signals, with a message that names the folder.
TEST(DbfShared, aHeaderLockHeldPastTheBound_isGivenUpOnInEachWaitingThread) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    {
        TDbfTable t;
        t.open(dir / "t.dbf");
        append(t, "one");
    }
    TDbfTable tables[2];
    for (TDbfTable& t : tables) {
        t.open(dir / "t.dbf");
    }
    const pid_t holder = holdHeaderLock(dir / "t.dbf");
    std::string errors[2];
    std::chrono::steady_clock::duration waited[2];
    std::vector<std::thread> threads;
    for (int i = 0; i < 2; ++i) {
        threads.emplace_back([&, i] {
            if (i == 1) {
                sigset_t all;
                sigfillset(&all);
                ::pthread_sigmask(SIG_BLOCK, &all, nullptr);
            }
            const auto start = std::chrono::steady_clock::now();
            errors[i] = errorOf([&] { append(tables[i], "two"); });
            waited[i] = std::chrono::steady_clock::now() - start;
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    ::kill(holder, SIGKILL);
    waitChild(holder);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(errors[i], "Another counter holds the customer book in " + dir.path().string() +
                                 " (the file t.dbf stayed locked for several seconds). Try again in a moment.");
        EXPECT_GE(waited[i], File::kLockWait);
        EXPECT_LT(waited[i], File::kLockWait + std::chrono::seconds(3));
    }
    TDbfTable t;
    t.open(dir / "t.dbf");
    EXPECT_EQ(t.recordCount(), 1u);
    append(t, "three");
    EXPECT_EQ(t.recordCount(), 2u);
}

// A record another counter has written but not yet counted, and then takes back, is never counted
// by an open meanwhile: the open looks under the header lock.
TEST(DbfShared, readOnlyOpenDuringAnAppendThatIsTakenBack_countsOnlyTheRecordsBefore) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    {
        TDbfTable t;
        t.open(dir / "t.dbf");
        append(t, "one");
    }
    File writer;
    ASSERT_EQ(writer.open(dir / "t.dbf", File::Access::ReadWrite), 0);
    writer.lock(dbf::kHeaderLock, File::LockType::Write);
    const std::uint64_t size = writer.size();
    const std::string record = " GHOST       " + std::string(10, ' ') + "\x1A";
    writer.writeAt(size - 1, record.data(), record.size()); // over the end mark, as a post writes
    std::uint32_t counted = 0;
    std::thread reader([&] {
        TDbfTable t;
        t.open(dir / "t.dbf", TDbfTable::OpenMode::ReadOnly);
        counted = t.recordCount();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const char end = '\x1A';
    writer.writeAt(size - 1, &end, 1);
    writer.truncate(size);
    writer.unlock(dbf::kHeaderLock);
    reader.join();
    EXPECT_EQ(counted, 1u);
}

// A journal a killed writer left is replayed only under the header's write lock: while another
// counter holds the read lock, a reader that finds it waits instead of writing under that
// counter's reads, then replays and reads the whole index.
TEST(DbfShared, aJournalLeftByAKilledWriter_isReplayedOnlyUnderTheWriteLock) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    TDbfTable t;
    t.open(dir / "t.dbf");
    t.createIndex("names.idx", "NAME");
    for (const char* name : {"delta", "bravo", "foxtrot"}) {
        append(t, name);
    }
    t.first();
    saveThenKillRebuildAt(dir.path(), "alpha", 4);
    File other;
    ASSERT_EQ(other.open(dir / "t.dbf", File::Access::ReadOnly), 0);
    other.lock(dbf::kHeaderLock, File::LockType::Read);
    std::string error;
    std::string problem = "(not read)";
    std::thread reader([&] { error = errorOf([&] { problem = indexOrderProblem(t); }); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(fs::exists(idx::journalPath(dir / "names.idx"))) << "replayed under another counter's read lock";
    other.unlock(dbf::kHeaderLock);
    reader.join();
    EXPECT_EQ(error, "(no error)");
    EXPECT_EQ(problem, "");
    EXPECT_FALSE(fs::exists(idx::journalPath(dir / "names.idx")));
    t.first();
    EXPECT_EQ(t.fieldText("NAME"), "alpha       ");
    EXPECT_EQ(t.recordCount(), 4u);
}

// Round after round a killed rebuild leaves a journal; one counter, open all along, replays it as
// it reads while another opens the book and reads: neither sees an error or a half-replayed index.
TEST(DbfShared, replayAndReadAtOnce_manyRounds_neverShowAHalfReplayedIndex) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    {
        TDbfTable t;
        t.open(dir / "t.dbf");
        t.createIndex("names.idx", "NAME");
        for (int i = 0; i < 40; ++i) {
            append(t, "base" + std::to_string(i * 7 % 40));
        }
    }
    int go[2];
    int done[2];
    ASSERT_EQ(::pipe(go), 0);
    ASSERT_EQ(::pipe(done), 0);
    const auto reportOn = [](int fd, const std::string& problem) {
        const char verdict = problem.empty() ? 'k' : 'x';
        if (!problem.empty()) {
            std::fprintf(stderr, "%s\n", problem.c_str());
        }
        (void)!::write(fd, &verdict, 1);
    };
    const pid_t longOpen = runChild([&] {
        TDbfTable t;
        t.open(dir / "t.dbf");
        t.openIndexFile("names.idx");
        char c = 0;
        while (::read(go[0], &c, 1) == 1 && c == 'g') {
            std::string problem;
            try {
                problem = indexOrderProblem(t);
            } catch (const std::exception& e) {
                problem = e.what();
            }
            reportOn(done[1], problem);
        }
    });
    constexpr int kRounds = 200;
    int failures = 0;
    for (int round = 0; round < kRounds && failures < 3; ++round) {
        char name[16];
        std::snprintf(name, sizeof name, "k%03d", (round * 73) % kRounds);
        saveThenKillRebuildAt(dir.path(), name, 4 + round % 2);
        (void)!::write(go[1], "g", 1);
        const bool readOnly = round % 2 == 1;
        const pid_t opener = runChild([&] {
            TDbfTable t;
            t.open(dir / "t.dbf", readOnly ? TDbfTable::OpenMode::ReadOnly : TDbfTable::OpenMode::Shared);
            t.openIndexFile("names.idx");
            const std::string problem = indexOrderProblem(t);
            if (!problem.empty()) {
                throw std::runtime_error(problem);
            }
        });
        char verdict = 0;
        ASSERT_EQ(::read(done[0], &verdict, 1), 1);
        const int status = waitChild(opener);
        EXPECT_EQ(verdict, 'k') << "round " << round << ": the counter open all along";
        EXPECT_EQ(status, 0) << "round " << round << ": the counter that opened";
        failures += verdict != 'k' || status != 0 ? 1 : 0;
    }
    (void)!::write(go[1], "q", 1);
    EXPECT_EQ(waitChild(longOpen), 0);
    for (int fd : {go[0], go[1], done[0], done[1]}) {
        ::close(fd);
    }
    TDbfTable t;
    t.open(dir / "t.dbf");
    EXPECT_EQ(t.recordCount(), 40u + kRounds);
}

TEST(DbfShared, editOfALockedRecord_failsWithTheFixedText) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    TDbfTable a;
    a.open(dir / "t.dbf");
    append(a, "one");
    append(a, "two");
    TDbfTable b; // a second open file description, as another user would have
    b.open(dir / "t.dbf");
    a.go(1);
    a.edit();
    b.go(1);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(errorOf([&] { b.edit(); }), kLockFailure);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(200)); // retried a while
    EXPECT_FALSE(b.isEditing());
    b.go(2);
    b.edit(); // another record is free
    b.cancel();
    a.setFieldText("NAME", "ONE");
    a.post();
    b.go(1);
    b.edit(); // released by post
    EXPECT_EQ(b.fieldText("NAME"), "ONE         ");
    b.cancel();
    a.edit(); // and by cancel
}

TEST(DbfShared, editOfARecordLockedByAnotherProcess_failsUntilItEnds) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    {
        TDbfTable t;
        t.open(dir / "t.dbf");
        append(t, "one");
    }
    int toParent[2];
    int toChild[2];
    ASSERT_EQ(::pipe(toParent), 0);
    ASSERT_EQ(::pipe(toChild), 0);
    const pid_t child = runChild([&] {
        TDbfTable t;
        t.open(dir / "t.dbf");
        t.edit();
        char c = 'L';
        (void)!::write(toParent[1], &c, 1);
        (void)!::read(toChild[0], &c, 1); // holds the lock until told
    });
    char c = 0;
    ASSERT_EQ(::read(toParent[0], &c, 1), 1);
    TDbfTable t;
    t.open(dir / "t.dbf");
    EXPECT_EQ(errorOf([&] { t.edit(); }), kLockFailure);
    (void)!::write(toChild[1], &c, 1);
    EXPECT_EQ(waitChild(child), 0);
    t.edit();
    EXPECT_TRUE(t.isEditing());
    for (int fd : {toParent[0], toParent[1], toChild[0], toChild[1]}) {
        ::close(fd);
    }
}

TEST(DbfShared, editRereadsTheRecord_afterAnotherUserPostedIt) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    TDbfTable a;
    a.open(dir / "t.dbf");
    append(a, "one");
    append(a, "two");
    a.first(); // record 1 now sits in a's read-ahead
    TDbfTable b;
    b.open(dir / "t.dbf");
    b.edit();
    b.setFieldText("NAME", "changed");
    b.post();
    a.edit();
    EXPECT_EQ(a.fieldText("NAME"), "changed     ");
    a.post();
    a.next();
    EXPECT_EQ(a.fieldText("NAME"), "two         ");
}

TEST(DbfShared, twoProcessesAppending500EachAtOnce_give1000RecordsAndAValidIndex) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    {
        TDbfTable t;
        t.open(dir / "t.dbf");
        t.createIndex("names.idx", "NAME");
    }
    StartBarrier barrier;
    std::vector<pid_t> children;
    for (int p = 0; p < 2; ++p) {
        children.push_back(runChild([&dir, &barrier, p] {
            TDbfTable t;
            t.open(dir / "t.dbf");
            t.openIndexFile("names.idx");
            barrier.arriveAndWait();
            for (int i = 0; i < 500; ++i) {
                // Keys interleave between the processes: P0-0007 and P1-0007 sort apart, and
                // both processes insert all over the index.
                char name[16];
                std::snprintf(name, sizeof name, "%04d-P%d", (i * 37) % 500, p);
                append(t, name);
            }
        }));
    }
    EXPECT_TRUE(barrier.startWhenReady(2)) << "a writer ended before the start";
    for (pid_t pid : children) {
        EXPECT_EQ(waitChild(pid), 0);
    }
    expectIndexValid(dir / "t.dbf", dir / "names.idx", 1000);
    TDbfTable t;
    t.open(dir / "t.dbf");
    std::set<std::string> names;
    // Record numbers each writer got: the appends overlapped only if each one's span reaches into
    // the other's.
    std::uint32_t first[2] = {UINT32_MAX, UINT32_MAX};
    std::uint32_t last[2] = {0, 0};
    for (t.first(); !t.eof(); t.next()) {
        const std::string name = t.fieldText("NAME");
        EXPECT_EQ(t.fieldText("NOTES"), "notes of " + name.substr(0, name.find(' ')));
        names.insert(name);
        const int writer = name.compare(5, 2, "P1") == 0 ? 1 : 0;
        first[writer] = std::min(first[writer], t.recNo());
        last[writer] = std::max(last[writer], t.recNo());
    }
    EXPECT_EQ(names.size(), 1000u);
    EXPECT_LT(first[1], last[0]) << "the second writer started after the first had finished";
    EXPECT_LT(first[0], last[1]) << "the first writer started after the second had finished";
    const std::string bytes = readFile(dir / "t.dbf");
    EXPECT_EQ(bytes.size(), 32 + 2 * 32 + 1 + 1000 * 23 + 1);
    EXPECT_EQ(bytes.back(), '\x1A');
}

TEST(DbfShared, processKilledAtEachStepOfAnAppend_leavesEarlierRecordsIntact) {
    for (const PostStage stage :
         {PostStage::MemoWritten, PostStage::RecordWritten, PostStage::HeaderWritten, PostStage::IndexesUpdated}) {
        SCOPED_TRACE(static_cast<int>(stage));
        TempDir dir;
        makeTable(dir / "t.dbf");
        {
            TDbfTable t;
            t.open(dir / "t.dbf");
            t.createIndex("names.idx", "NAME");
            append(t, "one");
            append(t, "two");
        }
        const pid_t child = runChild([&dir, stage] {
            IoFaults faults;
            faults.killAtStage(stage);
            TDbfTable t(watchedBy(faults));
            t.open(dir / "t.dbf");
            t.openIndexFile("names.idx");
            append(t, "three");
        });
        const int status = waitChild(child);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), SIGKILL);

        // Once the record is written it counts; before, the table is as it was.
        const std::uint32_t expected = stage == PostStage::MemoWritten ? 2 : 3;
        TDbfTable t;
        t.open(dir / "t.dbf");
        ASSERT_EQ(t.recordCount(), expected);
        t.go(1);
        EXPECT_EQ(t.fieldText("NAME"), "one         ");
        EXPECT_EQ(t.fieldText("NOTES"), "notes of one");
        t.go(2);
        EXPECT_EQ(t.fieldText("NAME"), "two         ");
        EXPECT_EQ(t.fieldText("NOTES"), "notes of two");
        if (expected == 3) {
            t.go(3);
            EXPECT_EQ(t.fieldText("NOTES"), "notes of three");
        }
        t.openIndexFile("names.idx"); // an index short of the record is rebuilt
        t.close();
        expectIndexValid(dir / "t.dbf", dir / "names.idx", expected);
        // And the table takes further appends.
        t.open(dir / "t.dbf");
        t.openIndexFile("names.idx");
        append(t, "four");
        t.close();
        expectIndexValid(dir / "t.dbf", dir / "names.idx", expected + 1);
    }
}

TEST(DbfShared, processKilledAtRandomMomentsWhileAppending_leavesEveryWholeRecordIntact) {
    TempDir dir;
    makeTable(dir / "t.dbf");
    std::mt19937 random(12345);
    std::uint32_t last = 0;
    for (int round = 0; round < 12; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = runChild([&dir, &ready] {
            TDbfTable t;
            t.open(dir / "t.dbf");
            char c = 'R';
            (void)!::write(ready[1], &c, 1);
            for (;;) {
                t.insert();
                const std::string name = "R" + std::to_string(t.recNo());
                t.setFieldText("NAME", name);
                t.setFieldText("NOTES", "notes of " + name);
                t.post();
            }
        });
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ::close(ready[0]);
        ::close(ready[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 20000)(random)));
        ::kill(child, SIGKILL);
        waitChild(child);

        TDbfTable t;
        t.open(dir / "t.dbf", TDbfTable::OpenMode::ReadOnly);
        std::uint32_t n = 0;
        for (t.first(); !t.eof(); t.next()) {
            ++n;
            const std::string name = "R" + std::to_string(n);
            ASSERT_EQ(t.fieldText("NAME"), padRight(name, 12)) << "round " << round;
            ASSERT_EQ(t.fieldText("NOTES"), "notes of " + name) << "round " << round;
        }
        ASSERT_EQ(n, t.recordCount());
        t.close();
        t.open(dir / "t.dbf"); // writable: the header is repaired on disk
        t.close();
        const std::string bytes = readFile(dir / "t.dbf");
        const auto headerCount = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[4]) |
                                                            static_cast<unsigned char>(bytes[5]) << 8);
        EXPECT_EQ(headerCount, n);
        last = n;
    }
    EXPECT_GT(last, 12u); // the children got on with appending
}
