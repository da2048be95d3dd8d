// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/report.h"
#include "reports/report_parts.h"
#include "reports/shop_record.h"
#include "tests/reports/report_fixture.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace arrowsel::reports {
namespace {

using namespace parts;

class MapSource : public RecordSource {
public:
    std::map<QString, QString> values;
    QString field(const QString& name) const override {
        const auto it = values.find(name);
        return it == values.end() ? QString() : it->second;
    }
};

TEST(ReportExpression, literalsAndFieldsJoinInOrder_tablePrefixIgnored) {
    MapSource src;
    src.values = {{QStringLiteral("CITY"), QStringLiteral("Oakton")},
                  {QStringLiteral("STATE"), QStringLiteral("VA")},
                  {QStringLiteral("ZIP"), QStringLiteral("22124")}};
    const Expression e = Expression::parse(QStringLiteral("CoInfoTbl.CITY +', ' + CoInfoTbl.STATE + '  ' + ZIP "));
    EXPECT_EQ(e.evaluate(&src), QStringLiteral("Oakton, VA  22124"));
    // Without a record every field reads as empty; the literals still print.
    EXPECT_EQ(e.evaluate(nullptr), QStringLiteral(",   "));
    EXPECT_EQ(Expression::parse(QStringLiteral("\"a\"+'b'")).evaluate(nullptr), QStringLiteral("ab"));
}

TEST(ReportExpression, malformedTextIsRefused) {
    for (const char16_t* bad : {u"'open", u"A +", u"A B", u"+ A", u"A + ?"}) {
        EXPECT_THROW(Expression::parse(QString::fromUtf16(bad)), std::invalid_argument)
            << QString::fromUtf16(bad).toStdString();
    }
}

struct Probe {
    Report report;
    QStringList calls;

