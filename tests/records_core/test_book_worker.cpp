// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/text.h"
#include "records/book_worker.h"
#include "records/file_book.h"
#include "records/saved_layout.h"
#include "tests/support/temp_dir.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace arrowsel::records {
namespace {

using namespace std::chrono_literals;

class BookWorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        FileBook::create(dir.path(), savedSetupFields());
        FileBook book(dir.path());
        for (const char* n : {"Cole", "Adams", "Baker"}) {
            book.append({{"NAME", n}});
        }
    }
    BookWorker::Opener opener() {
        return [folder = dir.path()] { return std::make_unique<FileBook>(folder); };
    }
    static std::string name(const BookView& v) { return std::string(data::trimTrailingSpaces(v.text("NAME"))); }

    test::TempDir dir;
};

TEST_F(BookWorkerTest, jobsRunInOrder_andAFailureCarriesTheRecordTheBookIsOn) {
    BookWorker worker(opener());
    EXPECT_NE(worker.opened().get().where.find(dir.path().string()), std::string::npos);
    std::future<BookView> first = worker.post([](CustomerBook& b) { b.first(); });
    std::future<BookView> next = worker.post([](CustomerBook& b) { b.next(); });
    std::future<BookView> failed = worker.post([](CustomerBook& b) {
        b.last();
        throw EBookError("after the move");
    });
    EXPECT_EQ(name(first.get()), "Adams");
    EXPECT_EQ(name(next.get()), "Baker");
    try {
        failed.get();
        ADD_FAILURE() << "the job's error was lost";
    } catch (const BookJobFailure& f) {
        EXPECT_EQ(name(f.view), "Cole");
        EXPECT_THROW(std::rethrow_exception(f.error), EBookError);
    }
}

TEST_F(BookWorkerTest, anOpenThatFails_reportsWhyAndLaterJobsFailToo) {
    BookWorker worker([]() -> std::unique_ptr<CustomerBook> { throw EBookError("no such book"); });
    EXPECT_THROW(worker.opened().get(), EBookError);
    EXPECT_THROW(worker.post([](CustomerBook&) {}).get(), BookJobFailure);
}

TEST_F(BookWorkerTest, aWorkerLetGoWithAJobOut_doesNotWaitAndItsThreadEndsByItself) {
    std::atomic<bool> finished = false;
    const auto started = std::chrono::steady_clock::now();
    {
        BookWorker worker(opener());
        worker.post([&finished](CustomerBook& b) {
            std::this_thread::sleep_for(300ms);
            b.append({{"NAME", "Dunn"}});
            finished = true;
        });
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, 200ms);
    EXPECT_TRUE(BookWorker::waitForRetired(5s));
    EXPECT_TRUE(finished);
    EXPECT_EQ(FileBook(dir.path()).count(), 4u);
}

} // namespace
} // namespace arrowsel::records
