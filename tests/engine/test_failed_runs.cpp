// SPDX-License-Identifier: GPL-3.0-or-later
// A run that ends at a cell's weight (a GPI text that is no number) leaves the grid as the order
// of the captions' writes leaves it: what that cell got before the weight is new, the rest of it
// and every later cell shows the previous run. And a run started from inside a run's notice.

#include "engine/selection.h"
#include "tests/engine/chart_fixture.h"

#include <gtest/gtest.h>

namespace arrowsel::test {
namespace {

using engine::BowSetup;
using engine::Page;
using engine::RunError;

struct FailedWeightCase {
    const char* name;
    Page page;
    int firstRow;     // the row of the start setup
    int failingRow;   // the row of `failing`
    BowSetup failing; // the second run's setup
    int cell;         // the cell whose weight fails
    const char* secondField;
    bool spineBeforeWeight;
};

BowSetup withWeight(Page page, const char* weight, int wheel = 0) {
    BowSetup s = setupOn(page);
    (page == Page::Youth ? s.youthBowWeight : s.bowWeight) = weight;
    s.wheelType = wheel;
    return s;
}

const FailedWeightCase kFailedWeightCases[] = {
    {"Hunting", Page::Hunt, 13, 12, withWeight(Page::Hunt, "55"), 2, "SPINE", true},
    // Wheel 2 takes all thirteen columns as they stand.
    {"Target", Page::Targ, 13, 12, withWeight(Page::Targ, "55", 2), 5, "SPINE", true},
    {"Youth", Page::Youth, 8, 7, withWeight(Page::Youth, "26"), 2, "MODL", false},
    {"Orvik", Page::Orvk, 15, 14, withWeight(Page::Orvk, "55"), 3, "MODEL", false},
};

class FailedWeight : public ::testing::TestWithParam<FailedWeightCase> {};

TEST_P(FailedWeight, theCellKeepsWhatItsLaterCaptionsShowed_laterCellsThePreviousRun) {
    const FailedWeightCase& c = GetParam();
    EngineHarness h;
    const std::string n = std::to_string(c.cell);
    const std::string size = "SH" + n + "SIZE";
    const std::string second = "SH" + n + c.secondField;
    const std::string next = "SH" + std::to_string(c.cell + 1) + "SIZE";
    const std::string nextSecond = "SH" + std::to_string(c.cell + 1) + c.secondField;
    h.fixture.row(c.page, c.firstRow)[size] = "1816";
    h.fixture.row(c.page, c.firstRow)[second] = "600";
    h.fixture.row(c.page, c.firstRow)[next] = "2020";
    h.fixture.row(c.page, c.firstRow)[nextSecond] = "X1";
    h.fixture.row(c.page, c.failingRow)[size] = "1816";
    h.fixture.row(c.page, c.failingRow)[second] = "700";
    h.fixture.row(c.page, c.failingRow)[next] = "2121";
    h.fixture.row(c.page, c.failingRow)[nextSecond] = "X2";
    h.fixture.addSpec({"1816600", ".600", "OLD", "OLD", "9.00"});
    // The record of two models in a cell that takes one weight: the conversion fails.
    h.fixture.addSpec({"1816700", ".700", "N4,63", "N4,63", "7.10,8.20"});
    BowSetup start = setupOn(c.page);
    start.wheelType = c.failing.wheelType;
    const auto before = h.run(start);
    ASSERT_FALSE(before.error) << before.error.message;
    const engine::Cell old = before.cells()[static_cast<std::size_t>(c.cell - 1)];
    ASSERT_EQ(old.weight, c.page == Page::Youth ? "225" : "270");

    const auto result = h.run(c.failing);
    EXPECT_EQ(result.error.kind, RunError::Kind::Conversion);
    EXPECT_EQ(result.error.message, "'7.10,8.20 ' is not a valid floating point value");
    const engine::Cell& cell = result.cells()[static_cast<std::size_t>(c.cell - 1)];
    EXPECT_EQ(cell.size, "1816");
    EXPECT_EQ(cell.model, "N4,63");
    EXPECT_EQ(cell.weight, old.weight);
    EXPECT_EQ(cell.spine, c.spineBeforeWeight ? ".700    " : old.spine);
    const engine::Cell& later = result.cells()[static_cast<std::size_t>(c.cell)];
    EXPECT_EQ(later.weight, before.cells()[static_cast<std::size_t>(c.cell)].weight);
    // The Target path clears every size caption before it fills the cells.
    EXPECT_EQ(later.size, c.page == Page::Targ ? "" : "2020");
    if (c.page == Page::Targ) {
        // The label a size click looks the shaft up with is written before the model.
        EXPECT_EQ(result.spineLabels[4], "700");
        EXPECT_EQ(result.spineLabels[5], "X1");
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, FailedWeight, ::testing::ValuesIn(kFailedWeightCases),
                         [](const auto& page) { return std::string(page.param.name); });

TEST(NestedRun, aRunStartedInsideTheNotice_isARunOfItsOwn_theOuterOneGoesOn) {
    EngineHarness h;
    h.run(setupOn(Page::Youth));
    std::vector<engine::SelectionResult> inner;
    h.engine().setNoticeHandler([&](const std::string&) {
        if (inner.empty()) { // a timer's run while the box shows
            BowSetup other = setupOn(Page::Hunt);
            other.bowWeight = "55";
            inner.push_back(h.engine().run(other));
        }
    });
    BowSetup s = setupOn(Page::Orvk);
    s.bowWeight = "7";
    const auto result = h.run(s);
    ASSERT_EQ(inner.size(), 1u);
    EXPECT_FALSE(inner[0].error) << inner[0].error.message;
    EXPECT_EQ(inner[0].cells()[0].size, "R12");
    EXPECT_FALSE(result.error) << result.error.message;
    EXPECT_EQ(result.notices, std::vector<std::string>{"Setup is off the chart."});
    EXPECT_EQ(result.pageTag, "Orvk");
    EXPECT_EQ(result.bowWeight, "60");
    EXPECT_EQ(result.cells()[0].size, "R15");
}

} // namespace
} // namespace arrowsel::test
