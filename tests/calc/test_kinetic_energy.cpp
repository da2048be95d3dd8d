// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/kinetic_energy.h"

#include <gtest/gtest.h>
#include <string>

namespace arrowsel::calc {
namespace {

struct EnergyCase {
    const char* name;
    double grains;
    double velocity;
    const char* shown;
    int gauge;
    PictureList pictures;
};

class KineticEnergyExample : public testing::TestWithParam<EnergyCase> {};

TEST_P(KineticEnergyExample, showsRoundedEnergyGaugeAndPictures) {
    const EnergyCase& c = GetParam();
    const KineticEnergy e = kineticEnergy(c.velocity, c.grains);
    EXPECT_EQ(e.text, c.shown);
    EXPECT_EQ(e.gauge, c.gauge);
    EXPECT_STREQ(pictureListName(e.pictures), pictureListName(c.pictures));
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, KineticEnergyExample,
    testing::Values(EnergyCase{"grains400_fps200", 400, 200, "35.54", 35, PictureList::MediumImg},
                    EnergyCase{"grains400_fps250", 400, 250, "55.53", 55, PictureList::BigImg},
                    EnergyCase{"grains424_fps335_gaugePinned", 424, 335, "105.68", 100, PictureList::ToughImg},
                    EnergyCase{"grains300_fps150_justUnder15", 300, 150, "14.99", 14, PictureList::SmallImg},
                    // 506520 grains at 1 ft/s hold exactly 1.125 ft-lb: the half cent rounds up.
                    EnergyCase{"exactHalfCentRoundsUp", 506520, 1, "1.13", 1, PictureList::SmallImg}),
    [](const testing::TestParamInfo<EnergyCase>& row) { return std::string(row.param.name); });

struct PictureCase {
    const char* name;
    long whole;
    PictureList pictures;
};

class PictureListBoundary : public testing::TestWithParam<PictureCase> {};

TEST_P(PictureListBoundary, wholePartChoosesList) {
    EXPECT_STREQ(pictureListName(pictureListFor(GetParam().whole)), pictureListName(GetParam().pictures));
}

// The shown values 24.99, 25.00, 40.99, 41.00, 64.99, 65.00, 200.99 and 201.00 by their whole part.
INSTANTIATE_TEST_SUITE_P(WorkedExamples, PictureListBoundary,
                         testing::Values(PictureCase{"shown24_99", 24, PictureList::SmallImg},
                                         PictureCase{"shown25_00", 25, PictureList::MediumImg},
                                         PictureCase{"shown40_99", 40, PictureList::MediumImg},
                                         PictureCase{"shown41_00", 41, PictureList::BigImg},
                                         PictureCase{"shown64_99", 64, PictureList::BigImg},
                                         PictureCase{"shown65_00", 65, PictureList::ToughImg},
                                         PictureCase{"shown200_99", 200, PictureList::ToughImg},
                                         PictureCase{"shown201_00", 201, PictureList::Tanks}),
                         [](const testing::TestParamInfo<PictureCase>& row) { return std::string(row.param.name); });

TEST(KineticEnergyDisplay, valueJustUnderABoundaryKeepsTheLowerList) {
    // 24.994... shows 24.99 (not rounded up to 25.00), so the small game pictures stay.
    const double grains = 24.994 * 450240.0 / (300.0 * 300.0);
    const KineticEnergy e = kineticEnergy(300, grains);
    EXPECT_EQ(e.text, "24.99");
    EXPECT_EQ(e.pictures, PictureList::SmallImg);
}

TEST(KineticEnergyRun, zeroOrNegativeInputAsksForAWholeNumber) {
    for (auto [velocity, grains] : {std::pair{"0", "400"}, std::pair{"200", "0"}, std::pair{"-10", "400"}}) {
        const KineticEnergyRun run = runKineticEnergy(velocity, grains);
        EXPECT_FALSE(run.result) << velocity << " " << grains;
        EXPECT_EQ(run.information, "Zero is invalid, please enter a whole number.");
        EXPECT_TRUE(run.error.empty());
    }
}

TEST(KineticEnergyRun, textThatIsNoWholeNumberGivesTheConversionError) {
    KineticEnergyRun run = runKineticEnergy("20a", "400");
    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.error, "'20a' is not a valid integer value");
    run = runKineticEnergy("200", "");
    EXPECT_EQ(run.error, "'' is not a valid integer value");
    EXPECT_TRUE(run.information.empty());
}

TEST(KineticEnergyRun, speedIsCheckedBeforeWeight) {
    // Both wrong: the speed's problem is the one reported.
    EXPECT_EQ(runKineticEnergy("0", "x").information, "Zero is invalid, please enter a whole number.");
    EXPECT_EQ(runKineticEnergy("x", "0").error, "'x' is not a valid integer value");
}

TEST(KineticEnergyRun, validTextsGiveTheEnergy) {
    const KineticEnergyRun run = runKineticEnergy("  200", "400");
    ASSERT_TRUE(run.result);
    EXPECT_EQ(run.result->text, "35.54");
}

TEST(KineticEnergyRun, largestInputsStayInPlainDecimals) {
    const KineticEnergyRun run = runKineticEnergy("9999", "9999");
    ASSERT_TRUE(run.result);
    EXPECT_EQ(run.result->text.find('e'), std::string::npos) << run.result->text;
    EXPECT_EQ(run.result->gauge, 100);
    EXPECT_EQ(run.result->pictures, PictureList::Tanks);
}

struct FocCase {
    const char* name;
    float length;
    float balance;
    const char* shown;
};

class FrontOfCenterExample : public testing::TestWithParam<FocCase> {};

TEST_P(FrontOfCenterExample, showsPercentCutToOneDecimal) {
    EXPECT_EQ(frontOfCenterText(GetParam().length, GetParam().balance), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, FrontOfCenterExample,
                         testing::Values(FocCase{"balancedAtMiddle", 30.0f, 15.0f, "0%"},
                                         FocCase{"wholeResultHasNoDecimals", 30.0f, 18.0f, "10%"},
                                         FocCase{"singlePrecisionJustBelow11", 30.0f, 18.3f, "10.9%"},
                                         FocCase{"negativeCutTowardZero", 30.0f, 14.0f, "-3.3%"},
                                         FocCase{"length29", 29.0f, 17.25f, "9.4%"}),
                         [](const testing::TestParamInfo<FocCase>& row) { return std::string(row.param.name); });

TEST(FrontOfCenter, zeroLengthIsAnArithmeticError) {
    EXPECT_THROW(frontOfCenterText(0.0f, 15.0f), FloatingPointError);
    try {
        frontOfCenterText(0.0f, 15.0f);
    } catch (const FloatingPointError& e) {
        EXPECT_STREQ(e.what(), "Floating point division by zero");
    }
    try {
        frontOfCenterText(0.0f, 0.0f);
    } catch (const FloatingPointError& e) {
        EXPECT_STREQ(e.what(), "Invalid floating point operation");
    }
}

} // namespace
} // namespace arrowsel::calc
