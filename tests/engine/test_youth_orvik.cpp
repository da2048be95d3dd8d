// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbf_table.h"
#include "engine/selection.h"
#include "tests/engine/chart_fixture.h"

#include <gtest/gtest.h>

namespace arrowsel::test {
namespace {

using engine::BowSetup;
using engine::Page;
using engine::RunError;

struct PathCase {
    const char* name;
    Page page;
    std::string weight;
    std::string length;
    int bowType = 0; // TargBowType on the Orvik page
    int cam = 0;
    int release = 0;
    int brace = 0;
    int overdraw = 0;
    std::string point = "100";
    std::string expectedMarker;
    int expectedNotices = 0;
};

class YouthOrvikRow : public ::testing::TestWithParam<PathCase> {};

TEST_P(YouthOrvikRow, setupGivesChartRow) {
    const PathCase& c = GetParam();
    EngineHarness h;
    BowSetup s = setupOn(c.page);
    if (c.page == Page::Youth) {
        s.youthBowWeight = c.weight;
        s.youthArrowLength = c.length;
    } else {
        s.bowWeight = c.weight;
        s.arrowLength = c.length;
    }
    s.targBowType = c.bowType;
    s.huntCamType = c.cam;
    s.releaseType = c.release;
    s.braceHt = c.brace;
    s.overDraw = c.overdraw;
    s.pointWeight = c.point;
    const auto result = h.run(s);
    ASSERT_FALSE(result.error) << result.error.message;
    EXPECT_EQ(result.pageTag, c.page == Page::Youth ? "Youth" : "Orvk");
    EXPECT_EQ(result.cells()[0].size, c.expectedMarker);
    EXPECT_EQ(static_cast<int>(result.notices.size()), c.expectedNotices);
    const std::string& edit = c.page == Page::Youth ? result.youthBowWeight : result.bowWeight;
    const char* reset = c.page == Page::Youth ? "30" : "60";
    EXPECT_EQ(edit, c.expectedNotices > 0 ? std::string(reset) : c.weight);
}

const PathCase kPathCases[] = {
    {"youth30Length25_row8", Page::Youth, "30", "25", 0, 0, 0, 0, 0, "100", "R8"},
    {"youth16Length21_row1", Page::Youth, "16", "21", 0, 0, 0, 0, 0, "100", "R1"},
    {"youth40Length27_row12_noticeThenNestedRow10", Page::Youth, "40", "27", 0, 0, 0, 0, 0, "100", "R10", 1},
    {"youth45Length25_bucket0_row4NoNotice", Page::Youth, "45", "25", 0, 0, 0, 0, 0, "100", "R4"},
    {"youth45Length21_row0_noticeThenNestedRow4", Page::Youth, "45", "21", 0, 0, 0, 0, 0, "100", "R4", 1},
    {"youthOneDigitWeight_bucket0", Page::Youth, "3", "25", 0, 0, 0, 0, 0, "100", "R4"},
    {"youthIgnoresAdultInputs", Page::Youth, "30", "25", 1, 1, 1, 1, 5, "160", "R8"},
    {"orvkDefaults_row15", Page::Orvk, "60", "30", 0, 0, 0, 0, 0, "100", "R15"},
    {"orvkPoint105_plus3_row16", Page::Orvk, "60", "30", 0, 0, 0, 0, 0, "105", "R16"},
    {"orvkOverdraw5_noChange_row15", Page::Orvk, "60", "30", 0, 0, 0, 0, 5, "100", "R15"},
    {"orvkFingers_plus5_row16", Page::Orvk, "60", "30", 0, 0, 1, 0, 0, "100", "R16"},
    {"orvkBraceUnder_plus5_row16", Page::Orvk, "60", "30", 0, 0, 0, 1, 0, "100", "R16"},
    {"orvkCam1_row14", Page::Orvk, "60", "30", 0, 1, 0, 0, 0, "100", "R14"},
    {"orvkRecurveIgnoresAdjustments_row15", Page::Orvk, "60", "30", 1, 1, 1, 1, 0, "160", "R15"},
    {"orvkLowestBandLength23_row1", Page::Orvk, "22", "23", 0, 0, 0, 0, 0, "100", "R1"},
    {"orvkFirstDigitTyped_noticeThenNestedRow15", Page::Orvk, "6", "30", 0, 0, 0, 0, 0, "100", "R15", 1},
    {"orvkRow20_noticeThenNestedRow15", Page::Orvk, "90", "30", 0, 0, 0, 0, 0, "100", "R15", 1},
    {"orvkCamIndex2_offChartTwice", Page::Orvk, "50", "30", 0, 2, 0, 0, 0, "100", "R1", 2},
    // Lengths at the ends of the integer range must not wrap into a chart row.
    {"orvkLengthIntMax_offChart", Page::Orvk, "90", "2147483647", 0, 0, 0, 0, 0, "100", "R1", 2},
    {"orvkLengthIntMin_offChart", Page::Orvk, "90", "-2147483648", 0, 0, 0, 0, 0, "100", "R1", 2},
};

INSTANTIATE_TEST_SUITE_P(Bands, YouthOrvikRow, ::testing::ValuesIn(kPathCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(Youth, cellTextsFromSpecs_weightWithYouthLength) {
    EngineHarness h;
    h.fixture.row(Page::Youth, 8) = {{"SH1SIZE", " 1816 "}, {"SH1MODL", " YX "}, {"SH2SIZE", ""}, {"SH2MODL", "YX"}};
    h.fixture.addSpec({"1816YX", "1.2", "hunt", " Junior ", "5.00"});
    const auto result = h.run(setupOn(Page::Youth));
    ASSERT_FALSE(result.error) << result.error.message;
    const auto& c = result.cells()[0];
    EXPECT_EQ(c.size, "1816");
    EXPECT_EQ(c.model, "Junior");
    EXPECT_EQ(c.weight, "125"); // 5 * 25 + 0.5
    EXPECT_EQ(c.spine, "1.2     ");
    EXPECT_FALSE(result.cells()[1].shown);
    EXPECT_EQ(result.cells().size(), 8u);
}

TEST(Youth, emptyWeight_conversionError) {
    EngineHarness h;
    BowSetup s = setupOn(Page::Youth);
    s.youthBowWeight = "";
    const auto result = h.run(s);
    EXPECT_EQ(result.error.kind, RunError::Kind::Conversion);
    EXPECT_EQ(result.error.message, "'' is not a valid integer value");
}

TEST(Youth, runsWhenAdultGuardFails_andRefilledCellShowsAgain) {
    EngineHarness h;
    h.fixture.row(Page::Youth, 9)["SH2SIZE"] = "extra";
    h.fixture.row(Page::Youth, 9)["SH2MODL"] = "M";
    ASSERT_FALSE(h.run(setupOn(Page::Youth)).error); // row 8: cell 2 blank
    BowSetup s = setupOn(Page::Youth);
    s.bowWeight = "6"; // adult guard fails: no resets
    s.youthArrowLength = "26";
    const auto result = h.run(s);
    ASSERT_FALSE(result.error) << result.error.message;
    EXPECT_FALSE(result.resetsApplied);
    EXPECT_EQ(result.cells()[0].size, "R9");
    EXPECT_EQ(result.cells()[1].size, "extra");
    EXPECT_TRUE(result.cells()[1].shown);
    EXPECT_TRUE(result.cells()[1].sizeEnabled);
}

TEST(Orvik, modelEmpty_cellBlankEvenWithSize_sizeTrimmedIntoKey) {
    EngineHarness h;
    h.fixture.row(Page::Orvk, 15) = {{"SH1SIZE", " 300 "}, {"SH1MODEL", " OV "}, {"SH3SIZE", "400"}};
    h.fixture.addSpec({"300OV", ".300", " Orvik Pro ", "target name", "8.00"});
    const auto result = h.run(setupOn(Page::Orvk));
    ASSERT_FALSE(result.error) << result.error.message;
    EXPECT_EQ(result.cells()[0].size, "300");
    EXPECT_EQ(result.cells()[0].model, "Orvik Pro");
    EXPECT_EQ(result.cells()[0].weight, "240");
    EXPECT_FALSE(result.cells()[2].shown);
    EXPECT_EQ(result.cells()[2].size, "");
    EXPECT_EQ(result.cells().size(), 7u);
}

TEST(Orvik, afterNestedRunOuterRunFillsFromNestedRow) {
    EngineHarness h;
    std::vector<std::string> order;
    BowSetup s = setupOn(Page::Orvk);
    s.bowWeight = "7";
    h.run(setupOn(Page::Youth));
    h.engine().setNoticeHandler([&](const std::string& text) { order.push_back(text); });
    const auto result = h.run(s);
    EXPECT_EQ(order, std::vector<std::string>{"Setup is off the chart."});
    EXPECT_EQ(result.bowWeight, "60");
    EXPECT_EQ(result.cells()[0].size, "R15");
    // What the reports print as the setup: the weight the notice reset, the rest as given.
    const BowSetup settled = settledSetup(s, result);
    EXPECT_EQ(settled.bowWeight, "60");
    EXPECT_EQ(settled.arrowLength, s.arrowLength);
    EXPECT_EQ(settled.page, Page::Orvk);
}

TEST(Pages, switchingPagesKeepsEachGrid) {
    EngineHarness h;
    h.run(setupOn(Page::Hunt));
    h.run(setupOn(Page::Youth));
    const auto result = h.run(setupOn(Page::Orvk));
    EXPECT_EQ(result.grids[static_cast<std::size_t>(Page::Hunt)][0].size, "R13");
    EXPECT_EQ(result.grids[static_cast<std::size_t>(Page::Youth)][0].size, "R8");
    EXPECT_EQ(result.cells()[0].size, "R15");
    EXPECT_EQ(h.engine().chartTable(Page::Hunt)->recNo(), 13u);
    EXPECT_EQ(h.engine().chartTable(Page::Targ), nullptr);
}

TEST(Pages, keyDetail_isTheRowsFieldOfTheCellsColumnTrimmed_blankCellsToo) {
    EngineHarness h;
    h.fixture.row(Page::Hunt, 13)["SH2SPINE"] = " 400";
    h.fixture.row(Page::Youth, 8)["SH3MODL"] = "Y2";
    h.fixture.row(Page::Youth, 8)["SH4SIZE"] = "";
    h.fixture.row(Page::Youth, 8)["SH4MODL"] = "Y4";
    const auto hunt = h.run(setupOn(Page::Hunt));
    ASSERT_FALSE(hunt.error) << hunt.error.message;
    EXPECT_EQ(hunt.cells()[1].keyDetail, "400");
    EXPECT_EQ(hunt.grids[std::size_t(Page::Youth)][2].keyDetail, ""); // chart not used yet
    const auto youth = h.run(setupOn(Page::Youth));
    ASSERT_FALSE(youth.error) << youth.error.message;
    EXPECT_EQ(youth.cells()[2].keyDetail, "Y2");
    EXPECT_FALSE(youth.cells()[3].shown);
    EXPECT_EQ(youth.cells()[3].keyDetail, "Y4");
    EXPECT_EQ(youth.grids[std::size_t(Page::Hunt)][1].keyDetail, "400"); // kept from its own run
}

} // namespace
} // namespace arrowsel::test
