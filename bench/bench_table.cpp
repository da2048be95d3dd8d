// SPDX-License-Identifier: GPL-3.0-or-later
// Table engine figures on a 100,000-record table of 200-byte records:
// sequential read, seeks, moves in index order, seeks while another process appends, reindex (of a
// plain field key and of a key built from converted values), append + post with an index, copy to text; and opening an
// index file of 4 GiB whose tree uses a few blocks (a sparse file), which reads only those blocks. Every table is
// opened shared unless a figure says otherwise.

#include "bench/table_fixture.h"
#include "data/dbf_table.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using arrowsel::data::IndexKind;
using arrowsel::data::TDbfTable;
namespace fs = std::filesystem;

constexpr std::uint32_t kRecords = 100000;

// One folder per process with the table and its index, made once.
const fs::path& benchFolder() {
    static const fs::path folder = [] {
        // ARROWSEL_BENCH_DIR keeps the files, so the peer script can work on the same table.
        const char* keep = std::getenv("ARROWSEL_BENCH_DIR");
        fs::path dir = keep != nullptr ? fs::path(keep)
                                       : fs::temp_directory_path() / ("arrowsel-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        arrowsel::bench::writeBenchTable(dir / "cust.dbf", kRecords);
        TDbfTable t;
        t.open(dir / "cust.dbf", TDbfTable::OpenMode::Exclusive);
        t.createIndex(dir / "cust.idx", "NAME", IndexKind::Compact);
        t.close();
        if (keep != nullptr) {
            return dir;
        }
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(fs::temp_directory_path() / ("arrowsel-bench-" + std::to_string(::getpid())), ec);
        });
        return dir;
    }();
    return folder;
}

void BM_SequentialRead(benchmark::State& state) {
    TDbfTable t;
    t.open(benchFolder() / "cust.dbf", TDbfTable::OpenMode::Shared);
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (t.first(); !t.eof(); t.next()) {
            bytes += t.fieldText("NAME").size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_SequentialRead)->Unit(benchmark::kMillisecond);

void BM_Seek(benchmark::State& state) {
    TDbfTable t;
    t.open(benchFolder() / "cust.dbf", TDbfTable::OpenMode::Shared);
    t.openIndexFile("cust.idx");
    std::vector<std::string> keys;
    std::mt19937 rng(42);
    for (int i = 0; i < 1000; ++i) {
        keys.push_back(arrowsel::bench::benchName(1 + static_cast<std::uint32_t>(rng() % kRecords)).substr(0, 16));
    }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(t.seek(keys[i++ % keys.size()]));
    }
}
BENCHMARK(BM_Seek)->Repetitions(5)->ReportAggregatesOnly(true);

// Seeks over 20,000 different records, more than a shared open keeps: most land on a record
// read from the file.
void BM_SeekRecordsNotKept(benchmark::State& state) {
    TDbfTable t;
    t.open(benchFolder() / "cust.dbf", TDbfTable::OpenMode::Shared);
    t.openIndexFile("cust.idx");
    std::vector<std::string> keys;
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i) {
        keys.push_back(arrowsel::bench::benchName(1 + static_cast<std::uint32_t>(rng() % kRecords)).substr(0, 16));
    }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(t.seek(keys[i++ % keys.size()]));
    }
}
BENCHMARK(BM_SeekRecordsNotKept)->Repetitions(3)->ReportAggregatesOnly(true);

