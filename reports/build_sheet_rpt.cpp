// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/build_sheet_rpt.h"

#include "engine/conversions.h"
#include "engine/pages.h"
#include "engine/selection.h"
#include "reports/report_parts.h"
#include "reports/setup_parts.h"
#include "ui/qt_text.h"
#include "ui/translations.h"

#include <QCoreApplication>

namespace arrowsel::reports {

using namespace parts;
using ui::toQt;

namespace {

// The texts the sheet prints around its figures, in one place, in the language installed when it
// is made: made for each print, so that each print takes the language of its time.
struct Texts {
    QString title = QCoreApplication::translate("arrowsel::reports::BuildSheet", "Arrow Build Sheet");
    QString shaftSection = QCoreApplication::translate("arrowsel::reports::BuildSheet", "The Shaft");
    QString weightSection = QCoreApplication::translate("arrowsel::reports::BuildSheet", "Cut Length and Weights");
    QString speedSection = QCoreApplication::translate("arrowsel::reports::BuildSheet", "Speed and Energy");
    QString grains = QCoreApplication::translate("arrowsel::reports::BuildSheet", "%1 Gr.");
    QString inches = QCoreApplication::translate("arrowsel::reports::BuildSheet", "%1 in.");
    QString feetPerSecond = QCoreApplication::translate("arrowsel::reports::BuildSheet", "%1 ft/s");
    QString rating = QCoreApplication::translate("arrowsel::reports::BuildSheet", "%1 %2 ft/s");
    QString estimated = QCoreApplication::translate("arrowsel::reports::BuildSheet", "%1 ft/s (estimated)");
    QString measured = QCoreApplication::translate("arrowsel::reports::BuildSheet", "%1 ft/s (measured)");
    QString energy = QCoreApplication::translate("arrowsel::reports::BuildSheet", "%1 Ft. Lbs.");
    QString momentum = QCoreApplication::translate("arrowsel::reports::BuildSheet", "%1 Slug Ft/Sec");
    QString foc =
        QCoreApplication::translate("arrowsel::reports::BuildSheet", "%1 (balance %2 in. from the nock groove)");
    QString none = QCoreApplication::translate("arrowsel::reports::BuildSheet", "None");
    QString notApplicable = QCoreApplication::translate("arrowsel::reports::BuildSheet", "N/A");
    QString youth = QCoreApplication::translate("arrowsel::reports::BuildSheet", "Youth");
    QString focCaption = QCoreApplication::translate("arrowsel::reports::BuildSheet", "Front of Center:");
    QString estimateNote = QCoreApplication::translate(
        "arrowsel::reports::BuildSheet", "The speed is an estimate from the bow's %1 rating by the shop rule of thumb "
                                         "(%2 ft/s per inch of draw under %3 in., %4 per pound under %5 lb, 1 per %6 "
                                         "grains of arrow over %7 and 1 per %8 grains on the string). A chronograph "
                                         "reading is the true figure.");
    QString measuredNote =
        QCoreApplication::translate("arrowsel::reports::BuildSheet", "The speed is a chronograph reading.");
};

constexpr double kDetailBandHeight = 9.57;
constexpr double kWideValueWidth = 4.9;

QString number(double value) {
    return toQt(engine::numberText(value));
}

// A caption and a value as wide as the band allows (a name, the models); `lines` of 10 pt.
// `caption` is English, marked for translation in the sheet's context; empty stays empty.
void addWideRow(Band& band, double y, const char16_t* captionName, const char* caption, const char16_t* valueName,
                int lines = 1) {
    const Font font = arial(10, true);
    band.add(label(QString::fromUtf16(captionName),
                   *caption ? QCoreApplication::translate("arrowsel::reports::BuildSheet", caption) : QString(),
                   QRectF(0.5, y, 1.8, 0.2), font, Align::Right));
    Element value =
        label(QString::fromUtf16(valueName), QString(), QRectF(2.36, y, kWideValueWidth, 0.2 * lines), font);
    value.wordWrap = lines > 1;
    band.add(value);
}

void setText(Report& r, const char16_t* name, const QString& text) {
    r.element(QString::fromUtf16(name)).text = text;
}

// The choice texts are the setup reports' own.
QString byIndex(int index, std::initializer_list<const char*> choices) {
    return index >= 0 && index < int(choices.size()) ? setupReportText(choices.begin()[index]) : QString();
}

} // namespace

TBuildSheetRpt::TBuildSheetRpt() {
    report_.name = QStringLiteral("Report1");
    report_.title = QCoreApplication::translate("arrowsel::reports::BuildSheet", kBuildSheetTitle);
    // The figures are the page; the shop's header is a courtesy the sheet may go without.
    shopTable_ = ShopTable::Optional;
    const double w = report_.bandWidth();
    const Texts t;
    Band& title = report_.addBand(BandKind::Title, QStringLiteral("RptBand1"), 1.0 / 3.0);
    title.add(label(QStringLiteral("SheetTitle"), t.title, QRectF(0, 0, w, 0.25), arial(12, true), Align::Center));
    Band& band = report_.addBand(BandKind::Detail, QStringLiteral("RptBand2"), kDetailBandHeight);
    double y = addShopHeader(band, w, &shop_);
    y = addSetupRows(band, y);
    y = addSectionTitle(band, w, y, QStringLiteral("ShaftTitle"), t.shaftSection);
    y = addShaftRows(band, y);
    y = addSectionTitle(band, w, y, QStringLiteral("WeightTitle"), t.weightSection);
    y = addWeightRows(band, y);
    y = addSectionTitle(band, w, y, QStringLiteral("SpeedTitle"), t.speedSection);
    y = addSpeedRows(band, y);
    addCommentBox(band, w, y + 0.1, &shop_);
    report_.beforePrint = [this](Report& sender, bool& go) { Report1BeforePrint(sender, go); };
}

double TBuildSheetRpt::addSetupRows(Band& band, double y) {
    addWideRow(band, y, u"CustomerCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Customer:"),
               u"CustomerVal");
    return addSetupBlock(
        band, y + 0.22,
        {{{u"BowWeightCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Peak Bow Weight:"), u"BowWeightVal"},
          {u"ChartCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Chart:"), u"ChartVal"}},
         {{u"ArrowLengthCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Arrow Length:"), u"ArrowLengthVal"},
          {u"BowTypeCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Bow Type:"), u"BowTypeVal"}},
         {{u"ReleaseCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Release:"), u"ReleaseVal"},
          {u"CamCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Cam:"), u"CamVal"}},
         {{u"OverDrawCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Over Draw:"), u"OverDrawVal"},
          {u"BraceHtCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Brace Height:"), u"BraceHtVal"}}},
        "arrowsel::reports::BuildSheet");
}

