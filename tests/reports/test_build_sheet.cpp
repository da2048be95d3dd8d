// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/print_commands.h"
#include "tests/reports/report_fixture.h"

#include <gtest/gtest.h>

namespace arrowsel::reports {
namespace {

using test::textOf;

// The guide's first example: a 29 inch cut of a 9.55 grain per inch shaft (276.95, shown 277)
// with 100 + 16 + 8 grains up front and behind makes a 400 grain arrow; the 320 ft/s IBO bow at
// 65 lb and a 29 inch draw throws it at 283 ft/s.
calc::BuildSheet example(double balance = 0, calc::BowKind bow = calc::BowKind::Compound) {
    calc::BuildSheet s;
    s.customer = "Jane Archer";
    s.pageTag = "Hunt";
    s.shaft = {"2213400", "2213", "Magnum, Ultra", "400", "Carbon", "9.55", ".300", ".276"};
    s.parts = {29, 8, 100, 0, 16}; // length, nock, point, vanes, insert
    s.speedInputs = {calc::SpeedRating::Ibo, 320, 29, 0, 0};
    s.balance = balance;
    s.arrow = calc::finishArrow(9.55, s.parts, "65", bow, s.speedInputs, balance);
    return s;
}

class BuildSheetPage : public ::testing::Test {
protected:
    test::TempDir dir;
    engine::BowSetup setup;
    PrintCommands commands{dir.path(), test::fixedTime, test::fixedLocale()};

