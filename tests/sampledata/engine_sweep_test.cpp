// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbf_table.h"
#include "engine/chart_rules.h"
#include "engine/data_check.h"
#include "engine/selection.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <tuple>

namespace arrowsel::sampledata {
namespace {

using engine::BowSetup;
using engine::Page;

const std::filesystem::path kFolder = ARROWSEL_SAMPLEDATA_DIR;

// Runs the engine over every setup the main window's up-downs reach on one page and records what
// was shown; a weight that falls off the chart gives the notice and a nested run, which is shown
// too and so is checked as well.
class PageSweep {
public:
    explicit PageSweep(Page page) : page_(page), engine_(kFolder) {}

    void run(const BowSetup& setup) {
        const auto result = engine_.run(setup);
        ++runs;
        if (result.error) {
            failures.insert(describe(setup) + ": " + result.error.message);
            return;
        }
        const auto* chart = engine_.chartTable(page_);
        const int row = chart != nullptr ? static_cast<int>(chart->recNo()) : 0;
        if (page_ == Page::Targ && result.notices.empty()) {
            const int length = std::stoi(setup.arrowLength);
            targetCases.insert({row, setup.targBowType, engine::isShortArrow(row, length)});
        }
        rows.insert(row);
        const auto& cells = result.cells();
        for (std::size_t k = 0; k < cells.size(); ++k) {
            if (cells[k].shown && cells[k].keyFound == false) {
                failures.insert(describe(setup) + ": row " + std::to_string(row) + " cell " + std::to_string(k + 1) +
                                " '" + cells[k].size + "' missed its key and shows '" + cells[k].model + "'");
            }
        }
    }

    int runs = 0;
    std::set<int> rows;
    std::set<std::tuple<int, int, bool>> targetCases; // row, bow type, short arrow
    std::set<std::string> failures;

private:
    static std::string describe(const BowSetup& s) {
        return std::string(engine::pageTag(s.page)) + " bow " + std::to_string(s.bowType) + "/" +
               std::to_string(s.targBowType) + " cam " + std::to_string(s.huntCamType) + " wheel " +
               std::to_string(s.wheelType) + " weight " + s.bowWeight + " length " + s.arrowLength + " youth " +
               s.youthBowWeight + "/" + s.youthArrowLength;
    }

    Page page_;
    engine::SelectionEngine engine_;
};

// Weight and length ranges of the main window's up-downs.
void sweepAdult(PageSweep& sweep, BowSetup setup) {
    for (int weight = 17; weight <= 124; ++weight) {
        for (int length = 23; length <= 33; ++length) {
            setup.bowWeight = std::to_string(weight);
            setup.arrowLength = std::to_string(length);
            sweep.run(setup);
        }
    }
}

std::set<int> allRows(Page page) {
    std::set<int> rows;
    const auto range = engine::chartRows(page);
    for (int r = range.first; r <= range.last; ++r) {
        rows.insert(r);
    }
    return rows;
}

// The first lines of a report; a broken chart row fails hundreds of setups alike.
std::string listed(const std::set<std::string>& lines) {
    constexpr std::size_t kShown = 20;
    std::string out;
    std::size_t n = 0;
    for (const auto& l : lines) {
        if (++n > kShown) {
            return out + "\n  ... and " + std::to_string(lines.size() - kShown) + " more";
        }
        out += "\n  " + l;
    }
    return out;
}

TEST(SampleDataSweep, huntingSetups_everyShownCellFindsItsShaftOnEveryRow) {
    PageSweep sweep(Page::Hunt);
    BowSetup s;
    s.page = Page::Hunt;
    for (const auto& [bowType, cam] : {std::pair{0, 0}, std::pair{0, 1}, std::pair{1, 0}, std::pair{2, 0}}) {
        s.bowType = bowType;
        s.huntCamType = cam;
        sweepAdult(sweep, s);
    }
    EXPECT_TRUE(sweep.failures.empty()) << sweep.failures.size() << " faults:" << listed(sweep.failures);
    EXPECT_EQ(sweep.rows, allRows(Page::Hunt));
}

TEST(SampleDataSweep, targetSetups_everyShownCellFindsItsShaftInEveryCaseOfEveryRow) {
    PageSweep sweep(Page::Targ);
    BowSetup s;
    s.page = Page::Targ;
    for (const auto& [bowType, wheel] : {std::pair{0, 0}, std::pair{0, 1}, std::pair{0, 2}, std::pair{1, 0}}) {
        s.targBowType = bowType;
        s.wheelType = wheel;
        sweepAdult(sweep, s);
    }
    EXPECT_TRUE(sweep.failures.empty()) << sweep.failures.size() << " faults:" << listed(sweep.failures);
    EXPECT_EQ(sweep.rows, allRows(Page::Targ));
    // The cases the data checks look at are exactly those the window's setups reach.
    std::set<std::tuple<int, int, bool>> expected;
    for (int row : allRows(Page::Targ)) {
        for (const auto& c : engine::targetCases(row)) {
            expected.insert({row, c.bowType, c.shortArrow});
        }
    }
    EXPECT_EQ(sweep.targetCases, expected);
}

TEST(SampleDataSweep, youthAndOrvikSetups_everyShownCellFindsItsShaftOnEveryRow) {
    PageSweep youth(Page::Youth);
    BowSetup s;
    s.page = Page::Youth;
    for (int weight = 16; weight <= 40; ++weight) {
        for (int length = 21; length <= 27; ++length) {
            s.youthBowWeight = std::to_string(weight);
            s.youthArrowLength = std::to_string(length);
            youth.run(s);
        }
    }
    EXPECT_TRUE(youth.failures.empty()) << listed(youth.failures);
    EXPECT_EQ(youth.rows, allRows(Page::Youth));

    PageSweep orvik(Page::Orvk);
    s = BowSetup{};
    s.page = Page::Orvk;
    for (const auto& [bowType, cam] : {std::pair{0, 0}, std::pair{0, 1}, std::pair{1, 0}}) {
        s.targBowType = bowType;
        s.huntCamType = cam;
        sweepAdult(orvik, s);
    }
    EXPECT_TRUE(orvik.failures.empty()) << listed(orvik.failures);
    EXPECT_EQ(orvik.rows, allRows(Page::Orvk));
}

TEST(SampleDataSweep, defaultTargetView_splitRowFindsEveryShownShaftAndLeavesCellThirteenBlank) {
    engine::SelectionEngine selection(kFolder);
    BowSetup s;
    s.page = Page::Targ;
    const auto result = selection.run(s);
    ASSERT_FALSE(result.error) << result.error.message;
    ASSERT_EQ(selection.chartTable(Page::Targ)->recNo(), 15u);
    const auto& cells = result.cells();
    ASSERT_EQ(cells.size(), 13u);
    int shown = 0;
    for (std::size_t k = 0; k < 12; ++k) {
        if (cells[k].shown) {
            ++shown;
            EXPECT_EQ(cells[k].keyFound, true) << "cell " << k + 1 << " '" << cells[k].size << "'";
            EXPECT_EQ(cells[k].size.find('*'), std::string::npos) << "cell " << k + 1;
        }
    }
    EXPECT_GE(shown, 8);
    EXPECT_FALSE(cells[12].shown);
}

TEST(SampleDataSweep, dataChecks_findNothingInTheBundledFolder) {
    const auto problems = engine::checkDataFolder(kFolder);
    std::set<std::string> lines;
    for (const auto& p : problems) {
        lines.insert(p.text());
    }
    EXPECT_TRUE(problems.empty()) << listed(lines);
}

} // namespace
} // namespace arrowsel::sampledata
