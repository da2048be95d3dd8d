// SPDX-License-Identifier: GPL-3.0-or-later
// The customer book at a large shop's scale, 100,000 saved setups, kept in the files and on a
// PostgreSQL server (its own cluster, started here like the tests', with the server's default
// durability), side by side: opening the lookup (open, count, first record), a search, a search
// while another process saves a customer every 10 ms (its p50 and p99 as counters), a save and
// the export of every record.

#include "bench/customer_folder.h"
#include "data/dbf_table.h"
#include "records/customer_book.h"
#include "records/pg_schema.h"
#include "tests/support/pg_cluster.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace records = arrowsel::records;

constexpr std::uint32_t kCustomers = 100000;

using arrowsel::bench::customerName;

struct Server {
    arrowsel::test::PgCluster cluster{arrowsel::test::PgCluster::Options{true}};
    std::string url;
    Server() {
        const std::string db = cluster.createDatabase();
        url = cluster.url(db);
        records::initServerBook(url);
        // Filled on the server in one statement: 100,000 saves through the book would time the
        // set-up, not the book. The names are the ones customerName() makes (its product wraps at 2^32).
        cluster.exec("INSERT INTO saved_setups (name, addr1, city, state, zip, \"date\", bowwt, arlen, pntwt, hort, "
                     "botyp, whtyp, retyp, bolen, odlen) SELECT "
                     "'Customer ' || lpad((((i::bigint * 2654435761) % 4294967296) % 1000003)::text, 7, '0') || '-' || "
                     "lpad(i::text, 6, '0'), (i % 9999) || ' Fletching Lane', 'Springfield', 'OH', "
                     "(10000 + i % 90000)::text, DATE '2026-03-14', '60', '30', '100', i % 2, i % 2, i % 2, i % 2, "
                     "i % 2, i % 2 FROM generate_series(1, " +
                         std::to_string(kCustomers) + ") AS i",
                     db);
        cluster.exec("VACUUM ANALYZE saved_setups", db);
    }
};

Server& server() {
    static Server s;
    return s;
}

struct Folder : arrowsel::bench::CustomerFolder {
    Folder() : CustomerFolder("books", kCustomers) {}
};

using Opener = std::function<std::unique_ptr<records::CustomerBook>()>;

Opener files() {
    return [] {
        static Folder f;
        return records::openCustomerBookAt(f.path.string());
    };
}

Opener postgres() {
    return [] { return records::openCustomerBookAt(server().url); };
}

// Opening the lookup: the book opened, counted (Get Setup) and on its first record.
void openLookup(benchmark::State& state, const Opener& open) {
    open(); // the set-up, outside the timing
    for (auto _ : state) {
        auto book = open();
        benchmark::DoNotOptimize(book->count());
        book->first();
        benchmark::DoNotOptimize(book->fieldText("NAME"));
    }
}

// The search of the lookup: the first letters of a name, landing on it.
void search(benchmark::State& state, const Opener& open) {
    auto book = open();
    std::uint32_t i = 1;
    for (auto _ : state) {
        const std::string name = customerName(i);
        if (!book->seek(name.substr(0, 14))) {
            state.SkipWithError("a search missed");
            break;
        }
        i = i % kCustomers + 7919;
    }
}

void searchMiss(benchmark::State& state, const Opener& open) {
    auto book = open();
    for (auto _ : state) {
        benchmark::DoNotOptimize(book->seek("Nobody"));
    }
}

// The search of the lookup on one counter while another, a process of its own, saves a customer
// every 10 ms: each search timed alone, the median and the 99th percentile reported in ms.
void searchWhileSaving(benchmark::State& state, const Opener& open) {
    auto book = open();
    int stop[2];
    if (::pipe(stop) != 0) {
        state.SkipWithError("no pipe");
        return;
    }
    static std::uint32_t next = 2 * kCustomers;
    const std::uint32_t first = (next += 100000);
    const pid_t saver = ::fork();
    if (saver == 0) {
        ::close(stop[1]);
        ::fcntl(stop[0], F_SETFL, O_NONBLOCK);
        try {
            auto other = open();
            char c = 0;
            for (std::uint32_t i = first; ::read(stop[0], &c, 1) < 0; ++i) {
                other->append({{"NAME", customerName(i)}, {"CITY", "Dayton"}, {"DATE", "20261208"}, {"HORT", "1"}});
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "the saving process stopped: %s\n", e.what());
            ::_exit(1);
        }
        ::_exit(0);
    }
    ::close(stop[0]);
    std::vector<double> ms;
    std::uint32_t i = 1;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const bool found = book->seek(customerName(i).substr(0, 14));
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        if (!found) {
            state.SkipWithError("a search missed");
            break;
        }
        i = i % kCustomers + 7919;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::close(stop[1]);
    int status = 0;
    ::waitpid(saver, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        state.SkipWithError("the saving process failed");
    }
    std::sort(ms.begin(), ms.end());
    if (!ms.empty()) {
        state.counters["p50_ms"] = ms[ms.size() / 2];
        state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    }
}

// Save Setup: one new customer stored (flushed to disk, or committed).
void save(benchmark::State& state, const Opener& open) {
    auto book = open();
    static std::uint32_t next = kCustomers;
    for (auto _ : state) {
        book->append({{"NAME", customerName(++next)}, {"CITY", "Dayton"}, {"DATE", "20261208"}, {"HORT", "1"}});
    }
}

void exportAll(benchmark::State& state, const Opener& open) {
    auto book = open();
    const auto out = std::filesystem::temp_directory_path() / ("arrowsel-bench-export-" + std::to_string(::getpid()));
    for (auto _ : state) {
        book->exportText(out);
    }
    std::filesystem::remove(out);
}

BENCHMARK_CAPTURE(openLookup, files, files())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(openLookup, postgresql, postgres())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, files, files())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, postgresql, postgres())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchMiss, files, files())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchMiss, postgresql, postgres())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchWhileSaving, files, files())->Unit(benchmark::kMillisecond)->Iterations(2000)->UseRealTime();
BENCHMARK_CAPTURE(searchWhileSaving, postgresql, postgres())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2000)
    ->UseRealTime();
BENCHMARK_CAPTURE(save, files, files())->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK_CAPTURE(save, postgresql, postgres())->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK_CAPTURE(exportAll, files, files())->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(exportAll, postgresql, postgres())->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