double TBuildSheetRpt::addShaftRows(Band& band, double y) {
    y = addSetupBlock(
        band, y,
        {{{u"SizeCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Size:"), u"SizeVal"},
          {u"SpineCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Spine:"), u"SpineVal"}},
         {{u"ShaftTypeCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Shaft Type:"), u"ShaftTypeVal"},
          {u"GpiCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Grains per Inch:"), u"GpiVal"}},
         {{u"OdCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Outside Diameter:"), u"OdVal"},
          {u"IdCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Inside Diameter:"), u"IdVal"}}},
        "arrowsel::reports::BuildSheet");
    // The models text of a row may name many models: two lines are kept for it.
    addWideRow(band, y - 0.12, u"ModelsCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Models:"),
               u"ModelsVal", 2);
    return y + 0.36;
}

double TBuildSheetRpt::addWeightRows(Band& band, double y) {
    y = addSetupBlock(
        band, y,
        {{{u"CutLengthCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Cut Length:"), u"CutLengthVal"},
          {u"ShaftWtCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Shaft Weight:"), u"ShaftWtVal"}},
         {{u"PointWtCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Point Weight:"), u"PointWtVal"},
          {u"InsertWtCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Insert Weight:"), u"InsertWtVal"}},
         {{u"NockWtCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Nock System Weight:"), u"NockWtVal"},
          {u"FletchingWtCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Fletching Weight:"),
           u"FletchingWtVal"}},
         {{u"TotalWtCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Total Arrow Weight:"), u"TotalWtVal"},
          {u"GrainsPerLbCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Grains per Pound:"),
           u"GrainsPerLbVal"}}},
        "arrowsel::reports::BuildSheet");
    // Front of centre only with a balance point: its caption is set with its value.
    addWideRow(band, y - 0.12, u"FocCap", "", u"FocVal");
    return y + 0.16;
}

