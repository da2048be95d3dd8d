// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/chart_rules.h"
#include "engine/selection.h"
#include "tests/engine/chart_fixture.h"

#include <gtest/gtest.h>

namespace arrowsel::test {
namespace {

using engine::BowSetup;
using engine::Page;
using engine::TargetCase;

TEST(KeyFound, huntingCells_tellFoundMissedAndNoSeek_andForgetTheLastRun) {
    EngineHarness h;
    auto& row13 = h.fixture.row(Page::Hunt, 13);
    row13["SH1SIZE"] = "2213";
    row13["SH1SPINE"] = ".461";
    row13["SH2SIZE"] = "2413 (32in)";
    row13["SH2SPINE"] = ".300";
    row13["SH4SIZE"] = "400";
    row13["SH4SPINE"] = ".400";
    auto& row14 = h.fixture.row(Page::Hunt, 14);
    row14["SH4SIZE"] = "340";
    row14["SH4SPINE"] = "caw";
    h.fixture.addSpec({"2213.461", ".461", "RD,63", "N4,63", "9.60,9.98"});
    h.fixture.addSpec({"400.400", ".400", "TL", "TL", "7.70"});

    const auto first = h.run(setupOn(Page::Hunt));
    ASSERT_FALSE(first.error) << first.error.message;
    EXPECT_EQ(first.cells()[0].keyFound, true);
    EXPECT_EQ(first.cells()[1].keyFound, false); // a miss still shows the last record in index order
    EXPECT_EQ(first.cells()[1].model, "ZH");
    EXPECT_EQ(first.cells()[3].keyFound, true);
    EXPECT_EQ(first.cells()[4].keyFound, std::nullopt); // blank

    BowSetup longer = setupOn(Page::Hunt);
    longer.arrowLength = "31";
    const auto second = h.run(longer);
    ASSERT_FALSE(second.error) << second.error.message;
    EXPECT_EQ(second.cells()[0].keyFound, false); // the row marker "R14" is no key
    EXPECT_EQ(second.cells()[1].keyFound, std::nullopt);
    EXPECT_EQ(second.cells()[3].model, "Carbon");
    EXPECT_EQ(second.cells()[3].keyFound, std::nullopt);
}

TEST(KeyFound, targetSplitRow_wholeStarredSizeMissesWhereCellOneFindsItsHalf) {
    EngineHarness h;
    auto& row15 = h.fixture.row(Page::Targ, 15);
    row15["SH1SIZE"] = "2312*2212";
    row15["SH3SIZE"] = "2314*2213";
    h.fixture.addSpec({"2312r15", ".431", "VT", "VT", "9.10"});
    h.fixture.addSpec({"2314r15", ".376", "VT", "VT", "9.90"});
    const auto result = h.run(setupOn(Page::Targ));
    ASSERT_FALSE(result.error) << result.error.message;
    EXPECT_EQ(result.cells()[0].size, "2312");
    EXPECT_EQ(result.cells()[0].keyFound, true);
    EXPECT_EQ(result.cells()[1].size, "2314*2213");
    EXPECT_EQ(result.cells()[1].keyFound, false);
    EXPECT_EQ(result.cells()[12].keyFound, std::nullopt);
}

struct CasesRow {
    const char* name;
    int row;
    std::vector<TargetCase> cases;
};

class TargetCases : public ::testing::TestWithParam<CasesRow> {};

TEST_P(TargetCases, rowIsShownInTheCasesSomeSetupReaches) {
    EXPECT_EQ(engine::targetCases(GetParam().row), GetParam().cases);
}

const CasesRow kCaseRows[] = {
    {"row4_offChart", 4, {}},
    {"row7_neverShort", 7, {{0, false}, {1, false}}},
    {"row8_shortOnlyAtLength23", 8, {{0, false}, {0, true}, {1, false}, {1, true}}},
    {"row14_shortWithTheLastBucket", 14, {{0, false}, {0, true}, {1, false}, {1, true}}},
    {"row15_split", 15, {{0, false}, {1, false}}},
    {"row19_last", 19, {{0, false}, {1, false}}},
    {"row20_offChart", 20, {}},
};

INSTANTIATE_TEST_SUITE_P(Rows, TargetCases, ::testing::ValuesIn(kCaseRows),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace arrowsel::test
