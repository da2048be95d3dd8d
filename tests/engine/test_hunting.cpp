// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/selection.h"
#include "tests/engine/chart_fixture.h"

#include <gtest/gtest.h>

namespace arrowsel::test {
namespace {

using engine::BowSetup;
using engine::Cell;
using engine::ColorBand;
using engine::Page;
using engine::RunError;

constexpr ColorBand Y = ColorBand::Yellow;
constexpr ColorBand G = ColorBand::Green;
constexpr ColorBand O = ColorBand::Orange;
constexpr ColorBand W = ColorBand::Plain;

// ---- Adjusted weight, band and row --------------------------------------------------------------

struct RowCase {
    const char* name;
    int bowType;
    int cam;
    std::string weight;
    std::string point;
    std::string length;
    int brace = 0;
    int release = 0;
    int overdraw = 0;
    std::string expectedMarker; // cell 1 after the run: the row the table stands on
    int expectedNotices = 0;
};

class HuntingRow : public ::testing::TestWithParam<RowCase> {};

TEST_P(HuntingRow, setupGivesChartRow) {
    const RowCase& c = GetParam();
    EngineHarness h;
    BowSetup s = setupOn(Page::Hunt);
    s.bowType = c.bowType;
    s.huntCamType = c.cam;
    s.bowWeight = c.weight;
    s.pointWeight = c.point;
    s.arrowLength = c.length;
    s.braceHt = c.brace;
    s.releaseType = c.release;
    s.overDraw = c.overdraw;
    const auto result = h.run(s);
    ASSERT_FALSE(result.error) << result.error.message;
    EXPECT_EQ(result.cells()[0].size, c.expectedMarker);
    EXPECT_EQ(static_cast<int>(result.notices.size()), c.expectedNotices);
    EXPECT_EQ(result.bowWeight, c.expectedNotices > 0 ? "60" : c.weight);
    EXPECT_EQ(result.pageTag, "Hunt");
}

const RowCase kRowCases[] = {
    {"compoundDefaults_row13", 0, 0, "60", "100", "30", 0, 0, 0, "R13"},
    {"compoundWeight17_noBand_row7", 0, 0, "17", "100", "30", 0, 0, 0, "R7"},
    {"compoundWeight17Length24_row1_noticeThenNestedRow7", 0, 0, "17", "100", "24", 0, 0, 0, "R7", 1},
    {"compoundWeight17Length23_row0_notice", 0, 0, "17", "100", "23", 0, 0, 0, "R6", 1},
    {"compoundCam1_bandShifted_row12", 0, 1, "60", "100", "30", 0, 0, 0, "R12"},
    {"compoundCamIndex2_noBand_row7", 0, 2, "60", "100", "30", 0, 0, 0, "R7"},
    {"compoundAllAdjustments_88_row18", 0, 0, "60", "140", "30", 1, 1, 5, "R18"},
    {"compoundLightPoint_minus3_row12", 0, 0, "57", "80", "30", 0, 0, 0, "R12"},
    {"compoundOverdraw3_plus6_row14", 0, 0, "57", "100", "30", 0, 0, 3, "R14"},
    {"compoundPoint115_plus3_row14", 0, 0, "61", "115", "30", 0, 0, 0, "R14"},
    {"recurveIgnoresBraceReleaseOverdraw_row13", 1, 0, "60", "100", "30", 1, 1, 5, "R13"},
    {"recurve95_lastBand_row19_noticeThenNestedRow13", 1, 0, "95", "100", "30", 0, 0, 0, "R13", 1},
    {"recurve96_noBand_row7", 1, 0, "96", "100", "30", 0, 0, 0, "R7"},
    {"recurvePoint140_plus6_row14", 1, 0, "56", "140", "30", 0, 0, 0, "R14"},
    {"longbowWeight60_row9", 2, 0, "60", "100", "30", 0, 0, 0, "R9"},
    {"longbowPoint155_plus9_row11", 2, 0, "60", "155", "30", 0, 0, 0, "R11"},
    {"longbowPoint80_noAdjustment_row9", 2, 0, "60", "80", "30", 0, 0, 0, "R9"},
    {"longbowLength23_row2_inRange", 2, 0, "60", "100", "23", 0, 0, 0, "R2"},
    {"longbowWeight121_band14_row19_notice", 2, 0, "121", "100", "30", 0, 0, 0, "R9", 1},
    {"bowTypeNone_noBand_row7", -1, 0, "60", "100", "30", 0, 0, 0, "R7"},
};

INSTANTIATE_TEST_SUITE_P(Bands, HuntingRow, ::testing::ValuesIn(kRowCases),
                         [](const auto& row) { return std::string(row.param.name); });

// ---- Row colours --------------------------------------------------------------------------------

struct ColourCase {
    const char* name;
    std::string weight;
    std::string length;
    std::array<ColorBand, 4> colours;
};

class HuntingColours : public ::testing::TestWithParam<ColourCase> {};

TEST_P(HuntingColours, rowGivesFirstFourColours_restWhite) {
    const ColourCase& c = GetParam();
    EngineHarness h;
    BowSetup s = setupOn(Page::Hunt);
    s.bowWeight = c.weight;
    s.arrowLength = c.length;
    const auto result = h.run(s);
    ASSERT_FALSE(result.error) << result.error.message;
    for (std::size_t i = 0; i < 17; ++i) {
        EXPECT_EQ(result.cells()[i].band, i < 4 ? c.colours[i] : W) << "cell " << i + 1;
    }
}

const ColourCase kColourCases[] = {
    {"row0_offChart", "17", "23", {Y, W, W, W}},  {"row1_offChartStillColoured", "17", "24", {Y, O, W, W}},
    {"row6", "17", "29", {Y, O, W, W}},           {"row7", "17", "30", {O, W, W, W}},
    {"row8", "17", "31", {Y, G, O, W}},           {"row9", "17", "32", {Y, Y, O, W}},
    {"row10", "17", "33", {Y, G, O, O}},          {"row11", "32", "33", {G, G, O, O}},
    {"row12", "37", "33", {Y, G, G, O}},          {"row13", "60", "30", {Y, Y, G, O}},
    {"row14", "67", "29", {Y, Y, G, O}},          {"row15", "67", "30", {Y, G, O, W}},
    {"row16", "73", "30", {Y, G, O, O}},          {"row18", "85", "30", {Y, G, O, O}},
    {"row19_offChart", "91", "30", {Y, W, W, W}},
};

INSTANTIATE_TEST_SUITE_P(Rows, HuntingColours, ::testing::ValuesIn(kColourCases),
                         [](const auto& row) { return std::string(row.param.name); });

// ---- Cells --------------------------------------------------------------------------------------

class HuntingCells : public ::testing::Test {
protected:
    EngineHarness h;
    ChartFixture::Row& row13() { return h.fixture.row(Page::Hunt, 13); }
    engine::SelectionResult run() { return h.run(setupOn(Page::Hunt)); }
};

TEST_F(HuntingCells, foundShaft_showsSpecsTextsAndRoundedWeight) {
    row13()["SH1SIZE"] = " 2213 ";
    row13()["SH1SPINE"] = ".610";
    h.fixture.addSpec({"2213.610", ".610", " XT Hunter ", "target", "9.25"});
    const auto result = run();
    ASSERT_FALSE(result.error) << result.error.message;
    const Cell& c = result.cells()[0];
    EXPECT_EQ(c.size, "2213");
    EXPECT_EQ(c.model, "XT Hunter");
    EXPECT_EQ(c.spine, ".610    "); // as read, padded to its field
    EXPECT_EQ(c.weight, "278");     // 9.25 * 30 + 0.5
    EXPECT_TRUE(c.shown);
    EXPECT_TRUE(c.sizeEnabled);
}

TEST_F(HuntingCells, missedSeek_showsLastRecordInIndexOrder) {
    row13()["SH2SIZE"] = "9999";
    row13()["SH2SPINE"] = "x";
    h.fixture.addSpec({"AAAA", "A", "first", "first", "1"});
    const auto result = run();
    ASSERT_FALSE(result.error) << result.error.message;
    EXPECT_EQ(result.cells()[1].size, "9999");
    EXPECT_EQ(result.cells()[1].model, "ZH");
    EXPECT_EQ(result.cells()[1].weight, "300"); // 10 * 30 + 0.5
}

TEST_F(HuntingCells, blankSize_makesBlankCellWhateverElseTheRowHolds) {
    row13()["SH5SPINE"] = ".500";
    const auto result = run();
    const Cell& c = result.cells()[4];
    EXPECT_FALSE(c.shown);
    EXPECT_FALSE(c.sizeEnabled);
    EXPECT_EQ(c.size + c.spine + c.model + c.weight, "");
}

TEST_F(HuntingCells, sizeWithBlank_cutInCells2To6_keptWholeFrom7) {
    row13()["SH2SIZE"] = "2213 alum";
    row13()["SH2SPINE"] = ".610";
    row13()["SH7SIZE"] = "2213 alum";
    row13()["SH7SPINE"] = ".610";
    h.fixture.addSpec({"2213.610", ".610", "cut", "", "10"});
    h.fixture.addSpec({"2213 alum.610", ".610", "whole", "", "10"});
    const auto result = run();
    ASSERT_FALSE(result.error) << result.error.message;
    EXPECT_EQ(result.cells()[1].size, "2213");
    EXPECT_EQ(result.cells()[1].model, "cut");
    EXPECT_EQ(result.cells()[6].size, "2213 alum");
    EXPECT_EQ(result.cells()[6].model, "whole");
}

TEST_F(HuntingCells, cawMarkerInCells4To10_makesCarbonCellWithoutSeek) {
    for (int n : {3, 4, 9, 10, 11}) {
        row13()["SH" + std::to_string(n) + "SIZE"] = "300";
        row13()["SH" + std::to_string(n) + "SPINE"] = "caw";
    }
    const auto result = run();
    ASSERT_FALSE(result.error) << result.error.message;
    for (std::size_t i : {3u, 8u, 9u}) {
        const Cell& c = result.cells()[i];
        EXPECT_EQ(c.size, "300") << i + 1;
        EXPECT_FALSE(c.sizeEnabled) << i + 1;
        EXPECT_EQ(c.model, "Carbon") << i + 1;
        EXPECT_EQ(c.spine, "0.300") << i + 1;
        EXPECT_EQ(c.weight, "Details") << i + 1;
        EXPECT_TRUE(c.carbon) << i + 1;
        EXPECT_EQ(c.keyDetail, "caw") << i + 1;
    }
    EXPECT_TRUE(result.cells()[3].weightEnabled);
    EXPECT_TRUE(result.cells()[8].weightEnabled);
    // Cells 3 and 11 do not know the marker: they seek "300caw" and miss.
    EXPECT_EQ(result.cells()[2].model, "ZH");
    EXPECT_EQ(result.cells()[10].model, "ZH");
    EXPECT_TRUE(result.cells()[2].sizeEnabled);
    EXPECT_FALSE(result.cells()[2].carbon);
    EXPECT_FALSE(result.cells()[10].carbon);
}

TEST_F(HuntingCells, weightButtons4To9_disabledUnlessCarbon_othersUntouched) {
    for (int n = 1; n <= 12; ++n) {
        row13()["SH" + std::to_string(n) + "SIZE"] = "s" + std::to_string(n);
    }
    const auto result = run();
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(result.cells()[i].weightEnabled, i < 3 || i > 8) << "cell " << i + 1;
    }
}

TEST_F(HuntingCells, twoModelInCells1To4_showsBothWeights) {
    row13()["SH1SIZE"] = "A";
    row13()["SH4SIZE"] = "A";
    h.fixture.addSpec({"A", "x", "RD,63", "", "8.80 9.90"});
    const auto result = run();
    ASSERT_FALSE(result.error) << result.error.message;
    EXPECT_EQ(result.cells()[0].weight, "264,297");
    EXPECT_EQ(result.cells()[3].weight, "264,297");
}

TEST_F(HuntingCells, twoModelTextInCell5_readAsOneNumber_endsRunWithConversionError) {
    row13()["SH5SIZE"] = "A";
    h.fixture.addSpec({"A", "x", "RD,63", "", "8.80 9.90"});
    const auto result = run();
    EXPECT_EQ(result.error.kind, RunError::Kind::Conversion);
    EXPECT_EQ(result.error.message, "'8.80 9.90 ' is not a valid floating point value");
}

TEST_F(HuntingCells, modelTestIsCaseSensitive) {
    row13()["SH1SIZE"] = "A";
    h.fixture.addSpec({"A", "x", "rd,63", "", "8.80"});
    const auto result = run();
    ASSERT_FALSE(result.error) << result.error.message;
    EXPECT_EQ(result.cells()[0].weight, "264");
}

TEST_F(HuntingCells, nonNumericGpi_endsRun_laterCellsKeepPreviousRun) {
    row13()["SH3SIZE"] = "good";
    row13()["SH4SIZE"] = "good";
    h.fixture.row(Page::Hunt, 12)["SH2SIZE"] = "bad";
    h.fixture.row(Page::Hunt, 12)["SH4SIZE"] = "other";
    h.fixture.addSpec({"good", "g", "G", "", "10"});
    h.fixture.addSpec({"bad", "b", "B", "", ""});
    ASSERT_FALSE(run().error);
    BowSetup s = setupOn(Page::Hunt);
    s.bowWeight = "55"; // row 12
    const auto result = h.run(s);
    EXPECT_EQ(result.error.kind, RunError::Kind::Conversion);
    EXPECT_EQ(result.error.message, "'          ' is not a valid floating point value");
    EXPECT_EQ(result.cells()[0].size, "R12");
    EXPECT_EQ(result.cells()[1].size, "bad");
    EXPECT_EQ(result.cells()[2].size, "good");
    EXPECT_EQ(result.cells()[3].size, "good");
}

// ---- Guard and conversion errors ----------------------------------------------------------------

TEST_F(HuntingCells, guardFails_gridAndControlsKeepPreviousRun) {
    ASSERT_FALSE(run().error);
    for (auto [weight, length, point] :
         {std::tuple{"6", "30", "100"}, std::tuple{"60", "9", "100"}, std::tuple{"60", "100", "100"},
          std::tuple{"60", "30", "9"}, std::tuple{"", "30", "100"}}) {
        BowSetup s = setupOn(Page::Hunt);
        s.bowWeight = weight;
        s.arrowLength = length;
        s.pointWeight = point;
        const auto result = h.run(s);
        EXPECT_FALSE(result.error) << weight << " " << length << " " << point;
        EXPECT_TRUE(result.notices.empty());
        EXPECT_FALSE(result.resetsApplied);
        EXPECT_FALSE(result.pageRulesRan);
        EXPECT_EQ(result.cells()[0].size, "R13");
    }
}

TEST_F(HuntingCells, nonIntegerEdits_endRunWithTheirText) {
    for (auto [weight, length, point, bad] : {std::tuple{"6x", "30", "100", "6x"}, std::tuple{"60", "3a", "100", "3a"},
                                              std::tuple{"60", "30", "1 0", "1 0"}}) {
        BowSetup s = setupOn(Page::Hunt);
        s.bowWeight = weight;
        s.arrowLength = length;
        s.pointWeight = point;
        const auto result = h.run(s);
        EXPECT_EQ(result.error.kind, RunError::Kind::Conversion);
        EXPECT_EQ(result.error.message, "'" + std::string(bad) + "' is not a valid integer value");
    }
}

// ---- Out-of-range notice -------------------------------------------------------------------------

TEST_F(HuntingCells, notice_readsFirstLineAndResetsWeightBeforeNestedRun) {
    h.fixture.notice = std::string(200, 'x');
    std::vector<std::string> seen;
    BowSetup s = setupOn(Page::Hunt);
    s.bowWeight = "17";
    s.arrowLength = "24";
    h.run(setupOn(Page::Youth)); // makes the engine; nothing of the Hunting page yet
    h.engine().setNoticeHandler([&](const std::string& text) { seen.push_back(text); });
    const auto result = h.run(s);
    ASSERT_FALSE(result.error) << result.error.message;
    ASSERT_EQ(result.notices.size(), 1u);
    EXPECT_EQ(result.notices[0], std::string(150, 'x'));
    EXPECT_EQ(seen, result.notices);
    EXPECT_EQ(result.bowWeight, "60");
    EXPECT_EQ(result.cells()[0].size, "R7"); // the nested run's row (60 at length 24)
    EXPECT_EQ(result.cells()[1].band, O);    // the outer run's colouring of row 1
}

TEST_F(HuntingCells, noticeWithWeightAlready60_noNestedRun_tableStaysOnPreviousRow) {
    ASSERT_FALSE(run().error); // row 13
    BowSetup s = setupOn(Page::Hunt);
    s.arrowLength = "99"; // 60 at length 99: row 82
    const auto result = h.run(s);
    ASSERT_FALSE(result.error) << result.error.message;
    EXPECT_EQ(result.notices.size(), 1u);
    EXPECT_EQ(result.cells()[0].size, "R13");
}

TEST_F(HuntingCells, missingNoticeFile_endsRunWithFileError) {
    h.fixture.writeNotice = false;
    BowSetup s = setupOn(Page::Hunt);
    s.arrowLength = "99";
    const auto result = h.run(s);
    EXPECT_EQ(result.error.kind, RunError::Kind::File);
    EXPECT_NE(result.error.message.find("invsel.txt"), std::string::npos);
    EXPECT_TRUE(result.notices.empty());
}

TEST(HuntingTables, missingChart_endsRunWithTableError) {
    TempDir dir;
    engine::SelectionEngine engine(dir.path());
    const auto result = engine.run(setupOn(Page::Hunt));
    EXPECT_EQ(result.error.kind, RunError::Kind::Table);
    EXPECT_NE(result.error.message.find("HUNTCHRT"), std::string::npos) << result.error.message;
}

TEST(HuntingTables, missingSpecsIndex_endsRunWithTableError_laterRunRecovers) {
    EngineHarness h;
    h.run(BowSetup{}); // writes the fixture
    const auto idx = h.fixture.folder() / "specs.idx";
    const auto saved = h.fixture.folder() / "saved.idx.bak";
    engine::SelectionEngine engine(h.fixture.folder());
    std::filesystem::rename(idx, saved);
    const auto failed = engine.run(setupOn(Page::Hunt));
    EXPECT_EQ(failed.error.kind, RunError::Kind::Table);
    EXPECT_NE(failed.error.message.find("specs.idx"), std::string::npos) << failed.error.message;
    std::filesystem::rename(saved, idx);
    const auto result = engine.run(setupOn(Page::Hunt));
    EXPECT_FALSE(result.error) << result.error.message;
    EXPECT_EQ(result.cells()[0].size, "R13");
}

} // namespace
} // namespace arrowsel::test