    Probe() {
        Band& title = report.addBand(BandKind::Title, QStringLiteral("T"), 1.0);
        title.add(label(QStringLiteral("TitleLbl"), QStringLiteral("Title"), QRectF(0, 0, 2, 0.2), arial(10)));
        title.beforePrint = [this](Band&, bool&) { calls << QStringLiteral("title"); };
        Band& detail = report.addBand(BandKind::Detail, QStringLiteral("D"), 2.0);
        detail.add(label(QStringLiteral("Value"), QStringLiteral("start"), QRectF(1, 0.5, 2, 0.2), arial(10)));
        detail.add(line(QStringLiteral("Rule"), 0.5, 1.0, 6.46, 2));
        detail.add(box(QStringLiteral("Box"), QRectF(1, 1.2, 5.48, 0.68)));
        detail.beforePrint = [this](Band&, bool&) { calls << QStringLiteral("detail"); };
        Band& footer = report.addBand(BandKind::PageFooter, QStringLiteral("F"), 1.0);
        Element date = label(QStringLiteral("Printed"), QStringLiteral("Printed: "), QRectF(5, 0.8, 2, 0.2), arial(10));
        date.kind = ElementKind::Date;
        footer.add(date);
        Element stamp = label(QStringLiteral("Stamp"), QString(), QRectF(0, 0, 3, 0.2), arial(10));
        stamp.kind = ElementKind::DateTime;
        footer.add(stamp);
        report.beforePrint = [this](Report& r, bool&) {
            calls << QStringLiteral("report");
            r.element(QStringLiteral("Value")).text = QStringLiteral("set by handler");
        };
    }
};

TEST(ReportLayout, handlersRunBeforeTheirBands_andPositionsAreOnPaper) {
    Probe p;
    const Document doc = layout(p.report, test::fixedTime);
    EXPECT_EQ(p.calls, (QStringList{QStringLiteral("report"), QStringLiteral("title"), QStringLiteral("detail")}));
    ASSERT_EQ(doc.pages.size(), 1u);
    const Page& page = doc.pages[0];
    EXPECT_EQ(page.text(QStringLiteral("Value"))->text, QStringLiteral("set by handler"));
    // Margins 0.5 inch; the detail band starts under the title band.
    EXPECT_EQ(page.text(QStringLiteral("TitleLbl"))->rect, QRectF(0.5, 0.5, 2, 0.2));
    EXPECT_EQ(page.text(QStringLiteral("Value"))->rect, QRectF(1.5, 2.0, 2, 0.2));
    ASSERT_EQ(page.lines.size(), 1u);
    EXPECT_EQ(page.lines[0].from, QPointF(1.0, 2.5));
    EXPECT_EQ(page.lines[0].to, QPointF(7.46, 2.5));
    EXPECT_EQ(page.lines[0].penWidth, 2);
    ASSERT_EQ(page.boxes.size(), 1u);
    EXPECT_EQ(page.boxes[0].rect, QRectF(1.5, 2.7, 5.48, 0.68));
    // The footer stands at the foot of the page, above the bottom margin.
    EXPECT_DOUBLE_EQ(page.text(QStringLiteral("Printed"))->rect.top(), 11.0 - 0.5 - 1.0 + 0.8);
}

TEST(ReportLayout, dateFieldsPrintTheInjectedClock_inTheInjectedLocalesShortFormats_withAsciiDigits) {
    // The process's own locale must not leak into a page laid out for another.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Probe p;
    const Document gb = layout(p.report, test::fixedTime, QLocale(QLocale::English, QLocale::UnitedKingdom));
    const Document us = layout(p.report, test::fixedTime, QLocale(QLocale::English, QLocale::UnitedStates));
    const Document fa = layout(p.report, test::fixedTime, QLocale(QLocale::Persian, QLocale::Iran));
    QLocale::setDefault(saved);
    EXPECT_EQ(test::textOf(gb, QStringLiteral("Printed")), QStringLiteral("Printed: 07/03/2009"));
    EXPECT_EQ(test::textOf(gb, QStringLiteral("Stamp")), QStringLiteral("07/03/2009 14:05"));
    EXPECT_EQ(test::textOf(us, QStringLiteral("Stamp")), QStringLiteral("3/7/09 2:05 PM"));
    EXPECT_EQ(test::textOf(fa, QStringLiteral("Stamp")), QStringLiteral("2009/3/7 14:05"));
}

TEST(ReportLayout, clearedGoAheadFlags_leaveOutThePrintOrTheBand) {
    Probe p;
    p.report.bands[1].beforePrint = [](Band&, bool& go) { go = false; };
    Document doc = layout(p.report, test::fixedTime);
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(doc.pages[0].text(QStringLiteral("Value")), nullptr);
    EXPECT_NE(doc.pages[0].text(QStringLiteral("Printed")), nullptr);

    p.report.beforePrint = [](Report&, bool& go) { go = false; };
    doc = layout(p.report, test::fixedTime);
    EXPECT_TRUE(doc.pages.empty());
}

TEST(ReportLayout, bandThatDoesNotFitAboveTheFooter_startsANewPageWithItsOwnFooter) {
    Probe p;
    p.report.bands[1].height = 8.2; // 0.5 + 1 + 8.2 > 9.5, where the footer starts
    const Document doc = layout(p.report, test::fixedTime);
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_NE(doc.pages[0].text(QStringLiteral("TitleLbl")), nullptr);
    EXPECT_EQ(doc.pages[1].text(QStringLiteral("Value"))->rect.top(), 0.5 + 0.5);
    EXPECT_NE(doc.pages[0].text(QStringLiteral("Printed")), nullptr);
    EXPECT_NE(doc.pages[1].text(QStringLiteral("Printed")), nullptr);
}

TEST(ReportLayout, unknownElementName_isAnError) {
    Probe p;
    EXPECT_THROW(p.report.element(QStringLiteral("Nope")), std::out_of_range);
}

TEST(ShopRecord, readsTheFirstRecordWithoutPadding_andFailsWithTheTableError) {
    test::TempDir dir;
    test::ShopFields shop;
    shop.city = "  Oakton"; // leading blanks are the user's own
    test::writeShopTable(dir.path(), shop);
    const RecordSnapshot rec = readShopRecord(dir.path());
    EXPECT_EQ(rec.field(QStringLiteral("NAME")), QStringLiteral("Bullseye Archery"));
    EXPECT_EQ(rec.field(QStringLiteral("city")), QStringLiteral("  Oakton"));
    EXPECT_EQ(rec.field(QStringLiteral("NOSUCH")), QString());

    test::TempDir empty;
    EXPECT_THROW(readShopRecord(empty.path()), data::ETableError);
}

} // namespace
} // namespace arrowsel::reports
