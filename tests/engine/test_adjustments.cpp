// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbf_table.h"
#include "engine/selection.h"
#include "tests/engine/chart_fixture.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace arrowsel::test {
namespace {

using engine::BowSetup;
using engine::Page;

// One weight adjustment: a setup change and the pounds it must add. The test puts the adjusted
// weight on a band's lower edge and one pound below it, so an adjustment off by a single pound
// lands on the wrong chart row.
struct AdjustmentCase {
    const char* name;
    Page page;
    int bowType;
    std::function<void(BowSetup&)> change;
    int pounds;
    int edge;    // lower edge of a band of the bow type's table (cam or wheel index 0)
    int edgeRow; // the chart row that band gives at arrow length 30
};

void point(BowSetup& s, const char* grains) {
    s.pointWeight = grains;
}

int rowAt(EngineHarness& h, BowSetup s, long long bowWeight) {
    (s.page == Page::Youth ? s.youthBowWeight : s.bowWeight) = std::to_string(bowWeight);
    const auto result = h.run(s);
    EXPECT_FALSE(result.error) << result.error.message;
    EXPECT_TRUE(result.notices.empty()) << "bow weight " << bowWeight;
    const auto* chart = h.engine().chartTable(s.page);
    return chart != nullptr ? static_cast<int>(chart->recNo()) : 0;
}

class Adjustments : public ::testing::TestWithParam<AdjustmentCase> {};

TEST_P(Adjustments, adjustedWeightOnBandEdge_givesTheBandsRow_onePoundLessThePreviousRow) {
    const AdjustmentCase& c = GetParam();
    EngineHarness h;
    BowSetup s = setupOn(c.page);
    s.bowType = c.bowType;
    s.targBowType = c.bowType;
    c.change(s);
    EXPECT_EQ(rowAt(h, s, c.edge - c.pounds), c.edgeRow);
    EXPECT_EQ(rowAt(h, s, c.edge - c.pounds - 1), c.edgeRow - 1);
}

// Hunting compound (cam 0): band 47-51 gives row 11, 52-56 row 12. Longbow: 50-55 row 8, 56-61
// row 9. Target compound (wheel 0): 36-40 row 11, 41-45 row 12. Orvik compound (cam 0): 37-41
// row 11, 42-46 row 12. Youth: 24-27 row 7, 28-31 row 8 at arrow length 25.
const AdjustmentCase kCases[] = {
    {"huntCompound_none", Page::Hunt, 0, [](BowSetup&) {}, 0, 52, 12},
    {"huntCompound_overdraw1", Page::Hunt, 0, [](BowSetup& s) { s.overDraw = 1; }, 1, 52, 12},
    {"huntCompound_overdraw2", Page::Hunt, 0, [](BowSetup& s) { s.overDraw = 2; }, 3, 52, 12},
    {"huntCompound_overdraw3", Page::Hunt, 0, [](BowSetup& s) { s.overDraw = 3; }, 6, 52, 12},
    {"huntCompound_overdraw4", Page::Hunt, 0, [](BowSetup& s) { s.overDraw = 4; }, 9, 52, 12},
    {"huntCompound_overdraw5", Page::Hunt, 0, [](BowSetup& s) { s.overDraw = 5; }, 12, 52, 12},
    {"huntCompound_overdrawPastEnd", Page::Hunt, 0, [](BowSetup& s) { s.overDraw = 6; }, 0, 52, 12},
    {"huntCompound_overdrawNone", Page::Hunt, 0, [](BowSetup& s) { s.overDraw = -1; }, 0, 52, 12},
    {"huntCompound_release1", Page::Hunt, 0, [](BowSetup& s) { s.releaseType = 1; }, 5, 52, 12},
    {"huntCompound_release2", Page::Hunt, 0, [](BowSetup& s) { s.releaseType = 2; }, 0, 52, 12},
    {"huntCompound_brace1", Page::Hunt, 0, [](BowSetup& s) { s.braceHt = 1; }, 5, 52, 12},
    {"huntCompound_brace2", Page::Hunt, 0, [](BowSetup& s) { s.braceHt = 2; }, 0, 52, 12},
    {"huntCompound_allAtOnce", Page::Hunt, 0,
     [](BowSetup& s) {
         s.overDraw = 5;
         s.releaseType = 1;
         s.braceHt = 1;
         point(s, "140");
     },
     28, 79, 17}, // band 79-84
    {"huntCompound_point64", Page::Hunt, 0, [](BowSetup& s) { point(s, "64"); }, 0, 52, 12},
    {"huntCompound_point65", Page::Hunt, 0, [](BowSetup& s) { point(s, "65"); }, -3, 52, 12},
    {"huntCompound_point85", Page::Hunt, 0, [](BowSetup& s) { point(s, "85"); }, -3, 52, 12},
    {"huntCompound_point86", Page::Hunt, 0, [](BowSetup& s) { point(s, "86"); }, 0, 52, 12},
    {"huntCompound_point114", Page::Hunt, 0, [](BowSetup& s) { point(s, "114"); }, 0, 52, 12},
    {"huntCompound_point115", Page::Hunt, 0, [](BowSetup& s) { point(s, "115"); }, 3, 52, 12},
    {"huntCompound_point135", Page::Hunt, 0, [](BowSetup& s) { point(s, "135"); }, 3, 52, 12},
    {"huntCompound_point139", Page::Hunt, 0, [](BowSetup& s) { point(s, "139"); }, 0, 52, 12},
    {"huntCompound_point140", Page::Hunt, 0, [](BowSetup& s) { point(s, "140"); }, 6, 52, 12},
    {"huntCompound_point160", Page::Hunt, 0, [](BowSetup& s) { point(s, "160"); }, 6, 52, 12},
    {"huntCompound_point161", Page::Hunt, 0, [](BowSetup& s) { point(s, "161"); }, 0, 52, 12},
    {"huntRecurve_setupIgnored", Page::Hunt, 1,
     [](BowSetup& s) {
         s.overDraw = 5;
         s.releaseType = 1;
         s.braceHt = 1;
     },
     0, 52, 12},
    {"huntRecurve_point65", Page::Hunt, 1, [](BowSetup& s) { point(s, "65"); }, -3, 52, 12},
    {"huntRecurve_point140", Page::Hunt, 1, [](BowSetup& s) { point(s, "140"); }, 6, 52, 12},
    {"huntLongbow_setupIgnored", Page::Hunt, 2,
     [](BowSetup& s) {
         s.overDraw = 5;
         s.releaseType = 1;
         s.braceHt = 1;
     },
     0, 56, 9},
    {"huntLongbow_point104", Page::Hunt, 2, [](BowSetup& s) { point(s, "104"); }, 0, 56, 9},
    {"huntLongbow_point105", Page::Hunt, 2, [](BowSetup& s) { point(s, "105"); }, 3, 56, 9},
    {"huntLongbow_point125", Page::Hunt, 2, [](BowSetup& s) { point(s, "125"); }, 3, 56, 9},
    {"huntLongbow_point130", Page::Hunt, 2, [](BowSetup& s) { point(s, "130"); }, 6, 56, 9},
    {"huntLongbow_point150", Page::Hunt, 2, [](BowSetup& s) { point(s, "150"); }, 6, 56, 9},
    {"huntLongbow_point155", Page::Hunt, 2, [](BowSetup& s) { point(s, "155"); }, 9, 56, 9},
    {"huntLongbow_point160", Page::Hunt, 2, [](BowSetup& s) { point(s, "160"); }, 9, 56, 9},
    {"huntLongbow_point161", Page::Hunt, 2, [](BowSetup& s) { point(s, "161"); }, 0, 56, 9},
    {"huntLongbow_point65", Page::Hunt, 2, [](BowSetup& s) { point(s, "65"); }, 0, 56, 9},
    {"targCompound_none", Page::Targ, 0, [](BowSetup&) {}, 0, 41, 12},
    {"targCompound_overdraw1", Page::Targ, 0, [](BowSetup& s) { s.overDraw = 1; }, 1, 41, 12},
    {"targCompound_overdraw2", Page::Targ, 0, [](BowSetup& s) { s.overDraw = 2; }, 3, 41, 12},
    {"targCompound_overdraw3", Page::Targ, 0, [](BowSetup& s) { s.overDraw = 3; }, 6, 41, 12},
    {"targCompound_overdraw4", Page::Targ, 0, [](BowSetup& s) { s.overDraw = 4; }, 9, 41, 12},
    {"targCompound_overdraw5", Page::Targ, 0, [](BowSetup& s) { s.overDraw = 5; }, 12, 41, 12},
    {"targCompound_overdrawPastEnd", Page::Targ, 0, [](BowSetup& s) { s.overDraw = 6; }, 0, 41, 12},
    {"targCompound_release1", Page::Targ, 0, [](BowSetup& s) { s.releaseType = 1; }, 5, 41, 12},
    {"targCompound_release2", Page::Targ, 0, [](BowSetup& s) { s.releaseType = 2; }, 10, 41, 12},
    {"targCompound_releaseNone", Page::Targ, 0, [](BowSetup& s) { s.releaseType = -1; }, -5, 41, 12},
    {"targCompound_brace1", Page::Targ, 0, [](BowSetup& s) { s.braceHt = 1; }, 5, 41, 12},
    {"targCompound_brace2", Page::Targ, 0, [](BowSetup& s) { s.braceHt = 2; }, 0, 41, 12},
    {"targCompound_point104", Page::Targ, 0, [](BowSetup& s) { point(s, "104"); }, 0, 41, 12},
    {"targCompound_point105", Page::Targ, 0, [](BowSetup& s) { point(s, "105"); }, 3, 41, 12},
    {"targCompound_point126", Page::Targ, 0, [](BowSetup& s) { point(s, "126"); }, 0, 41, 12},
    {"targCompound_point130", Page::Targ, 0, [](BowSetup& s) { point(s, "130"); }, 6, 41, 12},
    {"targCompound_point151", Page::Targ, 0, [](BowSetup& s) { point(s, "151"); }, 0, 41, 12},
    {"targCompound_point155", Page::Targ, 0, [](BowSetup& s) { point(s, "155"); }, 9, 41, 12},
    {"targCompound_point160", Page::Targ, 0, [](BowSetup& s) { point(s, "160"); }, 9, 41, 12},
    {"targRecurve_setupIgnored", Page::Targ, 1,
     [](BowSetup& s) {
         s.overDraw = 5;
         s.releaseType = 1;
         s.braceHt = 1;
         point(s, "155");
     },
     0, 41, 12},
    {"orvkCompound_none", Page::Orvk, 0, [](BowSetup&) {}, 0, 42, 12},
    {"orvkCompound_release1", Page::Orvk, 0, [](BowSetup& s) { s.releaseType = 1; }, 5, 42, 12},
    {"orvkCompound_release2", Page::Orvk, 0, [](BowSetup& s) { s.releaseType = 2; }, 10, 42, 12},
    {"orvkCompound_brace1", Page::Orvk, 0, [](BowSetup& s) { s.braceHt = 1; }, 5, 42, 12},
    {"orvkCompound_brace2", Page::Orvk, 0, [](BowSetup& s) { s.braceHt = 2; }, 0, 42, 12},
    {"orvkCompound_point101", Page::Orvk, 0, [](BowSetup& s) { point(s, "101"); }, 3, 42, 12},
    {"orvkCompound_overdrawIgnored", Page::Orvk, 0, [](BowSetup& s) { s.overDraw = 5; }, 0, 42, 12},
    {"orvkRecurve_setupIgnored", Page::Orvk, 1,
     [](BowSetup& s) {
         s.releaseType = 1;
         s.braceHt = 1;
         point(s, "101");
     },
     0, 42, 12},
};

// The point-weight bands at both sides of every edge, for each bow type that takes them, and the
// choices outside the radio groups' items: the cases above leave these out.
const AdjustmentCase kEdgeCases[] = {
    {"huntCompound_point136", Page::Hunt, 0, [](BowSetup& s) { point(s, "136"); }, 0, 52, 12},
    {"huntCompound_releaseNone", Page::Hunt, 0, [](BowSetup& s) { s.releaseType = -1; }, 0, 52, 12},
    {"huntCompound_braceNone", Page::Hunt, 0, [](BowSetup& s) { s.braceHt = -1; }, 0, 52, 12},
    {"huntRecurve_point64", Page::Hunt, 1, [](BowSetup& s) { point(s, "64"); }, 0, 52, 12},
    {"huntRecurve_point85", Page::Hunt, 1, [](BowSetup& s) { point(s, "85"); }, -3, 52, 12},
    {"huntRecurve_point86", Page::Hunt, 1, [](BowSetup& s) { point(s, "86"); }, 0, 52, 12},
    {"huntRecurve_point114", Page::Hunt, 1, [](BowSetup& s) { point(s, "114"); }, 0, 52, 12},
    {"huntRecurve_point115", Page::Hunt, 1, [](BowSetup& s) { point(s, "115"); }, 3, 52, 12},
    {"huntRecurve_point135", Page::Hunt, 1, [](BowSetup& s) { point(s, "135"); }, 3, 52, 12},
    {"huntRecurve_point136", Page::Hunt, 1, [](BowSetup& s) { point(s, "136"); }, 0, 52, 12},
    {"huntRecurve_point139", Page::Hunt, 1, [](BowSetup& s) { point(s, "139"); }, 0, 52, 12},
    {"huntRecurve_point160", Page::Hunt, 1, [](BowSetup& s) { point(s, "160"); }, 6, 52, 12},
    {"huntRecurve_point161", Page::Hunt, 1, [](BowSetup& s) { point(s, "161"); }, 0, 52, 12},
    {"huntLongbow_point126", Page::Hunt, 2, [](BowSetup& s) { point(s, "126"); }, 0, 56, 9},
    {"huntLongbow_point129", Page::Hunt, 2, [](BowSetup& s) { point(s, "129"); }, 0, 56, 9},
    {"huntLongbow_point151", Page::Hunt, 2, [](BowSetup& s) { point(s, "151"); }, 0, 56, 9},
    {"huntLongbow_point154", Page::Hunt, 2, [](BowSetup& s) { point(s, "154"); }, 0, 56, 9},
    {"targCompound_point125", Page::Targ, 0, [](BowSetup& s) { point(s, "125"); }, 3, 41, 12},
    {"targCompound_point129", Page::Targ, 0, [](BowSetup& s) { point(s, "129"); }, 0, 41, 12},
    {"targCompound_point150", Page::Targ, 0, [](BowSetup& s) { point(s, "150"); }, 6, 41, 12},
    {"targCompound_point154", Page::Targ, 0, [](BowSetup& s) { point(s, "154"); }, 0, 41, 12},
    {"targCompound_point161", Page::Targ, 0, [](BowSetup& s) { point(s, "161"); }, 0, 41, 12},
    {"targCompound_overdrawNone", Page::Targ, 0, [](BowSetup& s) { s.overDraw = -1; }, 0, 41, 12},
    {"orvkCompound_point100", Page::Orvk, 0, [](BowSetup& s) { point(s, "100"); }, 0, 42, 12},
    {"orvkCompound_releaseNone", Page::Orvk, 0, [](BowSetup& s) { s.releaseType = -1; }, -5, 42, 12},
    {"youth_setupIgnored", Page::Youth, 0,
     [](BowSetup& s) {
         s.overDraw = 5;
         s.releaseType = 1;
         s.braceHt = 1;
         point(s, "140");
     },
     0, 28, 8},
    {"youth_longbowIgnored", Page::Youth, 2, [](BowSetup& s) { point(s, "155"); }, 0, 28, 8},
};

std::string caseName(const ::testing::TestParamInfo<AdjustmentCase>& p) {
    return p.param.name;
}

INSTANTIATE_TEST_SUITE_P(EveryAdjustment, Adjustments, ::testing::ValuesIn(kCases), caseName);
INSTANTIATE_TEST_SUITE_P(EveryEdge, Adjustments, ::testing::ValuesIn(kEdgeCases), caseName);

} // namespace
} // namespace arrowsel::test
