// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/selection.h"
#include "tests/support/temp_dir.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace arrowsel::test {

// A data folder with small chart and specification tables written by the test itself.
//
// Every chart row r (1 to 20) starts out with a marker in cell 1 so a test can see which row was
// chosen: size "R<r>" on the Hunting, Youth and Orvik charts (model "M" on the latter two), and on
// the Target chart sizes "c1" to "c14" with spine "r<r>" in every column. The specification table
// holds one record keyed "zzzz" (the last in index order, so every missed seek lands on it) with
// GPI "10"; tests add their own records.
class ChartFixture {
public:
    using Row = std::map<std::string, std::string>;

    struct Spec {
        std::string key; // size text followed by spine or model text
        std::string spine;
        std::string hmodels;
        std::string tmodels;
        std::string gpi;
    };

    ChartFixture();

    Row& row(engine::Page page, int r) {
        return rows_[static_cast<std::size_t>(page)][static_cast<std::size_t>(r - 1)];
    }
    void clearRow(engine::Page page, int r) { row(page, r).clear(); }
    void addSpec(Spec spec) { specs_.push_back(std::move(spec)); }
    std::string notice = "Setup is off the chart.";
    bool writeNotice = true;

    // Writes every file; call before the engine's first run.
    void write();
    const std::filesystem::path& folder() const { return dir_.path(); }

private:
    TempDir dir_;
    std::array<std::vector<Row>, engine::kPageCount> rows_;
    std::vector<Spec> specs_;
};

// The fixture's folder with an engine over it, made on the first run (after the test has shaped
// the tables).
class EngineHarness {
public:
    ChartFixture fixture;

    engine::SelectionResult run(const engine::BowSetup& setup) {
        if (!engine_) {
            fixture.write();
            engine_ = std::make_unique<engine::SelectionEngine>(fixture.folder());
        }
        return engine_->run(setup);
    }
    engine::SelectionEngine& engine() { return *engine_; }

private:
    std::unique_ptr<engine::SelectionEngine> engine_;
};

// A setup on `page` with the main window's start values otherwise.
inline engine::BowSetup setupOn(engine::Page page) {
    engine::BowSetup s;
    s.page = page;
    return s;
}

} // namespace arrowsel::test