double TBuildSheetRpt::addSpeedRows(Band& band, double y) {
    y = addSetupBlock(
        band, y,
        {{{u"RatingCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Speed Rating:"), u"RatingVal"},
          {u"DrawLengthCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Draw Length:"), u"DrawLengthVal"}},
         {{u"StringWtCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Weight on String:"), u"StringWtVal"},
          {u"MeasuredCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Measured Speed:"), u"MeasuredVal"}},
         {{u"SpeedCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Speed:"), u"SpeedVal"},
          {u"EnergyCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Kinetic Energy:"), u"EnergyVal"}},
         {{u"MomentumCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Momentum:"), u"MomentumVal"},
          {u"GameClassCap", QT_TRANSLATE_NOOP("arrowsel::reports::BuildSheet", "Game Class:"), u"GameClassVal"}}},
        "arrowsel::reports::BuildSheet");
    Element note = label(QStringLiteral("SpeedNote"), QString(), QRectF(0.5, y - 0.06, 6.5, 0.45), arial(9));
    note.wordWrap = true;
    band.add(note);
    return y + 0.45;
}

void TBuildSheetRpt::Report1BeforePrint(Report& r, bool& /*printReport*/) {
    const Texts t;
    const calc::BuildSheet& s = sheet_;
    printSetup(r);

    setText(r, u"SizeVal", toQt(s.shaft.size));
    setText(r, u"SpineVal", toQt(s.shaft.spine));
    setText(r, u"ShaftTypeVal", toQt(s.shaft.shaftType));
    setText(r, u"GpiVal", toQt(s.shaft.grainsPerInch));
    setText(r, u"OdVal", toQt(s.shaft.outsideDiameter));
    setText(r, u"IdVal", toQt(s.shaft.insideDiameter));
    setText(r, u"ModelsVal", toQt(s.shaft.models));

    const calc::FinishedArrow& a = s.arrow;
    setText(r, u"CutLengthVal", t.inches.arg(number(s.parts.length)));
    setText(r, u"ShaftWtVal", t.grains.arg(toQt(a.weights.shaft)));
    setText(r, u"PointWtVal", t.grains.arg(number(s.parts.point)));
    setText(r, u"InsertWtVal", t.grains.arg(number(s.parts.insert)));
    setText(r, u"NockWtVal", t.grains.arg(number(s.parts.nock)));
    setText(r, u"FletchingWtVal", t.grains.arg(number(s.parts.vanes)));
    setText(r, u"TotalWtVal", t.grains.arg(toQt(a.weights.total)));
    setText(r, u"GrainsPerLbVal", a.perPound ? toQt(a.perPound->text) : QString());
    setText(r, u"FocCap", a.frontOfCenter ? t.focCaption : QString());
    setText(r, u"FocVal", a.frontOfCenter ? t.foc.arg(toQt(*a.frontOfCenter), number(s.balance)) : QString());
    printSpeed(r);
}

