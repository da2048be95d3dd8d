// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/codepage.h"
#include "engine/conversions.h"
#include "records/saved_setup.h"
#include "tests/support/fake_main_window.h"

#include <gtest/gtest.h>
#include <map>

namespace arrowsel::records {
namespace {

using Group = MainWindowState::Group;
using Page = MainWindowState::Page;
using Edit = MainWindowState::Edit;

std::map<std::string, std::string> asMap(const std::vector<FieldValue>& values) {
    std::map<std::string, std::string> m;
    for (const auto& v : values) {
        m[v.name] = v.text;
    }
    return m;
}

RecordTexts recordOf(std::map<std::string, std::string> fields) {
    return [fields = std::move(fields)](std::string_view f) {
        const auto it = fields.find(std::string(f));
        return it == fields.end() ? std::string() : it->second;
    };
}

std::map<std::string, std::string> storedRecord(const std::string& hort, const std::string& botyp) {
    // Character fields come padded to their width, numbers as their text.
    return {{"BOWWT", "55        "}, {"ARLEN", "28        "}, {"PNTWT", "125       "}, {"HORT", hort}, {"BOTYP", botyp},
            {"WHTYP", "2"},          {"RETYP", "1"},          {"BOLEN", "1"},          {"ODLEN", "3"}};
}

TEST(EncodeSetup, huntingLongbow_storesPageZeroAndHuntingBowType) {
    test::FakeMainWindow main;
    main.indexes[Group::BowType] = 2;
    main.indexes[Group::TargBowType] = 0;
    main.indexes[Group::OverDraw] = 4;
    main.edits[Edit::BowWeight] = "1000";
    const auto m = asMap(encodeSetup(main));
    EXPECT_EQ(m.at("HORT"), "0");
    EXPECT_EQ(m.at("BOTYP"), "2");
    EXPECT_EQ(m.at("ODLEN"), "4");
    EXPECT_EQ(m.at("BOWWT"), "1000");
    EXPECT_EQ(m.at("ARLEN"), "30");
    EXPECT_EQ(m.at("PNTWT"), "100");
}

TEST(EncodeSetup, targetAndOrvikPages_takeTheTargetBowTypeGroup) {
    test::FakeMainWindow main;
    main.indexes[Group::BowType] = 2;
    main.indexes[Group::TargBowType] = 1;
    main.shownPage = Page::Targ;
    auto m = asMap(encodeSetup(main));
    EXPECT_EQ(m.at("HORT"), "1");
    EXPECT_EQ(m.at("BOTYP"), "1");
    main.shownPage = Page::Orvk;
    m = asMap(encodeSetup(main));
    EXPECT_EQ(m.at("HORT"), "2");
    EXPECT_EQ(m.at("BOTYP"), "1");
}

TEST(EncodeSetup, youthPage_leavesNoPageAndKeepsTheAdultEditsAndHuntingBowType) {
    test::FakeMainWindow main;
    main.shownPage = Page::Youth;
    main.indexes[Group::BowType] = 1;
    main.indexes[Group::ReleaseType] = -1;
    const auto m = asMap(encodeSetup(main));
    EXPECT_EQ(m.count("HORT"), 0u);
    EXPECT_EQ(m.at("BOTYP"), "1");
    EXPECT_EQ(m.at("RETYP"), "-1");
    EXPECT_EQ(m.at("BOWWT"), "60");
}

TEST(LookupSummary, storedRecord_showsUnitsAndCodeTexts) {
    const Summary s = lookupSummary(recordOf(storedRecord("1", "1")));
    EXPECT_EQ(line(s, SummaryLine::BowWeight), "55#");
    EXPECT_EQ(line(s, SummaryLine::ArrowLength), "28\"");
    EXPECT_EQ(line(s, SummaryLine::PointWeight), "125Gr");
    EXPECT_EQ(line(s, SummaryLine::BowType), "Recurve");
    EXPECT_EQ(line(s, SummaryLine::WheelType), "Soft");
    EXPECT_EQ(line(s, SummaryLine::Release), "Fingers");
    EXPECT_EQ(line(s, SummaryLine::BraceHeight), "Under 6.5\"");
    EXPECT_EQ(line(s, SummaryLine::OverDraw), "3\"");
    EXPECT_EQ(line(s, SummaryLine::Chart), "Target Shafts");
}

TEST(LookupSummary, youthRecordWithBlankPage_showsNoChartRatherThanAnotherCustomers) {
    const Summary s = lookupSummary(recordOf(storedRecord("", "0")));
    EXPECT_EQ(line(s, SummaryLine::Chart), "");
    EXPECT_EQ(line(s, SummaryLine::BowType), "Compound");
}

TEST(EntrySummary, compoundShowsTheDetailGroups_recurveAndLongbowShowNotApplicable) {
    test::FakeMainWindow main;
    main.indexes[Group::OverDraw] = 0;
    main.indexes[Group::WheelType] = 1;
    Summary s = entrySummary(main);
    EXPECT_EQ(line(s, SummaryLine::PointWeight), "100gr");
    EXPECT_EQ(line(s, SummaryLine::BowType), "Compound");
    EXPECT_EQ(line(s, SummaryLine::WheelType), "Medium");
    EXPECT_EQ(line(s, SummaryLine::OverDraw), "None");
    EXPECT_EQ(line(s, SummaryLine::Chart), "Hunting Shafts");

    main.indexes[Group::BowType] = 2;
    s = entrySummary(main);
    EXPECT_EQ(line(s, SummaryLine::BowType), "Longbow");
    for (auto l : {SummaryLine::WheelType, SummaryLine::Release, SummaryLine::BraceHeight, SummaryLine::OverDraw}) {
        EXPECT_EQ(line(s, l), "N/A");
    }

    main.shownPage = Page::Targ;
    main.indexes[Group::TargBowType] = 1;
    s = entrySummary(main);
    EXPECT_EQ(line(s, SummaryLine::BowType), "Recurve");
    EXPECT_EQ(line(s, SummaryLine::Release), "N/A");
    EXPECT_EQ(line(s, SummaryLine::Chart), "Target Shafts");

    main.shownPage = Page::Youth;
    EXPECT_EQ(line(entrySummary(main), SummaryLine::Chart), "");
}

struct RestoreCase {
    const char* name;
    const char* hort;
    const char* botyp;
    Page page;
    int bowType;
    int targBowType;
};

class RestoreSetup : public ::testing::TestWithParam<RestoreCase> {};

TEST_P(RestoreSetup, setsPageTextsAndClampedIndexes) {
    const RestoreCase& c = GetParam();
    test::FakeMainWindow main;
    main.shownPage = Page::Youth;
    restoreSetup(recordOf(storedRecord(c.hort, c.botyp)), main);
    EXPECT_EQ(main.shownPage, c.page);
    EXPECT_EQ(main.edits[Edit::BowWeight], "55");
    EXPECT_EQ(main.edits[Edit::ArrowLength], "28");
    EXPECT_EQ(main.edits[Edit::PointWeight], "125");
    EXPECT_EQ(main.indexes[Group::BowType], c.bowType);
    EXPECT_EQ(main.indexes[Group::TargBowType], c.targBowType);
    EXPECT_EQ(main.indexes[Group::WheelType], 2);
    EXPECT_EQ(main.indexes[Group::ReleaseType], 1);
    EXPECT_EQ(main.indexes[Group::BraceHt], 1);
    EXPECT_EQ(main.indexes[Group::OverDraw], 3);
}

INSTANTIATE_TEST_SUITE_P(PagesAndBowTypes, RestoreSetup,
                         ::testing::Values(RestoreCase{"huntingCompound", "0", "0", Page::Hunt, 0, 0},
                                           RestoreCase{"huntingLongbow", "0", "2", Page::Hunt, 2, 1},
                                           RestoreCase{"targetRecurve", "1", "1", Page::Targ, 1, 1},
                                           RestoreCase{"orvikCompound", "2", "0", Page::Orvk, 0, 0},
                                           RestoreCase{"youthKeepsPage", "", "1", Page::Youth, 1, 1},
                                           RestoreCase{"unknownPageKept", "7", "0", Page::Youth, 0, 0}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(RestoreSetupRuns, onlyChangedValuesRunTheSelection) {
    test::FakeMainWindow main;
    auto rec = storedRecord("0", "0");
    rec["BOWWT"] = "60        ";
    rec["WHTYP"] = rec["RETYP"] = rec["BOLEN"] = rec["ODLEN"] = "0";
    restoreSetup(recordOf(rec), main);
    EXPECT_EQ(main.runs, (std::vector<std::string>{"edit:28", "edit:125"}));
}

TEST(RestoreSetupRuns, codeThatIsNoNumber_stopsAtThatFieldKeepingWhatWasSet) {
    test::FakeMainWindow main;
    auto rec = storedRecord("1", "1");
    rec["RETYP"] = "";
    try {
        restoreSetup(recordOf(rec), main);
        FAIL() << "no conversion error";
    } catch (const engine::EConvertError& e) {
        EXPECT_STREQ(e.what(), "'' is not a valid integer value");
    }
    EXPECT_EQ(main.shownPage, Page::Targ);
    EXPECT_EQ(main.indexes[Group::WheelType], 2);
    EXPECT_EQ(main.indexes[Group::ReleaseType], 0);
    EXPECT_EQ(main.indexes[Group::OverDraw], 0);
}

TEST(CustomerChecks, characterOutsideTheCodePage_isNamedWithItsField) {
    const std::vector<CustomerField> captions = {{"NAME", "Name"}, {"CITY", "City"}};
    EXPECT_FALSE(
        unstorableValue(data::CodePage::Windows1252, {{"NAME", "José Peña, \"Ü\""}, {"CITY", "Zürich"}}, captions));
    const auto refused = unstorableValue(data::CodePage::Windows1252, {{"NAME", "Anna"}, {"CITY", "Łódź"}}, captions);
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find("\"City\""), std::string::npos) << *refused;
    EXPECT_NE(refused->find("Ł"), std::string::npos) << *refused;
}

TEST(CustomerChecks, addressNeedsNameFirstLineCityAndState) {
    std::map<std::string, std::string> v = {{"NAME", "A"}, {"ADDR1", "1 Road"}, {"CITY", "Town"}, {"STATE", "ST"}};
    EXPECT_TRUE(addressComplete(recordOf(v)));
    for (const char* f : {"NAME", "ADDR1", "CITY", "STATE"}) {
        auto w = v;
        w[f] = "   ";
        EXPECT_FALSE(addressComplete(recordOf(w))) << f;
    }
}

} // namespace
} // namespace arrowsel::records
