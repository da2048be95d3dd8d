// The customer book at a large shop's scale, 100,000 saved setups, kept in the files and on a
// PostgreSQL server (its own cluster, started here like the tests', with the server's default
// durability), side by side: opening the lookup (open, count, first record), a search, a save
// and the export of every record.

#include "data/dbf_table.h"
#include "records/customer_book.h"
#include "records/pg_schema.h"
#include "tests/support/pg_cluster.h"
#include "tools/gen/tables.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
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

// The shipped empty table, the same 100,000 customers appended as raw records, the name index
// rebuilt: set-up, not the book, so it goes the fast way.
struct Folder {
    std::filesystem::path path;
    Folder() {
        path = std::filesystem::temp_directory_path() / ("arrowsel-bench-books-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        arrowsel::sampledata::writeSavedSetups(path);
        std::vector<arrowsel::data::FieldDef> fields;
        {
            arrowsel::data::TDbfTable t;
            t.open(path / records::kSavedTable, arrowsel::data::TDbfTable::OpenMode::ReadOnly);
            fields = t.fields();
        }
        std::size_t recordLength = 1;
        for (const auto& f : fields) {
            recordLength += static_cast<std::size_t>(f.width);
        }
        std::fstream file(path / records::kSavedTable, std::ios::in | std::ios::out | std::ios::binary);
        unsigned char head[12];
        file.read(reinterpret_cast<char*>(head), sizeof head);
        const std::size_t headerLength = head[8] | (head[9] << 8);
        std::string out;
        out.reserve(kCustomers * recordLength + 1);
        for (std::uint32_t i = 1; i <= kCustomers; ++i) {
            std::string rec(recordLength, ' ');
            const auto put = [&](const char* field, const std::string& text, bool right = false) {
                for (const auto& f : fields) {
                    if (f.name == field) {
                        const auto w = static_cast<std::size_t>(f.width);
                        rec.replace(static_cast<std::size_t>(f.offset) + (right ? w - text.size() : 0), text.size(),
                                    text);
                    }
                }
            };
            put("NAME", customerName(i));
            put("ADDR1", std::to_string(i % 9999) + " Fletching Lane");
            put("CITY", "Springfield");
            put("STATE", "OH");
            put("ZIP", std::to_string(10000 + i % 90000));
            put("DATE", "20260314");
            put("BOWWT", "60");
            put("ARLEN", "30");
            put("PNTWT", "100");
            for (const char* code : {"HORT", "BOTYP", "WHTYP", "RETYP", "BOLEN", "ODLEN"}) {
                put(code, std::to_string(i % 2), true);
            }
            out += rec;
        }
        out += '\x1A';
        file.seekp(static_cast<std::streamoff>(headerLength));
        file.write(out.data(), static_cast<std::streamsize>(out.size()));
        for (int k = 0; k < 4; ++k) {
            head[4 + k] = static_cast<unsigned char>((kCustomers >> (8 * k)) & 0xFF);
        }
        file.seekp(4);
        file.write(reinterpret_cast<const char*>(head + 4), 4);
        file.close();
        arrowsel::data::TDbfTable t;
        t.open(path / records::kSavedTable, arrowsel::data::TDbfTable::OpenMode::Exclusive);
        t.openIndexFile(records::kSavedIndex);
        t.reindex();
    }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
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
BENCHMARK_CAPTURE(save, files, files())->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK_CAPTURE(save, postgresql, postgres())->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK_CAPTURE(exportAll, files, files())->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(exportAll, postgresql, postgres())->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
