// SPDX-License-Identifier: GPL-3.0-or-later
// What a table opened shared reads from its files to stay fresh: the reads one call costs, and
// which changes by other processes and programs each call sees.

#include "data/dbf_table.h"
#include "data/file_io.h"
#include "tests/support/io_faults.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace arrowsel::data;
using namespace arrowsel::test;
namespace fs = std::filesystem;

namespace {

void append(TDbfTable& t, const std::string& name, const std::string& city) {
    t.insert();
    t.setFieldText("NAME", name);
    t.setFieldText("CITY", city);
    t.post();
}

// A table of ten customers indexed on NAME, opened shared with the index.
class SharedReads : public ::testing::Test {
protected:
    void SetUp() override {
        TDbfTable::create(dir / "cust.dbf", {{"NAME", FieldType::Character, 12}, {"CITY", FieldType::Character, 10}});
        {
            TDbfTable w(trusting());
            w.open(dir / "cust.dbf");
            for (int i = 0; i < 10; ++i) {
                append(w, "name" + std::to_string(i), "city" + std::to_string(i));
            }
            w.createIndex("cust.idx", "NAME");
        }
        t.open(dir / "cust.dbf");
        t.openIndexFile("cust.idx");
    }

    // Rewrites the city of record `n` in place as a program that knows nothing of our change mark
    // would, header untouched (records of 23 bytes after a 97-byte header).
    void rewriteCity(std::uint32_t n, const std::string& city) {
        File raw;
        ASSERT_EQ(raw.open(t.path(), File::Access::ReadWrite), 0);
        raw.writeAt(97 + (n - 1) * 23 + 13, city.data(), city.size());
    }

    // Runs `body` in another process, which opens the table shared with its index.
    void inAnotherProcess(const std::function<void(TDbfTable&)>& body) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            int status = 0;
            try {
                TDbfTable other(trusting());
                other.open(dir / "cust.dbf");
                other.openIndexFile("cust.idx");
                body(other);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "child: %s\n", e.what());
                status = 1;
            }
            ::_exit(status);
        }
        int status = -1;
        ::waitpid(pid, &status, 0);
        ASSERT_EQ(status, 0);
    }

    std::string city() const { return t.fieldText("CITY"); }

    // Long enough that nothing a test sees comes from the trust running out by itself.
    static TDbfTable::Settings trusting(std::chrono::milliseconds trust = std::chrono::hours(1),
                                        IoProbe* probe = nullptr) {
        TDbfTable::Settings settings;
        settings.trustUnchanged = trust;
        settings.probe = probe;
        return settings;
    }

    struct IoCount {
        int reads = 0;
        int stats = 0;
    };

    // The reads and stats `body` makes of the table t.
    IoCount ioOf(const std::function<void()>& body) {
        counter.reset();
        body();
        return {counter.reads, counter.stats};
    }

    TempDir dir;
    ReadCounter counter;
    TDbfTable t{trusting(std::chrono::hours(1), &counter)};
};

TEST_F(SharedReads, anUnchangedTableAnswersEachCallWithAtMostOneRead) {
    ASSERT_TRUE(t.seek("name3"));
    ASSERT_TRUE(t.seek("name7"));

    IoCount io = ioOf([&] { EXPECT_TRUE(t.seek("name3")); });
    EXPECT_EQ(io.reads, 1); // the header; the records were read ahead when the table opened
    EXPECT_EQ(io.stats, 0);
    EXPECT_EQ(city(), "city3     ");

    io = ioOf([&] { EXPECT_FALSE(t.seek("zzz")); }); // not found: on the last key, name9
    EXPECT_EQ(io.reads, 1);
    EXPECT_EQ(io.stats, 0);
    EXPECT_EQ(city(), "city9     ");

    io = ioOf([&] {
        t.first();
        t.last();
        t.go(4);
    });
    EXPECT_EQ(io.reads, 3);
    EXPECT_EQ(io.stats, 0);
    EXPECT_EQ(city(), "city3     ");

    io = ioOf([&] {
        t.seek("name5");
        t.next();
        t.next();
        t.prior();
    });
    EXPECT_EQ(io.reads, 1); // the seek's header: moving checks nothing while trusted
    EXPECT_EQ(io.stats, 0);
    EXPECT_EQ(city(), "city6     ");
}

TEST_F(SharedReads, theNextSeekSeesWhatAnotherProcessPosted) {
    ASSERT_TRUE(t.seek("name2"));
    ASSERT_FALSE(t.seek("name10"));

    inAnotherProcess([](TDbfTable& o) { append(o, "name10", "added"); });
    ASSERT_TRUE(t.seek("name10"));
    EXPECT_EQ(city(), "added     ");
    EXPECT_EQ(t.recNo(), 11u);
    EXPECT_EQ(t.recordCount(), 11u);

    // An edit changes neither the count nor the index: the change mark tells.
    inAnotherProcess([](TDbfTable& o) {
        o.seek("name2");
        o.edit();
        o.setFieldText("CITY", "moved");
        o.post();
    });
    ASSERT_TRUE(t.seek("name2"));
    EXPECT_EQ(city(), "moved     ");

    // A key changed: the index is read again, and the old key is gone.
    inAnotherProcess([](TDbfTable& o) {
        o.seek("name4");
        o.edit();
        o.setFieldText("NAME", "renamed");
        o.post();
    });
    ASSERT_TRUE(t.seek("renamed"));
    EXPECT_EQ(city(), "city4     ");
    EXPECT_TRUE(t.seek("name5"));
    t.prior();
    EXPECT_EQ(t.fieldText("NAME"), "name3       ");
}

TEST_F(SharedReads, aPostInThisProcessIsSeenByItsOtherOpens) {
    ASSERT_TRUE(t.seek("name6"));
    TDbfTable w(trusting());
    w.open(dir / "cust.dbf");
    w.openIndexFile("cust.idx");
    w.seek("name6");
    w.edit();
    w.setFieldText("CITY", "here");
    w.post();
    ASSERT_TRUE(t.seek("name6"));
    EXPECT_EQ(city(), "here      ");
    w.first();
    EXPECT_EQ(w.fieldText("NAME"), "name0       ");
}

TEST_F(SharedReads, aChangeThatLeavesTheHeaderAsItWasIsSeenOnceTheTrustRunsOut) {
    // Beside t, an open that trusts what it read for 20 ms only, having read the same records.
    TDbfTable quick(trusting(std::chrono::milliseconds(20)));
    quick.open(dir / "cust.dbf");
    quick.openIndexFile("cust.idx");
    for (TDbfTable* table : {&t, &quick}) {
        ASSERT_TRUE(table->seek("name1")); // record 2
        table->next();
        table->prior();
    }
    rewriteCity(2, "quiet     ");
    rewriteCity(3, "later     ");
    ASSERT_TRUE(t.seek("name1"));
    EXPECT_EQ(city(), "city1     "); // trusted: the header is as it was

    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    quick.next();
    EXPECT_EQ(quick.fieldText("CITY"), "later     ");
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    ASSERT_TRUE(quick.seek("name1"));
    EXPECT_EQ(quick.fieldText("CITY"), "quiet     ");
}

} // namespace
