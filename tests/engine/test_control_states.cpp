#include "engine/selection.h"
#include "tests/engine/chart_fixture.h"

#include <gtest/gtest.h>

namespace arrowsel::test {
namespace {

using engine::BowSetup;
using engine::Control;
using engine::ControlState;
using engine::Page;

engine::SelectionResult runOn(Page page, int bowType) {
    EngineHarness h;
    BowSetup s = setupOn(page);
    s.bowType = bowType;
    s.targBowType = bowType;
    return h.run(s);
}

TEST(ControlStates, huntingCompound_adultEditsAndHuntingGroupsShown) {
    const auto r = runOn(Page::Hunt, 0);
    ASSERT_FALSE(r.error) << r.error.message;
    EXPECT_TRUE(r.controls.resetsApplied);
    EXPECT_EQ(r.controls[Control::BowType].visible, true);
    EXPECT_EQ(r.controls[Control::BowType].color, 0x808000u);
    EXPECT_EQ(r.controls[Control::TargBowType].visible, false);
    EXPECT_EQ(r.controls[Control::WheelType].visible, false);
    EXPECT_EQ(r.controls[Control::BraceHt].visible, true);
    EXPECT_EQ(r.controls[Control::ReleaseType].enabled, true);
    EXPECT_EQ(r.controls[Control::ReleaseType].fontColor, 0u);
    EXPECT_EQ(r.controls[Control::BowWeightSpin].fontColor, 0x808000u);
    EXPECT_EQ(r.controls[Control::PointWtSpin].fontColor, 0x808000u);
    EXPECT_EQ(r.controls[Control::Label6].fontColor, 0u);
    EXPECT_EQ(r.controls[Control::YouthBowWtSpin].visible, false);
    EXPECT_EQ(r.controls[Control::UpDown5].visible, false);
    EXPECT_EQ(r.controls[Control::UpDown1].visible, true);
}

TEST(ControlStates, huntingRecurveOrLongbow_setupGroupsDisabled) {
    for (int bowType : {1, 2}) {
        const auto r = runOn(Page::Hunt, bowType);
        for (Control c : {Control::HuntCamType, Control::ReleaseType, Control::BraceHt, Control::OverDraw}) {
            EXPECT_EQ(r.controls[c].enabled, false) << engine::controlName(c) << " bow " << bowType;
        }
    }
}

TEST(ControlStates, targetRecurve_wheelAndPointDisabled_pointFontGrey) {
    const auto r = runOn(Page::Targ, 1);
    EXPECT_EQ(r.pageTag, "Targ");
    EXPECT_EQ(r.controls[Control::TargBowType].color, 0x800000u);
    EXPECT_EQ(r.controls[Control::BowType].visible, false);
    EXPECT_EQ(r.controls[Control::HuntCamType].visible, false);
    for (Control c :
         {Control::BraceHt, Control::WheelType, Control::ReleaseType, Control::OverDraw, Control::UpDown4}) {
        EXPECT_EQ(r.controls[c].enabled, false) << engine::controlName(c);
    }
    EXPECT_EQ(r.controls[Control::PointWtSpin].fontColor, 0x808080u);
    EXPECT_EQ(r.controls[Control::ArrowLengthSpin].fontColor, 0x800000u);
}

TEST(ControlStates, targetCompound_braceEnabled) {
    const auto r = runOn(Page::Targ, 0);
    EXPECT_EQ(r.controls[Control::BraceHt].enabled, true);
    EXPECT_EQ(r.controls[Control::WheelType].visible, true);
    EXPECT_EQ(r.controls[Control::UpDown4].enabled, true);
}

TEST(ControlStates, youth_youthEditsShown_bowTypeVisibilityUntouched) {
    const auto r = runOn(Page::Youth, 0);
    EXPECT_EQ(r.controls[Control::YouthBowWtSpin].visible, true);
    EXPECT_EQ(r.controls[Control::UpDown3].visible, true);
    EXPECT_EQ(r.controls[Control::YouthArrowLenSpin].fontColor, 0x008000u);
    EXPECT_EQ(r.controls[Control::BowWeightSpin].visible, false);
    EXPECT_EQ(r.controls[Control::ArrowLengthSpin].visible, false);
    EXPECT_FALSE(r.controls[Control::BowType].visible.has_value());
    EXPECT_FALSE(r.controls[Control::TargBowType].visible.has_value());
    EXPECT_FALSE(r.controls[Control::PointWtSpin].visible.has_value());
    EXPECT_EQ(r.controls[Control::BowType].enabled, false);
    EXPECT_EQ(r.controls[Control::PointWtSpin].enabled, false);
    EXPECT_EQ(r.controls[Control::HuntCamType].visible, true);
    EXPECT_EQ(r.controls[Control::HuntCamType].enabled, false);
    EXPECT_EQ(r.controls[Control::WheelType].enabled, false);
}

TEST(ControlStates, orvikRecurve_setupGroupsDisabled_overdrawEnabledOnCompound) {
    const auto compound = runOn(Page::Orvk, 0);
    EXPECT_EQ(compound.controls[Control::OverDraw].enabled, true);
    EXPECT_EQ(compound.controls[Control::TargBowType].color, 0x000080u);
    EXPECT_EQ(compound.controls[Control::BowType].visible, false);
    EXPECT_EQ(compound.controls[Control::WheelType].enabled, false);
    const auto recurve = runOn(Page::Orvk, 1);
    for (Control c : {Control::HuntCamType, Control::ReleaseType, Control::OverDraw, Control::BraceHt}) {
        EXPECT_EQ(recurve.controls[c].enabled, false) << engine::controlName(c);
    }
}

TEST(ControlStates, guardedRun_resetsFlagsOfEveryPage) {
    EngineHarness h;
    h.fixture.clearRow(Page::Youth, 8);
    ASSERT_FALSE(h.run(setupOn(Page::Youth)).error); // all youth cells blank
    const auto r = h.run(setupOn(Page::Hunt));
    for (const auto& cell : r.grids[static_cast<std::size_t>(Page::Youth)]) {
        EXPECT_TRUE(cell.shown);
        EXPECT_TRUE(cell.sizeEnabled);
    }
}

} // namespace
} // namespace arrowsel::test
