// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/pages.h"
#include "reports/print_commands.h"
#include "tests/reports/report_fixture.h"
#include "tests/support/pseudo_locale.h"
#include "ui/translations.h"

#include <QLocale>
#include <QTranslator>
#include <gtest/gtest.h>

namespace arrowsel::reports {
namespace {

// Under the pseudo language every text a report prints must come back marked: the data of these
// prints (shop, customer, setup, chart cells, shaft) holds no letters, so any letter left over is
// a heading, caption, unit or sentence that escaped translation.
class ReportLanguage : public ::testing::Test {
protected:
    test::PseudoLocale pseudo; // before the reports are made: their labels are set up then
    test::TempDir dir;
    PrintCommands commands{dir.path(), test::fixedTime, test::fixedLocale()};

    void SetUp() override {
        test::ShopFields shop;
        shop.name = "1";
        shop.addr1 = "2";
        shop.addr2 = "3";
        shop.city = "4";
        shop.state = "5";
        shop.zip = "22124";
        shop.country = "6";
        shop.comments = "7";
        test::writeShopTable(dir.path(), shop);
    }

    // Each text the prints asked for has its German, under the context they ask with.
    void TearDown() override {
        QTranslator german;
        ASSERT_TRUE(ui::loadTranslation(german, QLocale(QLocale::German, QLocale::Germany)));
        for (const auto& [context, english] : pseudo.asked()) {
            EXPECT_FALSE(german.translate(context.toUtf8().constData(), english.toUtf8().constData()).isEmpty())
                << "no German for \"" << english.toStdString() << "\" in " << context.toStdString();
        }
    }

    static void expectAllTranslated(const Document& doc, const std::string& print) {
        ASSERT_FALSE(doc.pages.empty()) << print;
        EXPECT_EQ(test::untranslatedPart(doc.title), QString()) << print << ": the print job's name";
        for (const ui::Page& page : doc.pages) {
            for (const ui::TextItem& t : page.texts) {
                EXPECT_EQ(test::untranslatedPart(t.text), QString())
                    << print << ": " << t.name.toStdString() << " prints \"" << t.text.toStdString() << '"';
            }
        }
    }
};

// A run whose cells are numbers, with carbon cells (the program's own words) on every page.
test::PrintedRun numberRun(int bowType) {
    test::PrintedRun run;
    run.choose({{&engine::BowSetup::bowType, bowType}, {&engine::BowSetup::targBowType, bowType == 0 ? 0 : 1}});
    run.setup.bowWeight = "65";
    run.setup.arrowLength = "29";
    run.setup.pointWeight = "100";
    run.setup.youthBowWeight = "30";
    run.setup.youthArrowLength = "26";
    for (const engine::Page page : {engine::Page::Hunt, engine::Page::Targ, engine::Page::Youth, engine::Page::Orvk}) {
        for (int row = 1; row <= 17; ++row) {
            engine::Cell& c = run.cell(page, row);
            const std::string n = std::to_string(row);
            c.size = n;
            c.spine = "0." + n;
            c.model = n;
            c.weight = n + "0";
            if (row == 4 || row == 7 || row == 12) {
                c.model = "Carbon";
                c.weight = "Details";
                c.carbon = true;
            }
        }
    }
    return run;
}

TEST_F(ReportLanguage, everyPageReport_compoundAndOtherBows) {
    for (const int bowType : {0, 1}) {
        const test::PrintedRun run = numberRun(bowType);
        for (const engine::Page page :
             {engine::Page::Hunt, engine::Page::Targ, engine::Page::Youth, engine::Page::Orvk}) {
            expectAllTranslated(commands.render(page, run.setup, run.result),
                                std::string(engine::pageFacts(page).title) + " bow type " + std::to_string(bowType));
        }
    }
}

TEST_F(ReportLanguage, customerReport) {
    CustomerTexts c;
    c.name = QStringLiteral("1");
    c.city = QStringLiteral("2");
    c.zip = QStringLiteral("98266");
    c.bowWeight = QStringLiteral("62#");
    c.arrowLength = QStringLiteral("29\"");
    c.comment = QStringLiteral("3");
    expectAllTranslated(commands.renderCustomer(c), "customer report");
}

calc::BuildSheet numberSheet(const char* pageTag, calc::BowKind bow, double measured, double balance) {
    calc::BuildSheet s;
    s.customer = "1";
    s.pageTag = pageTag;
    s.shaft = {"2213400", "2213", "3, 4", "400", "5", "9.55", ".300", ".276"};
    s.parts = {29, 8, 100, 0, 16};
    s.speedInputs = {calc::SpeedRating::Ibo, 320, 29, 5, measured};
    s.balance = balance;
    s.arrow = calc::finishArrow(9.55, s.parts, "65", bow, s.speedInputs, balance);
    return s;
}

TEST_F(ReportLanguage, buildSheet_estimatedMeasuredAndNoSpeed) {
    const test::PrintedRun compound = numberRun(0);
    const test::PrintedRun recurve = numberRun(1);
    expectAllTranslated(commands.renderBuildSheet(numberSheet("Hunt", calc::BowKind::Compound, 0, 17), compound.setup),
                        "build sheet, estimated speed, balance point");
    expectAllTranslated(commands.renderBuildSheet(numberSheet("Targ", calc::BowKind::Recurve, 281, 0), recurve.setup),
                        "build sheet, measured speed");
    expectAllTranslated(commands.renderBuildSheet(numberSheet("Youth", calc::BowKind::Youth, 0, 0), compound.setup),
                        "build sheet, no speed");
    expectAllTranslated(commands.renderBuildSheet(numberSheet("Orvk", calc::BowKind::Compound, 0, 0), compound.setup),
                        "build sheet, Orvik page");
}

} // namespace
} // namespace arrowsel::reports