void TBuildSheetRpt::printSetup(Report& r) {
    const Texts t;
    const calc::BuildSheet& s = sheet_;
    setText(r, u"CustomerVal", toQt(s.customer));
    const std::optional<engine::Page> page = engine::pageFromTag(s.pageTag);
    setText(r, u"ChartVal", page ? ui::coreText("Page", engine::pageFacts(*page).title) : QString());
    const bool youth = page == engine::Page::Youth;
    setText(r, u"BowWeightVal", toQt(youth ? setup_.youthBowWeight : setup_.bowWeight));
    setText(r, u"ArrowLengthVal", toQt(youth ? setup_.youthArrowLength : setup_.arrowLength));

    // The Target and Orvik pages choose a compound or a recurve, the Hunting page a longbow too.
    const bool targOrOrvik = page == engine::Page::Targ || page == engine::Page::Orvk;
    const int bowType = targOrOrvik ? setup_.targBowType : setup_.bowType;
    setText(r, u"BowTypeVal", youth ? t.youth : byIndex(bowType, kHuntBowTexts));
    setText(r, u"ReleaseVal", byIndex(setup_.releaseType, kReleaseTexts));
    setText(r, u"CamVal",
            page == engine::Page::Targ
                ? byIndex(setup_.wheelType, kReportWheelTexts)
                : byIndex(setup_.huntCamType, {QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Hard Cam"),
                                               QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Medium Cam")}));
    // The Orvik page has no overdraw.
    setText(r, u"OverDrawVal", page == engine::Page::Orvk ? t.notApplicable : byIndex(setup_.overDraw, kOverDrawTexts));
    setText(r, u"BraceHtVal", byIndex(setup_.braceHt, kBraceTexts));
    if (youth || bowType != 0) {
        for (const char16_t* name : {u"ReleaseVal", u"CamVal", u"OverDrawVal", u"BraceHtVal"}) {
            setText(r, name, t.notApplicable);
        }
    }
}

void TBuildSheetRpt::printSpeed(Report& r) {
    const Texts t;
    const calc::SpeedInputs& in = sheet_.speedInputs;
    const calc::ArrowSpeed& speed = sheet_.arrow.speed;
    const QString ratingName = QString::fromLatin1(calc::speedRatingName(in.rating));
    setText(r, u"RatingVal", in.ratedSpeed > 0 ? t.rating.arg(ratingName, number(in.ratedSpeed)) : t.none);
    setText(r, u"DrawLengthVal", t.inches.arg(number(in.drawLength)));
    setText(r, u"StringWtVal", t.grains.arg(number(in.stringGrains)));
    setText(r, u"MeasuredVal", in.measuredSpeed > 0 ? t.feetPerSecond.arg(number(in.measuredSpeed)) : t.none);
    const bool known = speed.source != calc::SpeedSource::None;
    const bool measured = speed.source == calc::SpeedSource::Measured;
    setText(r, u"SpeedVal", known ? (measured ? t.measured : t.estimated).arg(speed.feetPerSecond) : t.none);
    setText(r, u"EnergyVal", known ? t.energy.arg(toQt(speed.energy.text)) : QString());
    setText(r, u"MomentumVal", known ? t.momentum.arg(toQt(speed.momentum)) : QString());
    setText(r, u"GameClassVal", known ? ui::coreText("GameClass", speed.gameClass) : QString());
    QString note;
    if (!known) {
        note = ui::coreText("NoSpeed", calc::noSpeedText(speed.why));
    } else if (measured) {
        note = t.measuredNote;
    } else {
        const calc::RatingConditions c = calc::ratingConditions(in.rating);
        note = t.estimateNote.arg(ratingName, number(calc::kPerInchOfDraw), number(c.drawLength),
                                  number(calc::kPerPoundOfDrawWeight), number(c.drawWeight),
                                  number(calc::kArrowGrainsPerFoot), number(c.arrowGrains()),
                                  number(calc::kStringGrainsPerFoot));
    }
    setText(r, u"SpeedNote", note);
}

} // namespace arrowsel::reports
