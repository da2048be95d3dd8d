// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/conversions.h"
#include "tests/support/required.h"

#include <clocale>
#include <gtest/gtest.h>

namespace arrowsel::engine {
namespace {

TEST(Conversions, integerTexts_acceptedWithLeadingBlanksAndSign) {
    EXPECT_EQ(toInteger("60"), 60);
    EXPECT_EQ(toInteger("  7"), 7);
    EXPECT_EQ(toInteger("+5"), 5);
    EXPECT_EQ(toInteger("-12"), -12);
    EXPECT_EQ(toInteger("007"), 7);
    EXPECT_EQ(toInteger("2147483647"), 2147483647);
    EXPECT_EQ(toInteger("-2147483648"), -2147483647 - 1);
}

TEST(Conversions, integerTexts_otherFormsRefusedWithTheirText) {
    for (const char* bad : {"", " ", "6x", "6 ", "1.5", "+", "-", "0x10", "$10", "2147483648", "1e3", "\xC3\xA9"}) {
        try {
            toInteger(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}

TEST(Conversions, numberTexts_acceptedWithBlanksAroundThem) {
    EXPECT_DOUBLE_EQ(toNumber("8.80"), 8.8);
    EXPECT_DOUBLE_EQ(toNumber("  9.9  "), 9.9);
    EXPECT_DOUBLE_EQ(toNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(toNumber("5."), 5.0);
    EXPECT_DOUBLE_EQ(toNumber("+1e2"), 100.0);
    EXPECT_DOUBLE_EQ(toNumber("-2.5E-1"), -0.25);
}

TEST(Conversions, numberTexts_emptyCommaAndWordsRefused) {
    for (const char* bad : {"", "   ", "8,80", "8.80 9.90", "inf", "nan", "0x1p3", ".", "1e", "abc", "1e999"}) {
        try {
            toNumber(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(bad) + "' is not a valid floating point value");
        }
    }
}

TEST(Conversions, numberText_printsFifteenSignificantDigitsWithPoint) {
    EXPECT_EQ(numberText(264.5), "264.5");
    EXPECT_EQ(numberText(300), "300");
    EXPECT_EQ(numberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(numberText(1e20), "1e+20");
    EXPECT_EQ(numberText(-3.25), "-3.25");
}

TEST(Conversions, commaLocaleInForce_textsStillUsePoint) {
    const char* before = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = before ? before : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        if (arrowsel::test::skipsAreFailures()) {
            FAIL() << "no de_DE.UTF-8 locale on this machine: run scripts/setup";
        }
        GTEST_SKIP() << "no German locale installed (scripts/setup generates it)";
    }
    EXPECT_DOUBLE_EQ(toNumber("1.5"), 1.5);
    EXPECT_EQ(numberText(1.5), "1.5");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

} // namespace
} // namespace arrowsel::engine
