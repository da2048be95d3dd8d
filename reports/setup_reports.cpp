// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/setup_reports.h"

#include "reports/report_parts.h"
#include "reports/setup_parts.h"
#include "ui/qt_text.h"
#include "ui/translations.h"

#include <QCoreApplication>
#include <array>
#include <vector>

namespace arrowsel::reports {

using namespace parts;
using ui::toQt;
ReportForm::~ReportForm() = default;

QString setupReportText(const char* english) {
    return QCoreApplication::translate("arrowsel::reports::SetupReports", english);
}

void PageReportForm::setRun(const engine::BowSetup& setup, const engine::SelectionResult& result) {
    setup_ = setup;
    cells_ = result.grids[std::size_t(engine::pageIndex(page_))];
}

const engine::Cell& PageReportForm::cell(int row) const {
    static const engine::Cell blank{};
    return row >= 1 && row <= int(cells_.size()) ? cells_[std::size_t(row - 1)] : blank;
}

namespace {

constexpr double kTitleBandHeight = 1.0 / 3.0;
constexpr double kHeaderColumn = 4.48; // shop header and titles are centred in this width
constexpr double kRuleLength = 6.46;
constexpr double kLineHeight = 0.22;    // one row of the setup block
constexpr double kGridRowHeight = 0.21; // one row of a grid (11 pt)
// Grid columns, left to right: size, spine, models, weight; they span the rule.
constexpr std::array<double, 4> kColumnWidths{1.3, 1.3, 2.56, 1.3};

// A literal of an expression holding `text`, in quotes the text does not hold.
QString quotedLiteral(const QString& text) {
    const QChar quote = text.contains(u'\'') ? u'"' : u'\'';
    return quote + text + quote;
}

double ruleLeft(double bandWidth) {
    return (bandWidth - kRuleLength) / 2;
}

QRectF columnRect(double bandWidth, int column, double y, double height) {
    double x = ruleLeft(bandWidth);
    for (int c = 0; c < column; ++c) {
        x += kColumnWidths[std::size_t(c)];
    }
    return QRectF(x, y, kColumnWidths[std::size_t(column)], height);
}

} // namespace

double addShopHeader(Band& band, double bandWidth, const RecordSource* shop) {
    double y = 0;
    band.add(field(QStringLiteral("RptDBText1"), QStringLiteral("NAME"), shop,
                   centred(bandWidth, y, kHeaderColumn, 0.26), arial(14, true), Align::Center));
    y += 0.27;
    band.add(field(QStringLiteral("RptDBText2"), QStringLiteral("ADDR1"), shop,
                   centred(bandWidth, y, kHeaderColumn, 0.2), arial(11), Align::Center));
    y += 0.2;
    band.add(expression(QStringLiteral("RptExpr1"),
                        QStringLiteral("CoInfoTbl.CITY +', ' + CoInfoTbl.STATE + ' ' + CoInfoTbl.ZIP"), shop,
                        centred(bandWidth, y, kHeaderColumn, 0.2), arial(11), Align::Center));
    y += 0.2;
    band.add(expression(
        QStringLiteral("RptExpr2"),
        QStringLiteral("%1 + CoInfoTbl.PHONE + '  ' + %2 + CoInfoTbl.FAX")
            .arg(quotedLiteral(setupReportText(QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Phone: "))),
                 quotedLiteral(setupReportText(QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "FAX: ")))),
        shop, centred(bandWidth, y, kHeaderColumn, 0.17), arial(9), Align::Center));
    y += 0.18;
    Element date = label(QStringLiteral("RptDate1"), QString(), centred(bandWidth, y, kHeaderColumn, 0.18), arial(10),
                         Align::Center);
    date.kind = ElementKind::DateTime;
    band.add(date);
    y += 0.26;
    band.add(line(QStringLiteral("RptShape1"), ruleLeft(bandWidth), y, kRuleLength, 2));
    y += 0.1;
    band.add(label(QStringLiteral("RptLabel1"),
                   QCoreApplication::translate("arrowsel::reports::SetupReports", "Equipment Setup Variables"),
                   centred(bandWidth, y, kHeaderColumn, 0.22), arial(12), Align::Center));
    return y + 0.3;
}

double addSetupBlock(Band& band, double y, const std::vector<std::vector<SetupPair>>& rows, const char* context) {
    const Font font = arial(10, true);
    for (const auto& row : rows) {
        const double captionRight[] = {2.3, 5.2};
        for (std::size_t i = 0; i < row.size() && i < 2; ++i) {
            const SetupPair& p = row[i];
            band.add(label(QString::fromUtf16(p.captionName), QCoreApplication::translate(context, p.caption),
                           QRectF(captionRight[i] - 1.8, y, 1.8, 0.2), font, Align::Right));
            band.add(label(QString::fromUtf16(p.valueName), QString(),
                           QRectF(captionRight[i] + 0.06, y, i == 0 ? 1.5 : 2.0, 0.2), font, Align::Left));
        }
        y += kLineHeight;
    }
    return y + 0.12;
}

double addSectionTitle(Band& band, double bandWidth, double y, const QString& name, const QString& title) {
    band.add(label(name, title, centred(bandWidth, y, kHeaderColumn, 0.22), arial(12), Align::Center));
    return y + 0.27;
}

namespace {

double addColumnHeads(Band& band, double bandWidth, double y, const QString& spineHead) {
    const QString heads[] = {QCoreApplication::translate("arrowsel::reports::SetupReports", "Size"), spineHead,
                             QCoreApplication::translate("arrowsel::reports::SetupReports", "Models"),
                             QCoreApplication::translate("arrowsel::reports::SetupReports", "Weight")};
    const QString names[] = {QStringLiteral("HeadSize"), QStringLiteral("HeadSpine"), QStringLiteral("HeadModels"),
                             QStringLiteral("HeadWeight")};
    for (int c = 0; c < 4; ++c) {
        band.add(label(names[c], heads[c], columnRect(bandWidth, c, y, 0.18), arial(10), Align::Center));
    }
    y += 0.2;
    band.add(line(QStringLiteral("RptShape2"), ruleLeft(bandWidth), y, kRuleLength, 1));
    return y + 0.06;
}

// Grid cells of printed rows first..last, named prefix + Sz/Sp/Md/Wt + row. `cellWidth` 0: the
// column's width, else a cell of that width centred on its column.
double addGridRows(Band& band, double bandWidth, double y, const QString& prefix, int first, int last, const Font& font,
                   double cellWidth = 0) {
    static const char16_t* const kinds[] = {u"Sz", u"Sp", u"Md", u"Wt"};
    for (int row = first; row <= last; ++row) {
        for (int c = 0; c < 4; ++c) {
            QRectF r = columnRect(bandWidth, c, y, kGridRowHeight);
            if (cellWidth > 0) {
                r = QRectF(r.center().x() - cellWidth / 2, y, cellWidth, kGridRowHeight);
            }
            band.add(
                label(prefix + QString::fromUtf16(kinds[c]) + QString::number(row), QString(), r, font, Align::Center));
        }
        y += kGridRowHeight;
    }
    return y;
}

} // namespace

void addCommentBox(Band& band, double bandWidth, double y, const RecordSource* shop) {
    const QRectF boxRect = centred(bandWidth, y, 5.48, 0.68);
    band.add(box(QStringLiteral("RptShape3"), boxRect));
    Element comment = field(QStringLiteral("RptDBText3"), QStringLiteral("COMMENTS"), shop,
                            boxRect.adjusted(0.05, 0.25, -0.05, -0.25), arial(10), Align::Center);
    comment.clip = boxRect.adjusted(0.02, 0.02, -0.02, -0.02);
    band.add(comment);
}

namespace {

const SetupPair kBowWeight{u"BowWeightCap", QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Peak Bow Weight:"),
                           u"BowWeightVal"};
const SetupPair kArrowLength{u"ArrowLengthCap", QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Arrow Length:"),
                             u"ArrowLengthVal"};
const SetupPair kPointWeight{u"PointWeightCap", QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Point Weight:"),
                             u"PointWeightVal"};
const SetupPair kOverDraw{u"OverDrawCap", QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Over Draw:"),
                          u"OverDrawVal"};
const SetupPair kBowType{u"BowTypeLbl", QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Bow Type:"),
                         u"BowTypeVal"};
const SetupPair kWheelType{u"WhlTypeLbl", QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Wheel Type:"),
                           u"WheelTypeVal"};
const SetupPair kRelease{u"ReleaseTypeLbl", QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Release:"),
                         u"ReleaseVal"};
const SetupPair kBraceHt{u"Axl2AxlLbl", QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Brace Height:"),
                         u"BraceHtVal"};

// The layout common to the four page reports up to the setup block; returns where the block ends.
double startPageReport(Report& report, Band*& detail, double detailHeight, const RecordSource* shop,
                       const std::vector<std::vector<SetupPair>>& setupRows) {
    report.addBand(BandKind::Title, QStringLiteral("RptBand1"), kTitleBandHeight);
    detail = &report.addBand(BandKind::Detail, QStringLiteral("RptBand2"), detailHeight);
    const double y = addShopHeader(*detail, report.bandWidth(), shop);
    return addSetupBlock(*detail, y, setupRows, "arrowsel::reports::SetupReports");
}

void setText(Report& r, const QString& name, const QString& text) {
    r.element(name).text = text;
}

// Texts for an item index; an index with no text leaves the value as it was.
void setByIndex(Report& r, const QString& name, int index, std::initializer_list<const char*> texts) {
    if (index >= 0 && index < int(texts.size())) {
        setText(r, name, setupReportText(texts.begin()[index]));
    }
}

// The setup values the Hunting and Target reports print alike: weights, length, overdraw, release
// and brace height.
void setCompoundSetup(Report& r, const engine::BowSetup& s) {
    setText(r, QStringLiteral("BowWeightVal"), toQt(s.bowWeight));
    setText(r, QStringLiteral("ArrowLengthVal"), toQt(s.arrowLength));
    setText(r, QStringLiteral("PointWeightVal"), toQt(s.pointWeight));
    setByIndex(r, QStringLiteral("OverDrawVal"), s.overDraw, kOverDrawTexts);
    setByIndex(r, QStringLiteral("ReleaseVal"), s.releaseType, kReleaseTexts);
    setByIndex(r, QStringLiteral("BraceHtVal"), s.braceHt, kBraceTexts);
}

// Copies a page's grid, column by column as the handlers do: sizes, models, weights, spines.
// `cellOf` gives the cell a printed row shows.
// A carbon cell's model and weight are the program's words, not the chart's.
template <typename CellOf> void copyGrid(Report& r, const QString& prefix, int rows, CellOf cellOf) {
    struct Column {
        std::string engine::Cell::*text;
        const char16_t* kind;
        bool ownWords;
    };
    const Column order[] = {{&engine::Cell::size, u"Sz", false},
                            {&engine::Cell::model, u"Md", true},
                            {&engine::Cell::weight, u"Wt", true},
                            {&engine::Cell::spine, u"Sp", false}};
    for (const Column& column : order) {
        for (int row = 1; row <= rows; ++row) {
            const engine::Cell& c = cellOf(row);
            const std::string& text = c.*column.text;
            setText(r, prefix + QString::fromUtf16(column.kind) + QString::number(row),
                    column.ownWords && c.carbon ? ui::coreText("Cell", text) : toQt(text));
        }
    }
}

} // namespace

// --- Hunting ---

TReportForm::TReportForm() : PageReportForm(engine::Page::Hunt) {
    report_.name = QStringLiteral("Report1");
    report_.title = setupReportText(kSetupReportTitle);
    Band* band = nullptr;
    const double w = report_.bandWidth();
    double y = startPageReport(
        report_, band, 9.57, &shop_,
        {{kBowWeight, kBowType}, {kArrowLength, kWheelType}, {kPointWeight, kRelease}, {kOverDraw, kBraceHt}});
    y = addSectionTitle(*band, w, y, QStringLiteral("RptLabel53"),
                        QCoreApplication::translate("arrowsel::reports::SetupReports", "2009 Hunting Shafts"));
    y = addColumnHeads(*band, w, y, QCoreApplication::translate("arrowsel::reports::SetupReports", "Spine Value"));
    y = addGridRows(*band, w, y, QStringLiteral("Rpt"), 1, 10, arial(11, true));
    y = addSectionTitle(*band, w, y + 0.1, QStringLiteral("RptLabel75"),
                        QCoreApplication::translate("arrowsel::reports::SetupReports", "Carbon Shafts"));
    y = addGridRows(*band, w, y, QStringLiteral("Rpt"), 11, 17, arial(11, true));
    addCommentBox(*band, w, y + 0.2, &shop_);
    report_.beforePrint = [this](Report& sender, bool& go) { Report1BeforePrint(sender, go); };
}

int TReportForm::buttonRow(int printedRow) {
    // The main window stands button row 17 under row 9 and shows rows 10 to 16 in the carbon panel.
    if (printedRow <= 9) {
        return printedRow;
    }
    if (printedRow == 10) {
        return 17;
    }
    return printedRow - 1;
}

void TReportForm::Report1BeforePrint(Report& r, bool& /*printReport*/) {
    const engine::BowSetup& s = setup();
    setCompoundSetup(r, s);
    const int bowType = s.bowType;
    setByIndex(r, QStringLiteral("BowTypeVal"), bowType, kHuntBowTexts);
    setByIndex(r, QStringLiteral("WheelTypeVal"), s.wheelType,
               {QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Hard Cam"),
                QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Medium Cam"),
                QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Soft Cam")});
    if (bowType != 0) {
        for (const char16_t* name : {u"OverDrawVal", u"WheelTypeVal", u"ReleaseVal", u"BraceHtVal"}) {
            setText(r, QString::fromUtf16(name), setupReportText(kNotApplicable));
        }
    }
    copyGrid(r, QStringLiteral("Rpt"), 17,
             [this](int printed) -> const engine::Cell& { return cell(buttonRow(printed)); });
    // Shafts whose weight depends on the chosen components are described under the grid; only
    // these rows say so.
    for (int printed = 1; printed <= 17; ++printed) {
        const int button = buttonRow(printed);
        const bool describedBelow = button == 4 || button == 5 || button == 7 || button == 8;
        if (describedBelow && cell(button).carbon) {
            setText(r, QStringLiteral("RptWt") + QString::number(printed),
                    QCoreApplication::translate("arrowsel::reports::SetupReports", "See Below"));
        }
    }
}

// --- Target ---

TTargPrintForm::TTargPrintForm() : PageReportForm(engine::Page::Targ) {
    report_.name = QStringLiteral("Report1");
    report_.title = setupReportText(kSetupReportTitle);
    Band* band = nullptr;
    const double w = report_.bandWidth();
    double y = startPageReport(
        report_, band, 9.10, &shop_,
        {{kBowWeight, kBowType}, {kArrowLength, kWheelType}, {kPointWeight, kRelease}, {kOverDraw, kBraceHt}});
    y = addSectionTitle(*band, w, y, QStringLiteral("SectionTitle"),
                        QCoreApplication::translate("arrowsel::reports::SetupReports", "2009 Target Shafts"));
    y = addColumnHeads(*band, w, y, QCoreApplication::translate("arrowsel::reports::SetupReports", "Spine Value"));
    y = addGridRows(*band, w, y, QStringLiteral("Rpt"), 1, 13, arial(11, true));
    addCommentBox(*band, w, y + 0.2, &shop_);
    report_.beforePrint = [this](Report& sender, bool& go) { Report1BeforePrint(sender, go); };
}

void TTargPrintForm::Report1BeforePrint(Report& r, bool& /*printReport*/) {
    const engine::BowSetup& s = setup();
    setCompoundSetup(r, s);
    const int bowType = s.targBowType;
    setByIndex(r, QStringLiteral("BowTypeVal"), bowType,
               {QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Compound"),
                QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Recurve")});
    setByIndex(r, QStringLiteral("WheelTypeVal"), s.wheelType, kReportWheelTexts);
    if (bowType == 1) {
        for (const char16_t* name :
             {u"PointWeightVal", u"OverDrawVal", u"WheelTypeVal", u"ReleaseVal", u"BraceHtVal"}) {
            setText(r, QString::fromUtf16(name), setupReportText(kNotApplicable));
        }
    }
    copyGrid(r, QStringLiteral("Rpt"), 13, [this](int row) -> const engine::Cell& { return cell(row); });
}

// --- Orvik ---

TOrvkRpt::TOrvkRpt() : PageReportForm(engine::Page::Orvk) {
    report_.name = QStringLiteral("Report1");
    // The grid is the page; the shop's header is a courtesy this report may go without.
    shopTable_ = ShopTable::Optional;
    Band* band = nullptr;
    const double w = report_.bandWidth();
    double y = startPageReport(report_, band, 9.10, &shop_, {{kBowWeight, kBowType}, {kArrowLength, kWheelType}});
    y = addSectionTitle(*band, w, y, QStringLiteral("SectionTitle"),
                        QCoreApplication::translate("arrowsel::reports::SetupReports", "2009 Orvik Shafts"));
    y = addColumnHeads(*band, w, y, QCoreApplication::translate("arrowsel::reports::SetupReports", "Spine"));
    y = addGridRows(*band, w, y, QStringLiteral("Rpt"), 1, 7, arial(11, true));
    addCommentBox(*band, w, y + 0.2, &shop_);
    report_.beforePrint = [this](Report& sender, bool& go) { Report1BeforePrint(sender, go); };
}

void TOrvkRpt::Report1BeforePrint(Report& r, bool& /*printReport*/) {
    const engine::BowSetup& s = setup();
    setText(r, QStringLiteral("BowWeightVal"), toQt(s.bowWeight));
    setText(r, QStringLiteral("ArrowLengthVal"), toQt(s.arrowLength));
    setByIndex(r, QStringLiteral("BowTypeVal"), s.bowType, kHuntBowTexts);
    setByIndex(r, QStringLiteral("WheelTypeVal"), s.wheelType, kReportWheelTexts);
    copyGrid(r, QStringLiteral("Rpt"), 7, [this](int row) -> const engine::Cell& { return cell(row); });
}

// --- Youth ---

TYouthRpt1::TYouthRpt1() : PageReportForm(engine::Page::Youth) {
    report_.name = QStringLiteral("Report1");
    Band* band = nullptr;
    const double w = report_.bandWidth();
    double y = startPageReport(report_, band, 9.10, &shop_, {{kBowWeight}, {kArrowLength}});
    y = addSectionTitle(*band, w, y, QStringLiteral("SectionTitle"),
                        QCoreApplication::translate("arrowsel::reports::SetupReports", "2009 Youth Shafts"));
    y = addColumnHeads(*band, w, y, QCoreApplication::translate("arrowsel::reports::SetupReports", "Spine Value"));
    Font sans = arial(10);
    sans.family = QStringLiteral("MS Sans Serif");
    y = addGridRows(*band, w, y, QStringLiteral("RptY"), 1, 8, sans, 0.84);
    // The size column alone is Arial.
    for (int row = 1; row <= 8; ++row) {
        report_.element(QStringLiteral("RptYSz") + QString::number(row)).font = arial(10);
    }
    addCommentBox(*band, w, y + 0.2, &shop_);
    band->beforePrint = [this](Band& sender, bool& go) { RptBand2BeforePrint(sender, go); };
}

void TYouthRpt1::RptBand2BeforePrint(Band& /*sender*/, bool& /*printBand*/) {
    Report& r = report_;
    setText(r, QStringLiteral("BowWeightVal"), toQt(setup().youthBowWeight));
    setText(r, QStringLiteral("ArrowLengthVal"), toQt(setup().youthArrowLength));
    copyGrid(r, QStringLiteral("RptY"), 8, [this](int row) -> const engine::Cell& { return cell(row); });
}

} // namespace arrowsel::reports
