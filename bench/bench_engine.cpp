// SPDX-License-Identifier: GPL-3.0-or-later
// One selection run per page with the tables open, on charts whose every cell is filled and found
// in the specification table (the slowest ordinary run). Set ARROWSEL_BENCH_DATA to a data folder
// to measure on other tables instead.
#include "data/dbf_table.h"
#include "engine/selection.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using arrowsel::data::FieldType;
using arrowsel::data::TDbfTable;
using arrowsel::engine::Page;

struct BenchData {
    std::filesystem::path folder;
    bool owned = false;

    BenchData() {
        if (const char* given = std::getenv("ARROWSEL_BENCH_DATA")) {
            folder = given;
            return;
        }
        std::string pattern = (std::filesystem::temp_directory_path() / "arrowsel-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        folder = pattern;
        owned = true;
        write();
    }
    ~BenchData() {
        if (owned) {
            std::error_code ec;
            std::filesystem::remove_all(folder, ec);
        }
    }

    void chart(const char* file, int cells, const char* second, std::vector<std::string>& keys) {
        std::vector<TDbfTable::FieldSpec> fields;
        for (int n = 1; n <= cells; ++n) {
            fields.push_back({"SH" + std::to_string(n) + "SIZE", FieldType::Character, 12});
            fields.push_back({"SH" + std::to_string(n) + second, FieldType::Character, 8});
        }
        TDbfTable::create(folder / file, fields);
        TDbfTable t;
        t.open(folder / file, TDbfTable::OpenMode::Exclusive);
        for (int r = 1; r <= 20; ++r) {
            t.insert();
            for (int n = 1; n <= cells; ++n) {
                const std::string size = std::string(1, file[0]) + std::to_string(r * 100 + n);
                t.setFieldText("SH" + std::to_string(n) + "SIZE", size);
                t.setFieldText(std::string("SH") + std::to_string(n) + second, ".500");
                keys.push_back(size + ".500");
            }
            t.post();
        }
    }

    void write() {
        std::vector<std::string> keys;
        chart("HUNTCHRT.DBF", 17, "SPINE", keys);
        chart("Targchrt.dbf", 14, "SPINE", keys);
        chart("YouthChrt.dbf", 8, "MODL", keys);
        chart("ORVKCHRT.dbf", 7, "MODEL", keys);
        TDbfTable::create(folder / "Specs.DBF", {{"SPECKEY", FieldType::Character, 20},
                                                 {"SPINE", FieldType::Character, 8},
                                                 {"HMODELS", FieldType::Character, 20},
                                                 {"TMODELS", FieldType::Character, 20},
                                                 {"GPI", FieldType::Character, 10}});
        TDbfTable specs;
        specs.open(folder / "Specs.DBF", TDbfTable::OpenMode::Exclusive);
        for (const auto& key : keys) {
            specs.insert();
            specs.setFieldText("SPECKEY", key);
            specs.setFieldText("SPINE", ".500");
            specs.setFieldText("HMODELS", "Hunter XT");
            specs.setFieldText("TMODELS", "Target XT");
            specs.setFieldText("GPI", "9.25");
            specs.post();
        }
        specs.createIndex(folder / "specs.idx", "SPECKEY");
        std::ofstream(folder / "invsel.txt") << "Setup is off the chart.\r\n";
    }
};

void selectionRun(benchmark::State& state, Page page) {
    static BenchData data;
    arrowsel::engine::SelectionEngine engine(data.folder);
    arrowsel::engine::BowSetup setup;
    setup.page = page;
    if (engine.run(setup).error) {
        state.SkipWithError("the selection run failed");
        return;
    }
    for (auto _ : state) {
        auto result = engine.run(setup);
        benchmark::DoNotOptimize(result);
    }
}

BENCHMARK_CAPTURE(selectionRun, Hunt, Page::Hunt);
BENCHMARK_CAPTURE(selectionRun, Targ, Page::Targ);
BENCHMARK_CAPTURE(selectionRun, Youth, Page::Youth);
BENCHMARK_CAPTURE(selectionRun, Orvk, Page::Orvk);

} // namespace
