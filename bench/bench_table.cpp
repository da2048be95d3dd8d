// Table engine figures on a 100,000-record table of 200-byte records:
// sequential read, seeks, reindex, append + post with an index, copy to text; and opening an index
// file of 4 GiB whose tree uses a few blocks (a sparse file), which reads only those blocks.

#include "bench/table_fixture.h"
#include "data/dbf_table.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
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

void BM_Reindex(benchmark::State& state) {
    TDbfTable t;
    t.open(benchFolder() / "cust.dbf", TDbfTable::OpenMode::Exclusive);
    t.openIndexFile("cust.idx");
    for (auto _ : state) {
        t.reindex();
    }
}
BENCHMARK(BM_Reindex)->Unit(benchmark::kMillisecond)->Iterations(10);

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