// The lookup window's moves: from a found customer ten records on and ten back, in name order.
void BM_NextPriorNearASeek(benchmark::State& state) {
    TDbfTable t;
    t.open(benchFolder() / "cust.dbf", TDbfTable::OpenMode::Shared);
    t.openIndexFile("cust.idx");
    t.seek(arrowsel::bench::benchName(kRecords / 2).substr(0, 16));
    for (auto _ : state) {
        for (int k = 0; k < 10; ++k) {
            t.next();
        }
        for (int k = 0; k < 10; ++k) {
            t.prior();
        }
    }
    state.SetItemsProcessed(state.iterations() * 20);
    // Seconds per move (CPU time), printed with its unit prefix ("31.2ns").
    state.counters["per_move"] = benchmark::Counter(static_cast<double>(state.iterations()) * 20,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_NextPriorNearASeek)->Repetitions(5)->ReportAggregatesOnly(true);

// A walk through the whole table in name order: every record lies elsewhere in the file.
void BM_NextWholeIndexOrder(benchmark::State& state) {
    TDbfTable t;
    t.open(benchFolder() / "cust.dbf", TDbfTable::OpenMode::Shared);
    t.openIndexFile("cust.idx");
    t.first();
    for (auto _ : state) {
        t.next();
        if (t.eof()) {
            t.first();
        }
    }
}
BENCHMARK(BM_NextWholeIndexOrder)->Repetitions(3)->ReportAggregatesOnly(true);

// 1,000 seeks with an append by another process before each: every seek finds the header
// changed and reads the new count and the changed index. Only the seeks are timed.
void BM_ThousandSeeksAnotherProcessAppendingBetween(benchmark::State& state) {
    const fs::path dir = benchFolder() / "appending";
    fs::create_directories(dir);
    arrowsel::bench::writeBenchTable(dir / "cust.dbf", kRecords);
    {
        TDbfTable w;
        w.open(dir / "cust.dbf", TDbfTable::OpenMode::Exclusive);
        w.createIndex("cust.idx", "NAME", IndexKind::Compact);
    }
    int ask[2];
    int done[2];
    if (::pipe(ask) != 0 || ::pipe(done) != 0) {
        state.SkipWithError("pipe failed");
        return;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        // Only this process's own ends: a write end left open here would keep its read waiting.
        ::close(ask[1]);
        ::close(done[0]);
        TDbfTable w;
        w.open(dir / "cust.dbf", TDbfTable::OpenMode::Shared);
        w.openIndexFile("cust.idx");
        char c = 0;
        for (std::uint32_t n = kRecords + 1; ::read(ask[0], &c, 1) == 1; ++n) {
            w.insert();
            w.setFieldText("NAME", arrowsel::bench::benchName(n));
            w.post();
            if (::write(done[1], &c, 1) != 1) {
                break;
            }
        }
        ::_exit(0);
    }
    ::close(ask[0]);
    ::close(done[1]);
    TDbfTable t;
    t.open(dir / "cust.dbf", TDbfTable::OpenMode::Shared);
    t.openIndexFile("cust.idx");
    std::vector<std::string> keys;
    std::mt19937 rng(42);
    for (int i = 0; i < 1000; ++i) {
        keys.push_back(arrowsel::bench::benchName(1 + static_cast<std::uint32_t>(rng() % kRecords)).substr(0, 16));
    }
    const std::uint32_t before = t.recordCount();
    bool found = true;
    for (auto _ : state) {
        for (const std::string& key : keys) {
            state.PauseTiming();
            char c = 'a';
            if (::write(ask[1], &c, 1) != 1 || ::read(done[0], &c, 1) != 1) {
                state.SkipWithError("the appending process stopped");
                break;
            }
            state.ResumeTiming();
            found = t.seek(key) && found;
        }
    }
    const std::uint32_t appended = t.recordCount() - before;
    ::close(ask[1]);
    ::close(done[0]);
    ::waitpid(child, nullptr, 0);
    if (!found || appended != 1000 * state.iterations()) {
        state.SkipWithError("a seek missed its key, or an append was not seen");
    }
    state.counters["appends_seen"] = appended;
    fs::remove_all(dir);
}
BENCHMARK(BM_ThousandSeeksAnotherProcessAppendingBetween)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Reindex(benchmark::State& state) {
    TDbfTable t;
    t.open(benchFolder() / "cust.dbf", TDbfTable::OpenMode::Exclusive);
    t.openIndexFile("cust.idx");
    for (auto _ : state) {
        t.reindex();
    }
}
BENCHMARK(BM_Reindex)->Unit(benchmark::kMillisecond)->Iterations(10);

// The same, with a key that converts a date and a number to text: every record goes through the
// expression's evaluation rather than a copy of the field's bytes.
void BM_ReindexConvertedKey(benchmark::State& state) {
    const fs::path dir = benchFolder() / "converted";
    fs::create_directories(dir);
    fs::copy_file(benchFolder() / "cust.dbf", dir / "cust.dbf", fs::copy_options::overwrite_existing);
    TDbfTable t;
    t.open(dir / "cust.dbf", TDbfTable::OpenMode::Exclusive);
    t.createIndex("conv.idx", "UPPER(LEFT(CITY,6))+DTOS(BORN)+STR(QTY,10,2)", IndexKind::Compact);
    for (auto _ : state) {
        t.reindex();
    }
}
BENCHMARK(BM_ReindexConvertedKey)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_AppendPostWithIndex(benchmark::State& state) {
    const fs::path dir = benchFolder() / "append";
    fs::create_directories(dir);
    arrowsel::bench::writeBenchTable(dir / "cust.dbf", kRecords);
    TDbfTable t;
    t.open(dir / "cust.dbf", TDbfTable::OpenMode::Shared);
    t.createIndex("cust.idx", "NAME", IndexKind::Compact);
    std::uint32_t n = kRecords;
    for (auto _ : state) {
        t.insert();
        t.setFieldText("NAME", arrowsel::bench::benchName(++n));
        t.setFieldText("CITY", "Springfield");
        t.post();
    }
}
BENCHMARK(BM_AppendPostWithIndex)->Unit(benchmark::kMillisecond)->Iterations(200)->Repetitions(3);

void BM_CopyToText(benchmark::State& state) {
    TDbfTable t;
    t.open(benchFolder() / "cust.dbf", TDbfTable::OpenMode::Shared);
    for (auto _ : state) {
        t.copyToText(benchFolder() / "cust.txt");
    }
}
BENCHMARK(BM_CopyToText)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_OpenSparse4GiBIndex(benchmark::State& state) {
    const fs::path dir = benchFolder() / "sparse";
    fs::create_directories(dir);
    arrowsel::bench::writeBenchTable(dir / "small.dbf", 500);
    {
        TDbfTable t;
        t.open(dir / "small.dbf", TDbfTable::OpenMode::Exclusive);
        t.createIndex(dir / "small.idx", "NAME", IndexKind::Compact);
    }
    fs::resize_file(dir / "small.idx", 0xFFFFFE00ull);
    for (auto _ : state) {
        TDbfTable t;
        t.open(dir / "small.dbf", TDbfTable::OpenMode::ReadOnly);
        t.openIndexFile("small.idx");
        benchmark::DoNotOptimize(t.recNo());
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_OpenSparse4GiBIndex)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
