// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/selection.h"
#include "tests/engine/chart_fixture.h"

#include <gtest/gtest.h>

namespace arrowsel::test {
namespace {

using engine::BowSetup;
using engine::Page;
using engine::RunError;

// Every column n of every row holds "a<n>*b<n>": the compound half is "a<n>", the recurve half "b<n>".
void starAllSizes(ChartFixture& fx) {
    for (int r = 1; r <= 20; ++r) {
        for (int n = 1; n <= 14; ++n) {
            fx.row(Page::Targ, r)["SH" + std::to_string(n) + "SIZE"] =
                "a" + std::to_string(n) + "*b" + std::to_string(n);
        }
    }
}

std::string whole(int n) {
    return "a" + std::to_string(n) + "*b" + std::to_string(n);
}
std::string compound(int n) {
    return "a" + std::to_string(n);
}
std::string recurve(int n) {
    return "b" + std::to_string(n);
}

struct ColumnCase {
    const char* name;
    int bowType;
    int wheel;
    std::string weight;
    std::string length;
    int row;
    std::vector<std::string> sizes; // 13 cells; "" = blank cell
};

class TargetColumns : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(TargetColumns, rowAndLengthChooseColumns) {
    const ColumnCase& c = GetParam();
    EngineHarness h;
    starAllSizes(h.fixture);
    BowSetup s = setupOn(Page::Targ);
    s.targBowType = c.bowType;
    s.wheelType = c.wheel;
    s.bowWeight = c.weight;
    s.arrowLength = c.length;
    const auto result = h.run(s);
    ASSERT_FALSE(result.error) << result.error.message;
    EXPECT_TRUE(result.notices.empty());
    EXPECT_EQ(result.pageTag, "Targ");
    ASSERT_EQ(result.cells().size(), 13u);
    for (std::size_t k = 0; k < 13; ++k) {
        const auto& cell = result.cells()[k];
        EXPECT_EQ(cell.size, c.sizes[k]) << "cell " << k + 1;
        EXPECT_EQ(cell.shown, !c.sizes[k].empty()) << "cell " << k + 1;
        if (!c.sizes[k].empty()) {
            EXPECT_EQ(result.spineLabels[k], "r" + std::to_string(c.row)) << "cell " << k + 1;
        }
        EXPECT_FALSE(cell.band.has_value());
    }
}

const ColumnCase kColumnCases[] = {
    {"compoundWheel0Weight60Length30_row15Split_column2Skipped",
     0,
     0,
     "60",
     "30",
     15,
     {compound(1), whole(3), whole(4), whole(5), whole(6), whole(7), whole(8), whole(9), whole(10), whole(11),
      whole(12), whole(13), ""}},
    {"compoundWheel0Length31_row16Split_columns2To11",
     0,
     0,
     "60",
     "31",
     16,
     {whole(2), whole(3), whole(4), whole(5), whole(6), whole(7), whole(8), whole(9), whole(10), whole(11), "", "",
      ""}},
    {"compoundWheel2Weight60Length30_row13_allColumns",
     0,
     2,
     "60",
     "30",
     13,
     {compound(1), compound(2), compound(3), compound(4), whole(5), whole(6), whole(7), whole(8), whole(9), whole(10),
      whole(11), whole(12), whole(13)}},
    {"compoundWheel2Weight60Length26_row9_notShort",
     0,
     2,
     "60",
     "26",
     9,
     {compound(1), compound(2), compound(3), compound(4), whole(5), whole(6), whole(7), whole(8), whole(9), whole(10),
      whole(11), whole(12), whole(13)}},
    {"compoundWheel2Weight66Length24_row9Short_columns4To14",
     0,
     2,
     "66",
     "24",
     9,
     {compound(4), whole(5), whole(6), whole(7), whole(8), whole(9), whole(10), whole(11), whole(12), whole(13),
      whole(14), "", ""}},
    {"compoundWheel1Weight61Length23_row8Short_columns4To14",
     0,
     1,
     "61",
     "23",
     8,
     {compound(4), whole(5), whole(6), whole(7), whole(8), whole(9), whole(10), whole(11), whole(12), whole(13),
      whole(14), "", ""}},
    {"compoundWheel1Weight46Length23_row5_firstValidRow",
     0,
     1,
     "46",
     "23",
     5,
     {compound(1), compound(2), compound(3), compound(4), whole(5), whole(6), whole(7), whole(8), whole(9), whole(10),
      whole(11), whole(12), whole(13)}},
    {"recurveWeight30Length28_row8_recurveHalves",
     1,
     0,
     "30",
     "28",
     8,
     {recurve(1), recurve(2), recurve(3), recurve(4), whole(5), whole(6), whole(7), whole(8), whole(9), whole(10),
      whole(11), whole(12), whole(13)}},
    {"recurveWeight58Length23_row8Short_columns4To14",
     1,
     0,
     "58",
     "23",
     8,
     {recurve(4), whole(5), whole(6), whole(7), whole(8), whole(9), whole(10), whole(11), whole(12), whole(13),
      whole(14), "", ""}},
    {"recurveWeight60Length30_row15_splitIgnored",
     1,
     0,
     "60",
     "30",
     15,
     {recurve(1), recurve(2), recurve(3), recurve(4), whole(5), whole(6), whole(7), whole(8), whole(9), whole(10),
      whole(11), whole(12), whole(13)}},
    {"recurveIgnoresAdjustmentsAndWheel_row8",
     1,
     2,
     "30",
     "28",
     8,
     {recurve(1), recurve(2), recurve(3), recurve(4), whole(5), whole(6), whole(7), whole(8), whole(9), whole(10),
      whole(11), whole(12), whole(13)}},
};

INSTANTIATE_TEST_SUITE_P(Cases, TargetColumns, ::testing::ValuesIn(kColumnCases),
                         [](const auto& row) { return std::string(row.param.name); });

struct TargetRowCase {
    const char* name;
    std::string weight;
    int brace, release, overdraw;
    std::string point;
    int expectedRow;
};

class TargetAdjustments : public ::testing::TestWithParam<TargetRowCase> {};

TEST_P(TargetAdjustments, compoundAdjustmentsMoveTheRow) {
    const TargetRowCase& c = GetParam();
    EngineHarness h;
    BowSetup s = setupOn(Page::Targ);
    s.wheelType = 2; // no split rows in reach, so spine labels show the row
    s.bowWeight = c.weight;
    s.braceHt = c.brace;
    s.releaseType = c.release;
    s.overDraw = c.overdraw;
    s.pointWeight = c.point;
    const auto result = h.run(s);
    ASSERT_FALSE(result.error) << result.error.message;
    ASSERT_TRUE(result.notices.empty());
    EXPECT_EQ(result.spineLabels[0], "r" + std::to_string(c.expectedRow));
}

const TargetRowCase kTargetRows[] = {
    {"defaults_row13", "60", 0, 0, 0, "100", 13},          {"braceUnder_plus5_row14", "60", 1, 0, 0, "100", 14},
    {"fingers_plus5_row14", "60", 0, 1, 0, "100", 14},     {"point105_plus3_row14", "58", 0, 0, 0, "105", 14},
    {"point130_plus6_row14", "55", 0, 0, 0, "130", 14},    {"point155_plus9_row14", "52", 0, 0, 0, "155", 14},
    {"point100_noChange_row13", "60", 0, 0, 0, "100", 13}, {"overdraw4_plus9_row14", "52", 0, 0, 4, "100", 14},
};

INSTANTIATE_TEST_SUITE_P(Rows, TargetAdjustments, ::testing::ValuesIn(kTargetRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(Target, recurveShortWithUnstarredSize_leavesCell1Blank) {
    EngineHarness h;
    starAllSizes(h.fixture);
    h.fixture.row(Page::Targ, 8)["SH4SIZE"] = "2014";
    BowSetup s = setupOn(Page::Targ);
    s.targBowType = 1;
    s.bowWeight = "58";
    s.arrowLength = "23";
    const auto result = h.run(s);
    ASSERT_FALSE(result.error) << result.error.message;
    EXPECT_FALSE(result.cells()[0].shown);
    EXPECT_FALSE(result.cells()[0].sizeEnabled);
    EXPECT_EQ(result.cells()[1].size, whole(5));
}

TEST(Target, unstarredSizeNotShort_keptWholeForBothBowTypes) {
    EngineHarness h;
    h.fixture.row(Page::Targ, 8)["SH1SIZE"] = "2014";
    BowSetup s = setupOn(Page::Targ);
    s.targBowType = 1;
    s.bowWeight = "30";
    s.arrowLength = "28";
    EXPECT_EQ(h.run(s).cells()[0].size, "2014");
    s.targBowType = 0;
    s.wheelType = 2;
    s.bowWeight = "40"; // b 2, row 9, not short
    EXPECT_EQ(h.run(s).cells()[0].size, "c1");
}

TEST(Target, rowOff_noticeNestedRunThenWholeGridBlank_labelsKept) {
    EngineHarness h;
    ASSERT_FALSE(h.run(setupOn(Page::Targ)).error); // row 15: labels "r15" in cells 1 to 12
    BowSetup s = setupOn(Page::Targ);
    s.bowWeight = "38"; // wheel 0: b 4, row 4 at length 23
    s.arrowLength = "23";
    const auto result = h.run(s);
    ASSERT_FALSE(result.error) << result.error.message;
    EXPECT_EQ(result.notices.size(), 1u);
    EXPECT_EQ(result.bowWeight, "60");
    for (const auto& cell : result.cells()) {
        EXPECT_FALSE(cell.shown);
        EXPECT_FALSE(cell.sizeEnabled);
        EXPECT_EQ(cell.size + cell.spine + cell.model + cell.weight, "");
    }
    // The nested run (60 at length 23: row 8, short) wrote its labels before the grid was blanked.
    EXPECT_EQ(result.spineLabels[0], "r8");
    EXPECT_EQ(result.spineLabels[10], "r8");
    EXPECT_EQ(result.spineLabels[11], "r15");
    EXPECT_EQ(result.spineLabels[12], "");
    // A blank cell's size click completes its key as the window's label does, so the cell keeps it too.
    for (std::size_t k = 0; k < result.spineLabels.size(); ++k) {
        EXPECT_EQ(result.cells()[k].keyDetail, result.spineLabels[k]) << "cell " << k + 1;
    }
}

TEST(Target, weightInNoBand_offChart_noticeEvenWhenRowWouldBeValid) {
    EngineHarness h;
    BowSetup s = setupOn(Page::Targ);
    s.bowWeight = "70"; // 70 + 5 + 12 + 5 = 92: beyond every wheel-0 band
    s.releaseType = 1;
    s.braceHt = 1;
    s.overDraw = 5;
    const auto result = h.run(s);
    ASSERT_FALSE(result.error) << result.error.message;
    // The nested run with 60 (82) is off the chart too; the text is then unchanged, so no third run.
    EXPECT_EQ(result.notices.size(), 2u);
    EXPECT_EQ(result.bowWeight, "60");
    EXPECT_FALSE(result.cells()[0].shown);
}

TEST(Target, wheelIndexPastItems_offChart) {
    EngineHarness h;
    BowSetup s = setupOn(Page::Targ);
    s.wheelType = 3;
    const auto result = h.run(s);
    EXPECT_EQ(result.notices.size(), 1u);
    EXPECT_FALSE(result.cells()[5].shown);
}

TEST(Target, twoModelFromCell7_singleBefore) {
    EngineHarness h;
    for (int n = 1; n <= 14; ++n) {
        h.fixture.row(Page::Targ, 13)["SH" + std::to_string(n) + "SPINE"] = "";
    }
    h.fixture.addSpec({"c6", "s", "", "N4,63", "9.00"});
    h.fixture.addSpec({"c7", "s", "", "N4,63", "9.00 10.0"});
    BowSetup s = setupOn(Page::Targ);
    s.wheelType = 2;
    const auto result = h.run(s);
    ASSERT_FALSE(result.error) << result.error.message;
    EXPECT_EQ(result.cells()[5].weight, "270");
    EXPECT_EQ(result.cells()[6].weight, "270,300");
    EXPECT_EQ(result.cells()[6].model, "N4,63");
    EXPECT_EQ(result.cells()[6].spine, "s       ");
}

} // namespace
} // namespace arrowsel::test
