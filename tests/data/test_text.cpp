// SPDX-License-Identifier: GPL-3.0-or-later
// The shared text helpers at their edges: which blanks each trim removes, where a cut at a mark
// stops, and which byte sequences count as UTF-8.

#include "data/text.h"

#include <gtest/gtest.h>

namespace arrowsel::test {
namespace {

using namespace std::string_view_literals;

TEST(TextTrims, eachTrimRemovesOnlyItsOwnBlanks) {
    const std::string_view mixed = "\t \0x y\0 \r\n"sv;
    EXPECT_EQ(data::trimSpaces(mixed), mixed);
    EXPECT_EQ(data::trimSpaces("  x y  "), "x y");
    EXPECT_EQ(data::trimSpacesAndNuls(" \0x y\0 "sv), "x y");
    EXPECT_EQ(data::trimSpacesAndNuls("\tx\t"), "\tx\t");
    EXPECT_EQ(data::trimControlsAndSpaces(mixed), "x y");
    EXPECT_EQ(data::trimTrailingSpaces("  x y  "), "  x y");
    EXPECT_EQ(data::trimTrailingSpaces("x\t"), "x\t");
    // Bytes above 0x7F (UTF-8 continuation bytes among them) are never blanks.
    EXPECT_EQ(data::trimControlsAndSpaces(" \xC3\xA9 "), "\xC3\xA9");
}

TEST(TextTrims, emptyAndAllBlankTextsBecomeEmpty) {
    for (const std::string_view text : {""sv, "   "sv}) {
        EXPECT_EQ(data::trimSpaces(text), "");
        EXPECT_EQ(data::trimSpacesAndNuls(text), "");
        EXPECT_EQ(data::trimControlsAndSpaces(text), "");
        EXPECT_EQ(data::trimTrailingSpaces(text), "");
    }
    EXPECT_EQ(data::trimSpacesAndNuls(" \0 \0"sv), "");
    EXPECT_EQ(data::trimControlsAndSpaces("\t\r\n \0"sv), "");
}

TEST(TextCut, dropsAtMostFifteenCharactersFromTheFirstMark) {
    EXPECT_EQ(data::cutAtMark("3.75", '.'), "3");
    EXPECT_EQ(data::cutAtMark("400", '.'), "400");
    EXPECT_EQ(data::cutAtMark("", '.'), "");
    EXPECT_EQ(data::cutAtMark("2213*2215*2312", '*'), "2213");
    EXPECT_EQ(data::cutAtMark("1 abcdefghijklmnopq", ' '), "1opq"); // the blank and 14 after it
}

TEST(TextUtf8, acceptsWellFormedTextUpToTheLastCodePoint) {
    EXPECT_TRUE(data::isValidUtf8(""));
    EXPECT_TRUE(data::isValidUtf8("plain"));
    EXPECT_TRUE(data::isValidUtf8("\xC2\x80\xDF\xBF"));                 // U+0080, U+07FF
    EXPECT_TRUE(data::isValidUtf8("\xE0\xA0\x80\xEF\xBF\xBF"));         // U+0800, U+FFFF
    EXPECT_TRUE(data::isValidUtf8("\xF0\x90\x80\x80\xF4\x8F\xBF\xBF")); // U+10000, U+10FFFF
    EXPECT_TRUE(data::isValidUtf8("\xED\x9F\xBF\xEE\x80\x80"));         // either side of the surrogates
}

TEST(TextUtf8, refusesOverlongSurrogateTruncatedAndStrayBytes) {
    for (const std::string_view bad : {
             "\xC0\xAF"sv,         // "/" in two bytes
             "\xC1\xBF"sv,         // overlong two-byte form
             "\xE0\x9F\xBF"sv,     // U+07FF in three bytes
             "\xF0\x8F\xBF\xBF"sv, // U+FFFF in four bytes
             "\xED\xA0\x80"sv,     // high surrogate
             "\xED\xBF\xBF"sv,     // low surrogate
             "\xF4\x90\x80\x80"sv, // past U+10FFFF
             "\xF8\x88\x80\x80\x80"sv,
             "\xC3"sv, // text ends inside a character
             "ab\xE2\x82"sv,
             "\xE2\x82x"sv, // a character cut short by another
             "\x80"sv,      // continuation byte without a lead
             "\xFF"sv,
         }) {
        EXPECT_FALSE(data::isValidUtf8(bad)) << testing::PrintToString(bad);
    }
}

TEST(TextUtf8, sequenceAtGivesLengthAndCodePoint) {
    char32_t c = 0;
    EXPECT_EQ(data::utf8SequenceAt("a\xE2\x82\xAC", 1, c), 3u);
    EXPECT_EQ(c, U'\u20AC');
    EXPECT_EQ(data::utf8SequenceAt("\xF0\x9F\x8E\xAF", 0, c), 4u);
    EXPECT_EQ(c, U'\U0001F3AF');
    EXPECT_EQ(data::utf8SequenceAt("\xE2\x82\xAC", 1, c), 0u);
    // Characters, not bytes: what a two-character guard or a column width counts.
    EXPECT_EQ(data::utf8Length("\xE2\x82\xAC"
                               "5"),
              2u);
    EXPECT_EQ(data::utf8Length(""), 0u);
}

} // namespace
} // namespace arrowsel::test
