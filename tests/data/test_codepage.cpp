// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/codepage.h"

#include <gtest/gtest.h>

namespace arrowsel::data {
namespace {

TEST(CodePage, accentedNamesRoundTripInEachCodePage) {
    const std::string name = "Jos\xC3\xA9 Mu\xC3\xB1oz-M\xC3\xBCller"; // José Muñoz-Müller
    for (const CodePage cp : {CodePage::Windows1252, CodePage::Dos437, CodePage::Dos850}) {
        std::string stored;
        ASSERT_TRUE(encodeText(cp, name, stored)) << codePageName(cp);
        EXPECT_EQ(stored.size(), 17u) << "one byte per character";
        EXPECT_EQ(decodeText(cp, stored), name) << codePageName(cp);
    }
}

TEST(CodePage, storedBytesDifferBetweenCodePages) {
    std::string in1252;
    std::string in437;
    ASSERT_TRUE(encodeText(CodePage::Windows1252, "\xC3\xA9", in1252));
    ASSERT_TRUE(encodeText(CodePage::Dos437, "\xC3\xA9", in437));
    EXPECT_EQ(in1252, "\xE9");
    EXPECT_EQ(in437, "\x82");
}

TEST(CodePage, charactersOutsideTheCodePageAreRefusedAndNamed) {
    std::string stored;
    std::string bad;
    EXPECT_FALSE(encodeText(CodePage::Dos437,
                            "price \xE2\x82\xAC"
                            "5",
                            stored, &bad)); // €
    EXPECT_EQ(bad, "\xE2\x82\xAC");
    EXPECT_TRUE(encodeText(CodePage::Windows1252, "\xE2\x82\xAC", stored));
    EXPECT_EQ(stored, "\x80");
    for (const CodePage cp : {CodePage::Windows1252, CodePage::Dos437, CodePage::Dos850}) {
        EXPECT_FALSE(encodeText(cp, "smile \xF0\x9F\x98\x80", stored, &bad)); // an emoji
        EXPECT_EQ(bad, "\xF0\x9F\x98\x80");
    }
}

TEST(CodePage, malformedUtf8IsRefused) {
    std::string stored;
    EXPECT_FALSE(encodeText(CodePage::Windows1252, "abc\xC3", stored));      // cut sequence
    EXPECT_FALSE(encodeText(CodePage::Windows1252, "\xC0\xAF", stored));     // overlong
    EXPECT_FALSE(encodeText(CodePage::Windows1252, "\xED\xA0\x80", stored)); // surrogate
}

TEST(CodePage, bytesWithoutACharacterIn1252StillRoundTrip) {
    const std::string stored = "\x81\x8D\x8F\x90\x9D";
    std::string back;
    ASSERT_TRUE(encodeText(CodePage::Windows1252, decodeText(CodePage::Windows1252, stored), back));
    EXPECT_EQ(back, stored);
}

TEST(CodePage, caseMapsFollowTheCodePage) {
    EXPECT_EQ(upperByte(CodePage::Windows1252, 0xE9), 0xC9); // é -> É
    EXPECT_EQ(upperByte(CodePage::Dos437, 0x82), 0x90);      // é -> É
    EXPECT_EQ(lowerByte(CodePage::Dos850, 'Q'), 'q');
    EXPECT_EQ(upperByte(CodePage::Dos437, 0xA0), 0xA0); // á has no capital in 437
}

TEST(CodePage, unknownMarksReadAs1252) {
    EXPECT_EQ(codePageFromMark(0x00), CodePage::Windows1252);
    EXPECT_EQ(codePageFromMark(0x02), CodePage::Dos850);
    EXPECT_EQ(codePageFromMark(0x57), CodePage::Windows1252);
}

} // namespace
} // namespace arrowsel::data