    void SetUp() override {
        setup.bowWeight = "65";
        setup.arrowLength = "29";
        test::writeShopTable(dir.path(), {});
    }
    QStringList values(const Document& doc, std::initializer_list<const char16_t*> names) {
        QStringList out;
        for (const char16_t* n : names) {
            out << textOf(doc, QString::fromUtf16(n));
        }
        return out;
    }
};

TEST_F(BuildSheetPage, printsEveryFigureOfTheWorkedExample_underTheShopHeader) {
    const Document doc = commands.renderBuildSheet(example(), setup);
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(doc.title, QStringLiteral("Arrow Build Sheet"));
    EXPECT_EQ(test::readingOrder(doc.pages[0]).mid(0, 7),
              (QStringList{QStringLiteral("Arrow Build Sheet"), QStringLiteral("Bullseye Archery"),
                           QStringLiteral("12 Fletcher Lane"), QStringLiteral("Oakton, VA 22124"),
                           QStringLiteral("Phone: 703-555-0199  FAX: 703-555-0198"), QStringLiteral("07/03/2009 14:05"),
                           QStringLiteral("Equipment Setup Variables")}));
    EXPECT_EQ(values(doc, {u"CustomerVal", u"BowWeightVal", u"ChartVal", u"ArrowLengthVal", u"BowTypeVal",
                           u"ReleaseVal", u"CamVal", u"OverDrawVal", u"BraceHtVal"}),
              (QStringList{QStringLiteral("Jane Archer"), QStringLiteral("65"), QStringLiteral("Hunting"),
                           QStringLiteral("29"), QStringLiteral("Compound"), QStringLiteral("Mechanical"),
                           QStringLiteral("Hard Cam"), QStringLiteral("None"), QStringLiteral("More Than 6 1/2\"")}));
    EXPECT_EQ(values(doc, {u"SizeVal", u"SpineVal", u"ModelsVal", u"ShaftTypeVal", u"GpiVal", u"OdVal", u"IdVal"}),
              (QStringList{QStringLiteral("2213"), QStringLiteral("400"), QStringLiteral("Magnum, Ultra"),
                           QStringLiteral("Carbon"), QStringLiteral("9.55"), QStringLiteral(".300"),
                           QStringLiteral(".276")}));
    EXPECT_EQ(values(doc, {u"CutLengthVal", u"ShaftWtVal", u"PointWtVal", u"InsertWtVal", u"NockWtVal",
                           u"FletchingWtVal", u"TotalWtVal", u"GrainsPerLbVal", u"FocCap", u"FocVal"}),
              (QStringList{QStringLiteral("29 in."), QStringLiteral("277 Gr."), QStringLiteral("100 Gr."),
                           QStringLiteral("16 Gr."), QStringLiteral("8 Gr."), QStringLiteral("0 Gr."),
                           QStringLiteral("400 Gr."), QStringLiteral("6.1"), QString(), QString()}));
    EXPECT_EQ(
        values(doc, {u"RatingVal", u"DrawLengthVal", u"StringWtVal", u"MeasuredVal", u"SpeedVal", u"EnergyVal",
                     u"MomentumVal", u"GameClassVal"}),
        (QStringList{QStringLiteral("IBO 320 ft/s"), QStringLiteral("29 in."), QStringLiteral("0 Gr."),
                     QStringLiteral("None"), QStringLiteral("283 ft/s (estimated)"), QStringLiteral("71.15 Ft. Lbs."),
                     QStringLiteral("0.503 Slug Ft/Sec"), QStringLiteral("Largest Game")}));
    EXPECT_TRUE(textOf(doc, QStringLiteral("SpeedNote")).startsWith(QStringLiteral("The speed is an estimate")));
    EXPECT_EQ(textOf(doc, QStringLiteral("RptDBText3")), QStringLiteral("Thank you for shopping with us"));
    // Everything stands on the page, above the comment box at the foot.
    const double boxTop = doc.pages[0].boxes.at(0).rect.top();
    for (const ui::TextItem& t : doc.pages[0].texts) {
        if (t.name != QStringLiteral("RptDBText3")) {
            EXPECT_LT(t.rect.bottom(), boxTop) << t.name.toStdString();
        }
    }
    EXPECT_LT(doc.pages[0].boxes.at(0).rect.bottom(), 10.5);
}

TEST_F(BuildSheetPage, measuredSpeedAndBalancePoint_areMarkedAsSuch) {
    calc::BuildSheet s = example(18.3);
    s.speedInputs.measuredSpeed = 276;
    s.arrow = calc::finishArrow(9.55, s.parts, "65", calc::BowKind::Compound, s.speedInputs, s.balance);
    const Document doc = commands.renderBuildSheet(s, setup);
    EXPECT_EQ(values(doc, {u"MeasuredVal", u"SpeedVal", u"EnergyVal", u"MomentumVal", u"FocCap", u"FocVal"}),
              (QStringList{QStringLiteral("276 ft/s"), QStringLiteral("276 ft/s (measured)"),
                           QStringLiteral("67.68 Ft. Lbs."), QStringLiteral("0.490 Slug Ft/Sec"),
                           QStringLiteral("Front of Center:"),
                           QStringLiteral("13.1% (balance 18.3 in. from the nock groove)")}));
    EXPECT_EQ(textOf(doc, QStringLiteral("SpeedNote")), QStringLiteral("The speed is a chronograph reading."));
}

TEST_F(BuildSheetPage, recurveWithoutReading_printsNoSpeed_andWhy_andNotApplicableSetup) {
    setup.bowType = 1;
    const Document doc = commands.renderBuildSheet(example(0, calc::BowKind::Recurve), setup);
    EXPECT_EQ(values(doc, {u"BowTypeVal", u"ReleaseVal", u"CamVal", u"OverDrawVal", u"BraceHtVal"}),
              (QStringList{QStringLiteral("Recurve"), QStringLiteral("N/A"), QStringLiteral("N/A"),
                           QStringLiteral("N/A"), QStringLiteral("N/A")}));
    EXPECT_EQ(values(doc, {u"SpeedVal", u"EnergyVal", u"MomentumVal", u"GameClassVal"}),
              (QStringList{QStringLiteral("None"), QString(), QString(), QString()}));
    EXPECT_EQ(textOf(doc, QStringLiteral("SpeedNote")),
              QString::fromLatin1(calc::noSpeedText(calc::NoSpeed::NotCompound)));
}

TEST_F(BuildSheetPage, otherPages_printTheirOwnBowAndWeights) {
    setup.youthBowWeight = "25";
    setup.youthArrowLength = "24";
    calc::BuildSheet s = example();
    s.pageTag = "Youth";
    Document doc = commands.renderBuildSheet(s, setup);
    EXPECT_EQ(values(doc, {u"ChartVal", u"BowWeightVal", u"ArrowLengthVal", u"BowTypeVal", u"CamVal"}),
              (QStringList{QStringLiteral("Youth"), QStringLiteral("25"), QStringLiteral("24"), QStringLiteral("Youth"),
                           QStringLiteral("N/A")}));
    s.pageTag = "Targ";
    setup.wheelType = 2;
    doc = commands.renderBuildSheet(s, setup);
    EXPECT_EQ(values(doc, {u"ChartVal", u"BowTypeVal", u"CamVal"}),
              (QStringList{QStringLiteral("Target"), QStringLiteral("Compound"), QStringLiteral("Round")}));
}

TEST_F(BuildSheetPage, printsThroughTheSeam_andWithoutAShopTableToo) {
    test::FakePrintSeam printer;
    EXPECT_EQ(commands.printBuildSheet(example(), setup), PrintResult::Printed);
    ASSERT_EQ(printer.printed.size(), 1u);
    EXPECT_EQ(textOf(printer.printed[0], QStringLiteral("SpeedVal")), QStringLiteral("283 ft/s (estimated)"));
    std::filesystem::remove(dir / "SHOPINFO.DBF");
    const Document doc = commands.renderBuildSheet(example(), setup);
    EXPECT_TRUE(textOf(doc, QStringLiteral("RptDBText1")).isEmpty());
    EXPECT_EQ(textOf(doc, QStringLiteral("TotalWtVal")), QStringLiteral("400 Gr."));
}

} // namespace
} // namespace arrowsel::reports
