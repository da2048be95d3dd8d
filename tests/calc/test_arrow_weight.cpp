// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/arrow_weight.h"
#include "engine/conversions.h"

#include <gtest/gtest.h>
#include <string>

namespace arrowsel::calc {
namespace {

struct KeyCase {
    const char* name;
    const char* tmpLbl;
    const char* key;
};

class SpecificationKeyCut : public testing::TestWithParam<KeyCase> {};

TEST_P(SpecificationKeyCut, dropsFifteenCharactersFromFirstBlank) {
    EXPECT_EQ(specificationKey(GetParam().tmpLbl), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, SpecificationKeyCut,
                         testing::Values(KeyCase{"noBlankUsedWhole", "2213.500", "2213.500"},
                                         KeyCase{"blankThenThreeCutAtBlank", "2213 xyz", "2213"},
                                         KeyCase{"blankThenTwentyKeepsLastSix", "2213 abcdefghijklmnopqrst",
                                                 "2213opqrst"},
                                         KeyCase{"blankThenExactlyFourteen", "2213 abcdefghijklmn", "2213"},
                                         KeyCase{"blankThenFifteenKeepsLastOne", "2213 abcdefghijklmno", "2213o"},
                                         KeyCase{"leadingBlank", " 400", ""}, KeyCase{"empty", "", ""}),
                         [](const testing::TestParamInfo<KeyCase>& row) { return std::string(row.param.name); });

TEST(GrainsPerInch, singleFigureReadWhole) {
    EXPECT_DOUBLE_EQ(grainsPerInch("9.55      ", "Magnum, Ultra"), 9.55);
}

TEST(GrainsPerInch, commaSixtyThreeModelsReadTheSecondFigure) {
    EXPECT_TRUE(usesSecondGpi("KV,63 Series"));
    EXPECT_DOUBLE_EQ(grainsPerInch("8.10 9.40 ", "KV,63 Series"), 9.40);
    // A short second figure is trimmed before it is parsed.
    EXPECT_DOUBLE_EQ(grainsPerInch("8.10 9.4  ", "KV,63"), 9.4);
}

TEST(GrainsPerInch, commaSixtyThreeElsewhereInTheModelsIsNotTheRule) {
    EXPECT_FALSE(usesSecondGpi(",63 KV"));
    EXPECT_FALSE(usesSecondGpi("KV,6"));
    EXPECT_FALSE(usesSecondGpi("KV ,63"));
}

TEST(GrainsPerInch, twoFiguresReadWholeIsAConversionError) {
    try {
        grainsPerInch("8.10 9.40 ", "Magnum");
        FAIL() << "two figures parsed as one";
    } catch (const engine::EConvertError& e) {
        EXPECT_STREQ(e.what(), "'8.10 9.40' is not a valid floating point value");
    }
}

TEST(GrainsPerInch, blankFieldIsAConversionError) {
    EXPECT_THROW(grainsPerInch("          ", "Magnum"), engine::EConvertError);
    // The second figure is missing from a single-figure text on a ",63" model.
    EXPECT_THROW(grainsPerInch("8.10      ", "KV,63"), engine::EConvertError);
    EXPECT_THROW(grainsPerInch("8.10", "KV,63"), engine::EConvertError);
}

struct WeightCase {
    const char* name;
    double gpi;
    ArrowComponents parts;
    const char* shaft;
    const char* total;
};

class ArrowWeightExample : public testing::TestWithParam<WeightCase> {};

TEST_P(ArrowWeightExample, shaftRoundsHalfUpTotalIsCut) {
    const ArrowWeights w = arrowWeights(GetParam().gpi, GetParam().parts);
    EXPECT_EQ(w.shaft, GetParam().shaft);
    EXPECT_EQ(w.total, GetParam().total);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, ArrowWeightExample,
                         testing::Values(WeightCase{"halfGrainShaft", 9.55, {30, 12, 100, 8, 10}, "287", "416"},
                                         WeightCase{"wholeShaft", 10.0, {30, 0, 0, 0, 0}, "300", "300"},
                                         WeightCase{"quarterInchLength", 8.0, {28.25, 10, 125, 6, 15}, "226", "382"},
                                         WeightCase{"noShaft", 9.0, {0, 10, 100, 8, 12}, "0", "130"}),
                         [](const testing::TestParamInfo<WeightCase>& row) { return std::string(row.param.name); });

TEST(GrainsPerPound, showsOneDecimalCutAndWarnsBelowFive) {
    auto light = grainsPerPound(299.9, "60");
    ASSERT_TRUE(light);
    EXPECT_EQ(light->text, "4.9");
    EXPECT_TRUE(light->tooLight);

    auto limit = grainsPerPound(300, "60");
    ASSERT_TRUE(limit);
    EXPECT_EQ(limit->text, "5");
    EXPECT_FALSE(limit->tooLight);

    auto heavy = grainsPerPound(416.5, "60");
    ASSERT_TRUE(heavy);
    EXPECT_EQ(heavy->text, "6.9");
    EXPECT_FALSE(heavy->tooLight);
}

TEST(GrainsPerPound, drawWeightThatIsNoPositiveNumberGivesNothing) {
    EXPECT_FALSE(grainsPerPound(400, ""));
    EXPECT_FALSE(grainsPerPound(400, "0"));
    EXPECT_FALSE(grainsPerPound(400, "-50"));
    EXPECT_FALSE(grainsPerPound(400, "sixty"));
}

} // namespace
} // namespace arrowsel::calc
