// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/selection.h"
#include "present/control_states.h"
#include "tests/engine/chart_fixture.h"

#include <cctype>
#include <gtest/gtest.h>

namespace arrowsel::test {
namespace {

using engine::BowSetup;
using engine::Page;
using present::Control;

// A run and the control states the presentation table gives it.
struct Run {
    engine::SelectionResult result;
    present::ControlStates controls;
};

Run runOn(Page page, int bowType) {
    EngineHarness h;
    BowSetup s = setupOn(page);
    s.bowType = bowType;
    s.targBowType = bowType;
    auto result = h.run(s);
    auto controls = present::controlStates(result, s);
    return {std::move(result), controls};
}

TEST(ControlStates, huntingCompound_adultEditsAndHuntingGroupsShown) {
    const auto r = runOn(Page::Hunt, 0);
    ASSERT_FALSE(r.result.error) << r.result.error.message;
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
            EXPECT_EQ(r.controls[c].enabled, false) << present::controlName(c) << " bow " << bowType;
        }
    }
}

TEST(ControlStates, targetRecurve_wheelAndPointDisabled_pointFontGrey) {
    const auto r = runOn(Page::Targ, 1);
    EXPECT_EQ(r.result.pageTag, "Targ");
    EXPECT_EQ(r.controls[Control::TargBowType].color, 0x800000u);
    EXPECT_EQ(r.controls[Control::BowType].visible, false);
    EXPECT_EQ(r.controls[Control::HuntCamType].visible, false);
    for (Control c :
         {Control::BraceHt, Control::WheelType, Control::ReleaseType, Control::OverDraw, Control::UpDown4}) {
        EXPECT_EQ(r.controls[c].enabled, false) << present::controlName(c);
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
        EXPECT_EQ(recurve.controls[c].enabled, false) << present::controlName(c);
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

TEST(ControlStates, runEndedBeforeResets_writesNoControl_whileYouthRunsWithoutResets) {
    EngineHarness h;
    BowSetup s = setupOn(Page::Hunt);
    s.bowWeight = "6x";
    const auto ended = h.run(s);
    ASSERT_EQ(ended.error.kind, engine::RunError::Kind::Conversion);
    const present::ControlStates none = present::controlStates(ended, s);
    EXPECT_FALSE(none.resetsApplied);
    for (const present::ControlState& st : none.states) {
        EXPECT_FALSE(st.visible || st.enabled || st.color || st.fontColor);
    }
    BowSetup youth = setupOn(Page::Youth);
    youth.bowWeight = "6"; // adult edits incomplete: the Youth rules run without the resets
    const auto r = h.run(youth);
    const present::ControlStates states = present::controlStates(r, youth);
    EXPECT_FALSE(states.resetsApplied);
    EXPECT_FALSE(states[Control::Label6].fontColor.has_value());
    EXPECT_EQ(states[Control::YouthBowWtSpin].visible, true);
}

TEST(ControlStates, bandColours_eachBandItsOwnColourAndName) {
    using engine::ColorBand;
    EXPECT_EQ(present::bandColor(ColorBand::Yellow), 0xD5FFFFu);
    EXPECT_EQ(present::bandColor(ColorBand::Green), 0xDCFFB9u);
    EXPECT_EQ(present::bandColor(ColorBand::Orange), 0xB3CBFFu);
    EXPECT_EQ(present::bandColor(ColorBand::Plain), 0xFFFFFFu);
    EXPECT_STREQ(present::bandColorName(ColorBand::Orange), "pale orange");
    EXPECT_STREQ(present::bandColorName(ColorBand::Plain), "white");
}

// The description a screen reader hears names the band's colour and says what its legend line says.
TEST(ControlStates, bandDescriptions_agreeWithColourNameAndLegend) {
    using engine::ColorBand;
    for (const ColorBand band : {ColorBand::Yellow, ColorBand::Green, ColorBand::Orange, ColorBand::Plain}) {
        std::string colour = present::bandColorName(band);
        std::string meaning = present::bandMeaning(band);
        colour[0] = char(std::toupper(static_cast<unsigned char>(colour[0])));
        meaning[0] = char(std::tolower(static_cast<unsigned char>(meaning[0])));
        EXPECT_EQ(present::bandDescription(band), colour + ": " + meaning + ".");
    }
}

} // namespace
} // namespace arrowsel::test
