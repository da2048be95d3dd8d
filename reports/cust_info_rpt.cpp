// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/cust_info_rpt.h"

#include "reports/report_parts.h"

#include <QCoreApplication>

namespace arrowsel::reports {

using namespace parts;

namespace {

// A literal of an expression holding `text`, in quotes the text does not hold.
QString quotedLiteral(const QString& text) {
    const QChar quote = text.contains(u'\'') ? u'"' : u'\'';
    return quote + text + quote;
}

} // namespace

TCustInfoRpt::TCustInfoRpt() {
    report_.name = QStringLiteral("Report1");
    report_.showProgress = true;
    // The customer's page stands without the shop's footer.
    shopTable_ = ShopTable::Optional;
    addTitleBand();
    addDetailBand();
    addFooterBand();
    report_.beforePrint = [this](Report& sender, bool& go) { Report1BeforePrint(sender, go); };
}

void TCustInfoRpt::addTitleBand() {
    const double w = report_.bandWidth();
    Band& title = report_.addBand(BandKind::Title, QStringLiteral("RptBand1"), 0.51);
    Font titleFont = arial(14, true);
    titleFont.underline = true;
    title.add(label(QStringLiteral("RptLabel1"),
                    QCoreApplication::translate("arrowsel::reports::TCustInfoRpt", "Customer Detail Report"),
                    QRectF(0, 0.05, w, 0.3), titleFont, Align::Center));
}

// The customer's address, the setup's caption/value pairs and the comment.
void TCustInfoRpt::addDetailBand() {
    Band& detail = report_.addBand(BandKind::Detail, QStringLiteral("RptBand2"), 8.47);
    const Font big = arial(12);
    constexpr double kRow = 0.24;
    double y = 0.2;
    detail.add(label(QStringLiteral("ForCustomerCap"),
                     QCoreApplication::translate("arrowsel::reports::TCustInfoRpt", "For Customer:"),
                     QRectF(0.2, y, 1.3, 0.22), big, Align::Right));
    for (const char16_t* name : {u"NameVal", u"AddressVal", u"CityLineVal", u"CountryVal", u"CcodeVal"}) {
        detail.add(label(QString::fromUtf16(name), QString(), QRectF(1.6, y, 5.0, 0.22), big));
        y += kRow;
    }

    // Three caption/value pairs a row; a pair without a caption (the chart name) keeps its place.
    struct Pair {
        const char16_t* captionName;
        const char* caption; // English, translated as it is printed
        const char16_t* valueName;
    };
    const Pair rows[4][3] = {
        {{u"BowWeightCap", QT_TRANSLATE_NOOP("arrowsel::reports::TCustInfoRpt", "Bow Weight:"), u"BowWeightVal"},
         {u"BowTypeCap", QT_TRANSLATE_NOOP("arrowsel::reports::TCustInfoRpt", "Bow Type:"), u"BowTypeVal"},
         {nullptr, nullptr, u"ChartNameVal"}},
        {{u"ArrowLengthCap", QT_TRANSLATE_NOOP("arrowsel::reports::TCustInfoRpt", "Arrow Length:"), u"ArrowLengthVal"},
         {u"WheelTypeCap", QT_TRANSLATE_NOOP("arrowsel::reports::TCustInfoRpt", "Wheel Type:"), u"WheelTypeVal"},
         {nullptr, nullptr, nullptr}},
        {{u"DrawLengthCap", QT_TRANSLATE_NOOP("arrowsel::reports::TCustInfoRpt", "Draw Length:"), u"DrawLengthVal"},
         {u"ReleaseCap", QT_TRANSLATE_NOOP("arrowsel::reports::TCustInfoRpt", "Release:"), u"ReleaseVal"},
         {u"BowLengthCap", QT_TRANSLATE_NOOP("arrowsel::reports::TCustInfoRpt", "Bow Length:"), u"BowLengthVal"}},
        {{u"PointWeightCap", QT_TRANSLATE_NOOP("arrowsel::reports::TCustInfoRpt", "Point Weight:"), u"PointWeightVal"},
         {u"StringTypeCap", QT_TRANSLATE_NOOP("arrowsel::reports::TCustInfoRpt", "String Type:"), u"StringTypeVal"},
         {u"OverDrawCap", QT_TRANSLATE_NOOP("arrowsel::reports::TCustInfoRpt", "Over Draw:"), u"OverDrawVal"}},
    };
    const double captionRight[] = {1.5, 3.95, 6.15};
    const double valueWidth[] = {1.15, 1.4, 1.3};
    y += 0.3;
    for (const auto& row : rows) {
        for (int c = 0; c < 3; ++c) {
            const Pair& p = row[c];
            if (p.caption) {
                detail.add(label(QString::fromUtf16(p.captionName),
                                 QCoreApplication::translate("arrowsel::reports::TCustInfoRpt", p.caption),
                                 QRectF(captionRight[c] - 1.4, y, 1.4, 0.22), big, Align::Right));
            }
            if (p.valueName) {
                detail.add(label(QString::fromUtf16(p.valueName), QString(),
                                 QRectF(captionRight[c] + 0.06, y, valueWidth[c], 0.22), big));
            }
        }
        y += kRow + 0.04;
    }

    y += 0.3;
    detail.add(label(QStringLiteral("CommentsCap"),
                     QCoreApplication::translate("arrowsel::reports::TCustInfoRpt", "Comments:"),
                     QRectF(0.1, y, 1.4, 0.22), big, Align::Right));
    Element comment = label(QStringLiteral("CommentVal"), QString(), QRectF(1.56, y, 4.49, 2.01), big);
    comment.wordWrap = true;
    detail.add(comment);
}

// The shop's name, address and telephone, centred, and the date printed.
void TCustInfoRpt::addFooterBand() {
    const double w = report_.bandWidth();
    Band& footer = report_.addBand(BandKind::PageFooter, QStringLiteral("RptBand3"), 1.0);
    const Font small = arial(10);
    constexpr double kFooterLine = 0.18;
    double fy = 0.1;
    footer.add(field(QStringLiteral("QRDBText1"), QStringLiteral("NAME"), &shop_, centred(w, fy, 4.48, 0.17), small,
                     Align::Center));
    fy += kFooterLine;
    footer.add(field(QStringLiteral("QRDBText2"), QStringLiteral("ADDR1"), &shop_, centred(w, fy, 4.48, 0.17), small,
                     Align::Center));
    fy += kFooterLine;
    footer.add(expression(QStringLiteral("QRExpr1"),
                          QStringLiteral("DbfTable2.CITY + ', ' + DbfTable2.STATE + '  ' + DbfTable2.ZIP"), &shop_,
                          centred(w, fy, 4.48, 0.17), small, Align::Center));
    fy += kFooterLine;
    footer.add(
        expression(QStringLiteral("QRExpr2"),
                   QStringLiteral("%1 + DbfTable2.PHONE + '  ' + %2 + DbfTable2.FAX ")
                       .arg(quotedLiteral(QCoreApplication::translate("arrowsel::reports::TCustInfoRpt", "Phone:")),
                            quotedLiteral(QCoreApplication::translate("arrowsel::reports::TCustInfoRpt", "FAX:"))),
                   &shop_, centred(w, fy, 4.48, 0.17), small, Align::Center));
    Element printed =
        label(QStringLiteral("QRSysData1"), QCoreApplication::translate("arrowsel::reports::TCustInfoRpt", "Printed: "),
              QRectF(w - 2.0, 0.8, 2.0, 0.17), small, Align::Right);
    printed.kind = ElementKind::Date;
    footer.add(printed);
}

void TCustInfoRpt::Report1BeforePrint(Report& r, bool& /*printReport*/) {
    const CustomerTexts& c = customer_;
    r.element(QStringLiteral("BowWeightVal")).text = c.bowWeight;
    r.element(QStringLiteral("NameVal")).text = c.name;
    r.element(QStringLiteral("AddressVal")).text = c.address;
    r.element(QStringLiteral("CityLineVal")).text =
        c.city + QStringLiteral(", ") + c.state + QStringLiteral("  ") + c.zip;
    r.element(QStringLiteral("CountryVal")).text = c.country;
    r.element(QStringLiteral("CcodeVal")).text = c.ccode;
    r.element(QStringLiteral("ArrowLengthVal")).text = c.arrowLength;
    r.element(QStringLiteral("PointWeightVal")).text = c.pointWeight;
    r.element(QStringLiteral("BowTypeVal")).text = c.bowType;
    r.element(QStringLiteral("WheelTypeVal")).text = c.wheelType;
    r.element(QStringLiteral("ReleaseVal")).text = c.release;
    r.element(QStringLiteral("BowLengthVal")).text = c.braceHeight;
    r.element(QStringLiteral("OverDrawVal")).text = c.overDraw;
    r.element(QStringLiteral("ChartNameVal")).text = c.chartName;
    r.element(QStringLiteral("CommentVal")).text = c.comment;
}

} // namespace arrowsel::reports
