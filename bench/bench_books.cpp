// The customer book at a large shop's scale, 100,000 saved setups, kept in the files and on a
// PostgreSQL server (its own cluster, started here like the tests', with the server's default
// durability), side by side: opening the lookup (open, count, first record), a search, a save
// and the export of every record.

#include "records/customer_book.h"
#include "records/pg_book.h"
#include "records/pg_schema.h"
#include "tests/support/pg_cluster.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

namespace records = arrowsel::records;

constexpr std::uint32_t kCustomers = 100000;

// Names in an order unrelated to the order they were added in, so the name order really sorts.
std::string customerName(std::uint32_t i) {
    const std::uint32_t scrambled = (i * 2654435761u) % 1000003u;
    char buf[48];
    std::snprintf(buf, sizeof buf, "Customer %07u-%06u", scrambled, i);
    return buf;
}

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

void BM_Pg_OpenLookup(benchmark::State& state) {
    const std::string& url = server().url;
    for (auto _ : state) {
        auto book = records::openPgBook(url);
        benchmark::DoNotOptimize(book->count());
        book->first();
        benchmark::DoNotOptimize(book->fieldText("NAME"));
    }
}
BENCHMARK(BM_Pg_OpenLookup)->Unit(benchmark::kMillisecond);

void BM_Pg_Search(benchmark::State& state) {
    auto book = records::openPgBook(server().url);
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
BENCHMARK(BM_Pg_Search)->Unit(benchmark::kMillisecond);

void BM_Pg_SearchMiss(benchmark::State& state) {
    auto book = records::openPgBook(server().url);
    for (auto _ : state) {
        benchmark::DoNotOptimize(book->seek("Nobody"));
    }
}
BENCHMARK(BM_Pg_SearchMiss)->Unit(benchmark::kMillisecond);

void BM_Pg_Save(benchmark::State& state) {
    auto book = records::openPgBook(server().url);
    std::uint32_t i = kCustomers;
    for (auto _ : state) {
        book->append({{"NAME", customerName(++i)}, {"CITY", "Dayton"}, {"DATE", "20261208"}, {"HORT", "1"}});
    }
}
BENCHMARK(BM_Pg_Save)->Unit(benchmark::kMillisecond);

void BM_Pg_ExportAll(benchmark::State& state) {
    auto book = records::openPgBook(server().url);
    const auto out = std::filesystem::temp_directory_path() / ("arrowsel-bench-export-" + std::to_string(::getpid()));
    for (auto _ : state) {
        book->exportText(out);
    }
    std::filesystem::remove(out);
}
BENCHMARK(BM_Pg_ExportAll)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
