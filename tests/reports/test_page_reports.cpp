// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/print_commands.h"
#include "reports/shop_record.h"
#include "tests/reports/report_fixture.h"
#include "tests/support/dbf_forge.h"

#include <gtest/gtest.h>

namespace arrowsel::reports {
namespace {

using engine::BowSetup;
using test::textOf;
using Page_ = engine::Page;

class PageReports : public ::testing::Test {
protected:
    test::TempDir dir;
    test::PrintedRun run;
    PrintCommands commands{dir.path(), test::fixedTime, test::fixedLocale()};

    void SetUp() override { test::writeShopTable(dir.path(), {}); }
    Document render(Page_ page) { return commands.render(page, run.setup, run.result); }
    QStringList setupValues(const Document& doc) {
        QStringList out;
        for (const char16_t* n : {u"BowWeightVal", u"ArrowLengthVal", u"PointWeightVal", u"OverDrawVal", u"BowTypeVal",
                                  u"WheelTypeVal", u"ReleaseVal", u"BraceHtVal"}) {
            out << textOf(doc, QString::fromUtf16(n));
        }
        return out;
    }
    QStringList gridRow(const Document& doc, const QString& prefix, int row) {
        QStringList out;
        for (const char16_t* k : {u"Sz", u"Sp", u"Md", u"Wt"}) {
            out << textOf(doc, prefix + QString::fromUtf16(k) + QString::number(row));
        }
        return out;
    }
};

QStringList row(const char* s, const char* p, const char* m, const char* w) {
    return {QString::fromUtf8(s), QString::fromUtf8(p), QString::fromUtf8(m), QString::fromUtf8(w)};
}

TEST_F(PageReports, everyPageReport_printsTheShopHeaderAsItIsNow) {
    for (Page_ page : {Page_::Hunt, Page_::Targ, Page_::Youth, Page_::Orvk}) {
        const Document doc = render(page);
        ASSERT_EQ(doc.pages.size(), 1u);
        const QStringList texts = test::readingOrder(doc.pages[0]);
        ASSERT_GE(texts.size(), 6);
        EXPECT_EQ(
            texts.mid(0, 6),
            (QStringList{QStringLiteral("Bullseye Archery"), QStringLiteral("12 Fletcher Lane"),
                         QStringLiteral("Oakton, VA 22124"), QStringLiteral("Phone: 703-555-0199  FAX: 703-555-0198"),
                         QStringLiteral("07/03/2009 14:05"), QStringLiteral("Equipment Setup Variables")}));
        // The second address line and the country are not printed.
        EXPECT_FALSE(texts.contains(QStringLiteral("Back Door")));
        EXPECT_FALSE(texts.contains(QStringLiteral("Farland")));
        EXPECT_EQ(textOf(doc, QStringLiteral("RptDBText3")), QStringLiteral("Thank you for shopping with us"));
        ASSERT_EQ(doc.pages[0].boxes.size(), 1u);
        EXPECT_NEAR(doc.pages[0].boxes[0].rect.width(), 5.48, 1e-9);
        EXPECT_NEAR(doc.pages[0].boxes[0].rect.height(), 0.68, 1e-9);
        EXPECT_NEAR(doc.pages[0].boxes[0].rect.center().x(), 4.25, 1e-9);
        EXPECT_EQ(doc.pages[0].text(QStringLiteral("RptDBText1"))->font, (Font{QStringLiteral("Arial"), 14, true}));
    }
    // An edit of the shop shows on the next print.
    test::ShopFields changed;
    changed.name = "New Name Archery";
    test::writeShopTable(dir.path(), changed);
    EXPECT_EQ(textOf(render(Page_::Hunt), QStringLiteral("RptDBText1")), QStringLiteral("New Name Archery"));
}

TEST_F(PageReports, hunting_printsRow17UnderRow9_andTheCarbonRowsInTheirOwnSection) {
    run.fillGrid(Page_::Hunt, 17);
    const Document doc = render(Page_::Hunt);
    for (int printed = 1; printed <= 9; ++printed) {
        const std::string n = std::to_string(printed);
        EXPECT_EQ(gridRow(doc, QStringLiteral("Rpt"), printed),
                  row(("S" + n).c_str(), ("P" + n).c_str(), ("M" + n).c_str(), ("W" + n).c_str()));
    }
    EXPECT_EQ(gridRow(doc, QStringLiteral("Rpt"), 10), row("S17", "P17", "M17", "W17"));
    for (int printed = 11; printed <= 17; ++printed) {
        const std::string n = std::to_string(printed - 1);
        EXPECT_EQ(gridRow(doc, QStringLiteral("Rpt"), printed),
                  row(("S" + n).c_str(), ("P" + n).c_str(), ("M" + n).c_str(), ("W" + n).c_str()));
    }
    const QStringList texts = test::readingOrder(doc.pages[0]);
    const auto at = [&](const char* t) { return texts.indexOf(QString::fromUtf8(t)); };
    EXPECT_LT(at("Over Draw:"), at("2009 Hunting Shafts"));
    EXPECT_LT(at("2009 Hunting Shafts"), at("Size"));
    EXPECT_LT(at("Size"), at("Spine Value"));
    EXPECT_LT(at("Spine Value"), at("Models"));
    EXPECT_LT(at("Models"), at("Weight"));
    EXPECT_LT(at("Weight"), at("S1"));
    EXPECT_LT(at("S9"), at("S17"));
    EXPECT_LT(at("S17"), at("Carbon Shafts"));
    EXPECT_LT(at("Carbon Shafts"), at("S10"));
    EXPECT_LT(at("S16"), at("Thank you for shopping with us"));
    EXPECT_EQ(doc.pages[0].text(QStringLiteral("RptSz1"))->font, (Font{QStringLiteral("Arial"), 11, true}));
    EXPECT_EQ(doc.title, QStringLiteral("Arrow Shaft Size Selection Report"));
}

TEST_F(PageReports, hunting_seeBelowReplacesTheCarbonSummariesOnWeightButtons4578Only) {
    for (int button = 1; button <= 17; ++button) {
        run.cell(Page_::Hunt, button).weight = "Details";
        run.cell(Page_::Hunt, button).carbon = true;
    }
    run.cell(Page_::Hunt, 4).size = "Details"; // only weights are replaced
    run.cell(Page_::Hunt, 7).carbon = false;   // the cell's flag decides, not its caption
    const Document doc = render(Page_::Hunt);
    for (int printed = 1; printed <= 17; ++printed) {
        const int button = TReportForm::buttonRow(printed);
        const QString expected =
            (button == 4 || button == 5 || button == 8) ? QStringLiteral("See Below") : QStringLiteral("Details");
        EXPECT_EQ(textOf(doc, QStringLiteral("RptWt") + QString::number(printed)), expected) << "button " << button;
    }
    EXPECT_EQ(textOf(doc, QStringLiteral("RptSz4")), QStringLiteral("Details"));
}

TEST_F(PageReports, hunting_compoundPrintsMappedTexts_anyOtherBowPrintsNA) {
    run.setup.bowWeight = "55x"; // copied verbatim, not checked
    run.choose({{&BowSetup::overDraw, 1},
                {&BowSetup::bowType, 0},
                {&BowSetup::wheelType, 1},
                {&BowSetup::releaseType, 1},
                {&BowSetup::braceHt, 1}});
    EXPECT_EQ(setupValues(render(Page_::Hunt)),
              (QStringList{QStringLiteral("55x"), QStringLiteral("30"), QStringLiteral("100"), QStringLiteral("1 inch"),
                           QStringLiteral("Compound"), QStringLiteral("Medium Cam"), QStringLiteral("Fingers"),
                           QStringLiteral("Less Than 6 1/2\"")}));

    run.choose({{&BowSetup::overDraw, 0},
                {&BowSetup::bowType, 0},
                {&BowSetup::wheelType, 2},
                {&BowSetup::releaseType, 0},
                {&BowSetup::braceHt, 0}});
    EXPECT_EQ(setupValues(render(Page_::Hunt)),
              (QStringList{QStringLiteral("55x"), QStringLiteral("30"), QStringLiteral("100"), QStringLiteral("None"),
                           QStringLiteral("Compound"), QStringLiteral("Soft Cam"), QStringLiteral("Mechanical"),
                           QStringLiteral("More Than 6 1/2\"")}));

    for (int bow : {1, 2}) {
        run.setup.bowType = bow;
        EXPECT_EQ(setupValues(render(Page_::Hunt)),
                  (QStringList{QStringLiteral("55x"), QStringLiteral("30"), QStringLiteral("100"),
                               QStringLiteral("N/A"), bow == 1 ? QStringLiteral("Recurve") : QStringLiteral("Longbow"),
                               QStringLiteral("N/A"), QStringLiteral("N/A"), QStringLiteral("N/A")}));
    }
}

TEST_F(PageReports, hunting_indexWithNoTextKeepsTheValueOfTheLastPrint) {
    run.choose({{&BowSetup::overDraw, 3}, {&BowSetup::releaseType, 1}});
    render(Page_::Hunt);
    run.choose({{&BowSetup::overDraw, 6}, {&BowSetup::releaseType, -1}});
    const Document doc = render(Page_::Hunt);
    EXPECT_EQ(textOf(doc, QStringLiteral("OverDrawVal")), QStringLiteral("3 inches"));
    EXPECT_EQ(textOf(doc, QStringLiteral("ReleaseVal")), QStringLiteral("Fingers"));
}

TEST_F(PageReports, emptyGridRows_printEmptyCells_titlesAndHeadsStay) {
    const Document doc = render(Page_::Hunt);
    for (int printed = 1; printed <= 17; ++printed) {
        EXPECT_EQ(gridRow(doc, QStringLiteral("Rpt"), printed), row("", "", "", "")) << printed;
    }
    EXPECT_EQ(textOf(doc, QStringLiteral("RptLabel53")), QStringLiteral("2009 Hunting Shafts"));
    EXPECT_EQ(textOf(doc, QStringLiteral("RptLabel75")), QStringLiteral("Carbon Shafts"));
    EXPECT_EQ(textOf(doc, QStringLiteral("HeadSpine")), QStringLiteral("Spine Value"));
}

TEST_F(PageReports, target_recurvePrintsNAForPointWeightToo_wheelTextsAreTheReportsOwn) {
    run.fillGrid(Page_::Targ, 13);
    run.cell(Page_::Targ, 5).weight = "Details";
    run.cell(Page_::Targ, 5).carbon = true; // only the Hunting report describes carbon shafts
    run.choose(
        {{&BowSetup::targBowType, 0}, {&BowSetup::bowType, 1}, {&BowSetup::wheelType, 1}, {&BowSetup::overDraw, 2}});
    Document doc = render(Page_::Targ);
    EXPECT_EQ(setupValues(doc),
              (QStringList{QStringLiteral("60"), QStringLiteral("30"), QStringLiteral("100"),
                           QStringLiteral("2 inches"), QStringLiteral("Compound"), QStringLiteral("Soft/Energy Cam"),
                           QStringLiteral("Mechanical"), QStringLiteral("More Than 6 1/2\"")}));
    EXPECT_EQ(textOf(doc, QStringLiteral("RptWt5")), QStringLiteral("Details"));
    for (int r = 1; r <= 13; ++r) {
        const std::string n = std::to_string(r);
        if (r != 5) {
            EXPECT_EQ(gridRow(doc, QStringLiteral("Rpt"), r),
                      row(("S" + n).c_str(), ("P" + n).c_str(), ("M" + n).c_str(), ("W" + n).c_str()));
        }
    }
    EXPECT_EQ(textOf(doc, QStringLiteral("SectionTitle")), QStringLiteral("2009 Target Shafts"));
    EXPECT_EQ(doc.pages[0].text(QStringLiteral("RptLabel75")), nullptr);

    run.choose({{&BowSetup::targBowType, 1}, {&BowSetup::wheelType, 2}});
    doc = render(Page_::Targ);
    EXPECT_EQ(setupValues(doc), (QStringList{QStringLiteral("60"), QStringLiteral("30"), QStringLiteral("N/A"),
                                             QStringLiteral("N/A"), QStringLiteral("Recurve"), QStringLiteral("N/A"),
                                             QStringLiteral("N/A"), QStringLiteral("N/A")}));
    run.choose({{&BowSetup::targBowType, 0}, {&BowSetup::wheelType, 2}});
    EXPECT_EQ(textOf(render(Page_::Targ), QStringLiteral("WheelTypeVal")), QStringLiteral("Round"));
}

TEST_F(PageReports, orvik_printsFourValuesAndItsWheelFromTheCamSelector_evenForARecurve) {
    run.fillGrid(Page_::Orvk, 7);
    run.choose(
        {{&BowSetup::bowType, 1}, {&BowSetup::wheelType, 1}, {&BowSetup::huntCamType, 0}, {&BowSetup::targBowType, 0}});
    Document doc = render(Page_::Orvk);
    EXPECT_EQ(textOf(doc, QStringLiteral("BowTypeVal")), QStringLiteral("Recurve"));
    EXPECT_EQ(textOf(doc, QStringLiteral("WheelTypeVal")), QStringLiteral("Soft/Energy Cam"));
    EXPECT_EQ(textOf(doc, QStringLiteral("BowWeightVal")), QStringLiteral("60"));
    EXPECT_EQ(textOf(doc, QStringLiteral("ArrowLengthVal")), QStringLiteral("30"));
    for (const char16_t* absent : {u"PointWeightVal", u"OverDrawVal", u"ReleaseVal", u"BraceHtVal", u"RptSz8"}) {
        EXPECT_EQ(doc.pages[0].text(QString::fromUtf16(absent)), nullptr);
    }
    EXPECT_EQ(gridRow(doc, QStringLiteral("Rpt"), 7), row("S7", "P7", "M7", "W7"));
    EXPECT_EQ(textOf(doc, QStringLiteral("HeadSpine")), QStringLiteral("Spine"));
    EXPECT_EQ(textOf(doc, QStringLiteral("SectionTitle")), QStringLiteral("2009 Orvik Shafts"));
    EXPECT_TRUE(doc.title.isEmpty());

    run.choose({{&BowSetup::bowType, 2}, {&BowSetup::wheelType, 2}});
    doc = render(Page_::Orvk);
    EXPECT_EQ(textOf(doc, QStringLiteral("BowTypeVal")), QStringLiteral("Longbow"));
    EXPECT_EQ(textOf(doc, QStringLiteral("WheelTypeVal")), QStringLiteral("Round"));
}

TEST_F(PageReports, youth_printsTwoValuesAndEightRegularWeightRows) {
    run.fillGrid(Page_::Youth, 6); // rows 7 and 8 left empty
    run.setup.youthBowWeight = "22";
    run.setup.youthArrowLength = "24";
    const Document doc = render(Page_::Youth);
    EXPECT_EQ(textOf(doc, QStringLiteral("BowWeightVal")), QStringLiteral("22"));
    EXPECT_EQ(textOf(doc, QStringLiteral("ArrowLengthVal")), QStringLiteral("24"));
    int setupTexts = 0;
    for (const TextItem& t : doc.pages[0].texts) {
        setupTexts += t.name.endsWith(QStringLiteral("Val")) || t.name.endsWith(QStringLiteral("Cap"));
    }
    EXPECT_EQ(setupTexts, 4);
    EXPECT_EQ(gridRow(doc, QStringLiteral("RptY"), 6), row("S6", "P6", "M6", "W6"));
    EXPECT_EQ(gridRow(doc, QStringLiteral("RptY"), 8), row("", "", "", ""));
    const Page& page = doc.pages[0];
    EXPECT_EQ(page.text(QStringLiteral("RptYSz1"))->font, (Font{QStringLiteral("Arial"), 10, false}));
    for (const char16_t* cell : {u"RptYSp1", u"RptYMd1", u"RptYWt8"}) {
        EXPECT_EQ(page.text(QString::fromUtf16(cell))->font, (Font{QStringLiteral("MS Sans Serif"), 10, false}));
        EXPECT_NEAR(page.text(QString::fromUtf16(cell))->rect.width(), 0.84, 1e-9);
    }
}

// A shop table saved by Visual FoxPro carries fields no report prints (_NullFlags, of a type the
// engine does not read): the shop header prints all the same.
TEST(ShopRecord, fieldsOfTypesNoReportPrints_areLeftAlone) {
    test::TempDir dir;
    test::DbfForge shop(0x30, {{"NAME", 'C', 30}, {"CITY", 'C', 18}, {"_NullFlags", '0', 1}}, 0x03, true);
    shop.record({"Bullseye Archery", "Oakton", std::string(1, '\0')});
    shop.write(dir / "SHOPINFO.DBF");
    const RecordSnapshot record = readShopRecord(dir.path());
    EXPECT_EQ(record.field(QStringLiteral("NAME")), QStringLiteral("Bullseye Archery"));
    EXPECT_EQ(record.field(QStringLiteral("CITY")), QStringLiteral("Oakton"));
}

} // namespace
} // namespace arrowsel::reports
