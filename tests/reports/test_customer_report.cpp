// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/print_commands.h"
#include "tests/reports/report_fixture.h"

#include <gtest/gtest.h>

namespace arrowsel::reports {
namespace {

using test::textOf;

CustomerTexts sampleCustomer() {
    CustomerTexts c;
    c.name = QStringLiteral("Ann Archer");
    c.address = QStringLiteral("5 Quiver Court");
    c.city = QStringLiteral("Maple Falls ");
    c.state = QString();
    c.zip = QStringLiteral("98266");
    c.country = QStringLiteral("Farland");
    c.ccode = QStringLiteral("FL");
    c.bowWeight = QStringLiteral("62#");
    c.arrowLength = QStringLiteral("29\"");
    c.pointWeight = QStringLiteral("125Gr");
    c.bowType = QStringLiteral("Compound");
    c.wheelType = QStringLiteral("Medium Cam");
    c.release = QStringLiteral("Mechanical");
    c.braceHeight = QStringLiteral("Over 6.5\"");
    c.overDraw = QStringLiteral("2\"");
    c.chartName = QStringLiteral("Hunting Shafts");
    c.comment = QStringLiteral("Wants lighter points next season, and a second dozen in the spring.");
    return c;
}

class CustomerReport : public ::testing::Test {
protected:
    test::TempDir dir;
    PrintCommands commands{dir.path(), test::fixedTime, test::fixedLocale()};

    void SetUp() override { test::writeShopTable(dir.path(), {}); }
};

TEST_F(CustomerReport, printsTheLookupWindowsTextsVerbatim_inTheirPlaces) {
    const Document doc = commands.renderCustomer(sampleCustomer());
    ASSERT_EQ(doc.pages.size(), 1u);
    // City, comma and blank, state (empty here), two blanks, ZIP; nothing trimmed.
    EXPECT_EQ(textOf(doc, QStringLiteral("CityLineVal")), QStringLiteral("Maple Falls ,   98266"));
    EXPECT_EQ(textOf(doc, QStringLiteral("CcodeVal")), QStringLiteral("FL"));
    EXPECT_EQ(textOf(doc, QStringLiteral("BowLengthVal")), QStringLiteral("Over 6.5\""));
    EXPECT_EQ(textOf(doc, QStringLiteral("ChartNameVal")), QStringLiteral("Hunting Shafts"));
    EXPECT_EQ(textOf(doc, QStringLiteral("DrawLengthVal")), QString());
    EXPECT_EQ(textOf(doc, QStringLiteral("StringTypeVal")), QString());

    const QStringList texts = test::readingOrder(doc.pages[0]);
    const QStringList expected{QStringLiteral("Customer Detail Report"),
                               QStringLiteral("For Customer:"),
                               QStringLiteral("Ann Archer"),
                               QStringLiteral("5 Quiver Court"),
                               QStringLiteral("Maple Falls ,   98266"),
                               QStringLiteral("Farland"),
                               QStringLiteral("FL"),
                               QStringLiteral("Bow Weight:"),
                               QStringLiteral("62#"),
                               QStringLiteral("Bow Type:"),
                               QStringLiteral("Compound"),
                               QStringLiteral("Hunting Shafts"),
                               QStringLiteral("Arrow Length:"),
                               QStringLiteral("29\""),
                               QStringLiteral("Wheel Type:"),
                               QStringLiteral("Medium Cam"),
                               QStringLiteral("Draw Length:"),
                               QStringLiteral("Release:"),
                               QStringLiteral("Mechanical"),
                               QStringLiteral("Bow Length:"),
                               QStringLiteral("Over 6.5\""),
                               QStringLiteral("Point Weight:"),
                               QStringLiteral("125Gr"),
                               QStringLiteral("String Type:"),
                               QStringLiteral("Over Draw:"),
                               QStringLiteral("2\""),
                               QStringLiteral("Comments:"),
                               sampleCustomer().comment,
                               QStringLiteral("Bullseye Archery"),
                               QStringLiteral("12 Fletcher Lane"),
                               QStringLiteral("Oakton, VA  22124"),
                               QStringLiteral("Phone:703-555-0199  FAX:703-555-0198"),
                               QStringLiteral("Printed: 07/03/2009")};
    EXPECT_EQ(texts, expected);
    EXPECT_FALSE(texts.contains(QStringLiteral("Back Door")));

    const Page& page = doc.pages[0];
    Font title{QStringLiteral("Arial"), 14, true, true};
    EXPECT_EQ(page.text(QStringLiteral("RptLabel1"))->font, title);
    EXPECT_EQ(page.text(QStringLiteral("CommentVal"))->font, (Font{QStringLiteral("Arial"), 12}));
    EXPECT_TRUE(page.text(QStringLiteral("CommentVal"))->wordWrap);
    EXPECT_EQ(page.text(QStringLiteral("CommentVal"))->rect.size(), QSizeF(4.49, 2.01));
    EXPECT_EQ(page.text(QStringLiteral("QRExpr1"))->font, (Font{QStringLiteral("Arial"), 10}));
    EXPECT_TRUE(commands.custInfoRpt().report().showProgress);
    EXPECT_FALSE(commands.reportForm().report().showProgress);
}

TEST_F(CustomerReport, nextCustomerReplacesEveryValue_emptyTextsPrintEmpty) {
    commands.renderCustomer(sampleCustomer());
    const Document doc = commands.renderCustomer(CustomerTexts{});
    EXPECT_EQ(textOf(doc, QStringLiteral("NameVal")), QString());
    EXPECT_EQ(textOf(doc, QStringLiteral("CityLineVal")), QStringLiteral(",   "));
    EXPECT_EQ(textOf(doc, QStringLiteral("CommentVal")), QString());
    EXPECT_EQ(textOf(doc, QStringLiteral("ChartNameVal")), QString());
}

} // namespace
} // namespace arrowsel::reports
