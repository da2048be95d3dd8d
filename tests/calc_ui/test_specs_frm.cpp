// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/calc_windows.h"
#include "calc/finished_arrow.h"
#include "calc/specs_frm.h"
#include "calc/specs_request.h"
#include "data/dbf_table.h"
#include "tests/support/pseudo_locale.h"
#include "tests/support/qt_print.h"
#include "tests/support/recording_seam.h"
#include "tests/support/temp_dir.h"
#include "ui/message_seam.h"
#include "widgets/alert_label.h"
#include "widgets/value_label.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace arrowsel::calc {
namespace {

using test::RecordingSeam;

struct SpecRecord {
    const char* key;
    const char* spine;
    const char* gpi;
    const char* arrowType;
    const char* defaults[4]; // point, nock, vanes, insert
};

// Written out of index order, so the index decides where a missed seek lands.
const SpecRecord kRecords[] = {
    {"2213400", "400", "9.55", "Carbon", {"125", "12", "8", "10"}},
    {"Z9999", "250", "7.00", "Last in order", {"90", "9", "6", "8"}},
    {"2117KV", "", "8.10 9.40", "Aluminum", {"100", "10", "6", "0"}},
    {"1816", "", "", "No weight", {"100", "10", "6", "0"}},
};

class SpecsWindow : public testing::Test {
protected:
    SpecsWindow() {
        request.dataFolder = dir.path();
        const auto table = dir / "Specs.DBF";
        using F = data::TDbfTable::FieldSpec;
        using T = data::FieldType;
        data::TDbfTable::create(table,
                                {F{"SPECKEY", T::Character, 12}, F{"SPINE", T::Character, 6}, F{"GPI", T::Character, 9},
                                 F{"ARROWTYPE", T::Character, 14}, F{"LENGTH", T::Character, 4},
                                 F{"OD", T::Character, 6}, F{"WALL", T::Character, 6}, F{"ID", T::Character, 6},
                                 F{"DEFPTWT", T::Numeric, 6, 1}, F{"DEFNOCKWT", T::Numeric, 6, 1},
                                 F{"DEFVANEWT", T::Numeric, 6, 1}, F{"DEFINSWT", T::Numeric, 6, 1}});
        data::TDbfTable t;
        t.open(table);
        for (const SpecRecord& r : kRecords) {
            t.insert();
            t.setFieldText("SPECKEY", r.key);
            t.setFieldText("SPINE", r.spine);
            t.setFieldText("GPI", r.gpi);
            t.setFieldText("ARROWTYPE", r.arrowType);
            t.setFieldText("LENGTH", "32");
            t.setFieldText("OD", ".300");
            t.setFieldText("WALL", ".012");
            t.setFieldText("ID", ".276");
            t.setFieldText("DEFPTWT", r.defaults[0]);
            t.setFieldText("DEFNOCKWT", r.defaults[1]);
            t.setFieldText("DEFVANEWT", r.defaults[2]);
            t.setFieldText("DEFINSWT", r.defaults[3]);
            t.post();
        }
        t.createIndex(dir / "specs.idx", "SPECKEY");
        t.close();
        choose("Hunt", "2213400", "2213", "Magnum, Ultra");
    }

    void choose(const char* page, const char* clickKey, const char* size, const char* models) {
        request.shaft = {clickKey, size, models, page};
    }

    template <typename T> static T* child(QWidget& w, const char* name) {
        T* c = w.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static QString text(QWidget& w, const char* name) { return child<QLabel>(w, name)->text(); }
    static double spin(QWidget& w, const char* name) { return child<QDoubleSpinBox>(w, name)->value(); }

    test::TempDir dir;
    SpecsRequest request; // the main window's default inputs
    RecordingSeam seam;
};

TEST_F(SpecsWindow, huntingClickShowsTheShaftWithMainPointWeightAndDefaults) {
    TSpecsFrm w(request);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("2009 Arrow Weight Calculator/Specifications"));
    EXPECT_EQ(text(w, "ARROWTYPE").trimmed(), QStringLiteral("Carbon"));
    EXPECT_EQ(text(w, "SPINE").trimmed(), QStringLiteral("400"));
    EXPECT_EQ(text(w, "GPI").trimmed(), QStringLiteral("9.55"));
    EXPECT_EQ(text(w, "OD").trimmed(), QStringLiteral(".300"));
    EXPECT_EQ(text(w, "Label4"), QStringLiteral("2213"));
    EXPECT_EQ(text(w, "Mods"), QStringLiteral("Magnum, Ultra"));
    EXPECT_DOUBLE_EQ(spin(w, "FSpinEdit1"), 30.0);
    EXPECT_DOUBLE_EQ(spin(w, "FSpinEdit3"), 100.0);
    EXPECT_DOUBLE_EQ(spin(w, "FSpinEdit2"), 12.0);
    EXPECT_DOUBLE_EQ(spin(w, "FSpinEdit4"), 8.0);
    EXPECT_DOUBLE_EQ(spin(w, "FSpinEdit5"), 10.0);
    // 30 x 9.55 = 286.5: the shaft rounds up, the total of 416.5 is cut.
    EXPECT_EQ(text(w, "Label21"), QStringLiteral("287 Gr."));
    EXPECT_EQ(text(w, "Label9"), QStringLiteral("416 Gr."));
    EXPECT_EQ(text(w, "GrainsPerLbLbl"), QStringLiteral("(6.9 Gr./Lb.)"));
    EXPECT_TRUE(child<QLabel>(w, "LightArrowLbl")->isHidden());
    EXPECT_TRUE(seam.entries.empty());
}

TEST_F(SpecsWindow, keyIsCutFromTheFirstBlank) {
    choose("Targ", "2213400 xyz", "2213", "Target");
    TSpecsFrm w(request);
    EXPECT_EQ(w.key(), "2213400");
    EXPECT_EQ(text(w, "ARROWTYPE").trimmed(), QStringLiteral("Carbon"));
}

TEST_F(SpecsWindow, otherPagesStartFromTheShaftsDefaultPointWeight) {
    choose("Targ", "2213400", "2213", "Target");
    TSpecsFrm targ(request);
    EXPECT_DOUBLE_EQ(spin(targ, "FSpinEdit3"), 125.0);
    EXPECT_EQ(text(targ, "Label9"), QStringLiteral("441 Gr."));

    choose("Orvk", "2213400", "2213", "Orvik");
    TSpecsFrm orvk(request);
    EXPECT_DOUBLE_EQ(spin(orvk, "FSpinEdit3"), 125.0);
    EXPECT_DOUBLE_EQ(spin(orvk, "FSpinEdit1"), 30.0);
}

TEST_F(SpecsWindow, youthPageTakesTheYouthArrowLengthAndDrawWeight) {
    choose("Youth", "2213400", "2213", "Youth");
    TSpecsFrm w(request);
    EXPECT_DOUBLE_EQ(spin(w, "FSpinEdit1"), 25.0);
    EXPECT_DOUBLE_EQ(spin(w, "FSpinEdit3"), 125.0);
    // 25 x 9.55 = 238.75.
    EXPECT_EQ(text(w, "Label21"), QStringLiteral("239 Gr."));
    EXPECT_EQ(text(w, "Label9"), QStringLiteral("393 Gr."));
    EXPECT_EQ(text(w, "GrainsPerLbLbl"), QStringLiteral("(13.1 Gr./Lb.)"));
}

TEST_F(SpecsWindow, changingAnyWeightRecomputesBothWithoutANewSeek) {
    TSpecsFrm w(request);
    // The window keeps the shaft it was opened with: a new seek would find another one.
    choose("Hunt", "Z9999", "2213", "Magnum, Ultra, Pro");
    child<QDoubleSpinBox>(w, "FSpinEdit1")->setValue(31.0);
    EXPECT_EQ(text(w, "Label21"), QStringLiteral("296 Gr."));
    EXPECT_EQ(text(w, "Label9"), QStringLiteral("426 Gr."));
    EXPECT_EQ(text(w, "Mods"), QStringLiteral("Magnum, Ultra"));

    child<QDoubleSpinBox>(w, "FSpinEdit5")->setValue(20.0);
    EXPECT_EQ(text(w, "Label9"), QStringLiteral("436 Gr."));
    child<QDoubleSpinBox>(w, "FSpinEdit4")->setValue(0.0);
    child<QDoubleSpinBox>(w, "FSpinEdit2")->setValue(0.0);
    child<QDoubleSpinBox>(w, "FSpinEdit3")->setValue(0.0);
    EXPECT_EQ(text(w, "Label9"), QStringLiteral("316 Gr."));
    EXPECT_EQ(text(w, "Label21"), QStringLiteral("296 Gr."));
}

TEST_F(SpecsWindow, arrowLengthStopsAt38) {
    request.setup.arrowLength = "40";
    TSpecsFrm w(request);
    EXPECT_DOUBLE_EQ(spin(w, "FSpinEdit1"), 38.0);
    EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>(w, "FSpinEdit1")->singleStep(), 0.25);
}

TEST_F(SpecsWindow, commaSixtyThreeModelsWeighWithTheSecondFigure) {
    choose("Hunt", "2117KV", "2117", "KV,63 Series");
    TSpecsFrm w(request);
    // 30 x 9.40 = 282.
    EXPECT_EQ(text(w, "Label21"), QStringLiteral("282 Gr."));
    EXPECT_EQ(text(w, "Label9"), QStringLiteral("398 Gr."));
    EXPECT_TRUE(seam.entries.empty());
}

TEST_F(SpecsWindow, twoFiguresForOtherModelsGiveTheConversionErrorAndNoWeights) {
    choose("Hunt", "2117KV", "2117", "Magnum");
    TSpecsFrm w(request);
    EXPECT_EQ(seam.texts(RecordingSeam::Kind::Error),
              QStringList{QStringLiteral("'8.10 9.40' is not a valid floating point value")});
    EXPECT_TRUE(text(w, "Label21").isEmpty());
    EXPECT_TRUE(text(w, "Label9").isEmpty());
    // Each change weighs again, and is refused again.
    child<QDoubleSpinBox>(w, "FSpinEdit1")->setValue(29.0);
    EXPECT_EQ(seam.texts(RecordingSeam::Kind::Error).size(), 2);
    EXPECT_TRUE(text(w, "Label9").isEmpty());
    EXPECT_FALSE(child<QPushButton>(w, "PrintBuildSheetBtn")->isEnabled());
}

TEST_F(SpecsWindow, blankGrainsPerInchIsReportedOnceWhenTheWindowOpens) {
    choose("Hunt", "1816", "1816", "Magnum");
    TSpecsFrm w(request);
    EXPECT_EQ(seam.texts(RecordingSeam::Kind::Error),
              QStringList{QStringLiteral("'' is not a valid floating point value")});
    EXPECT_TRUE(text(w, "Label9").isEmpty());
    // An arrow that cannot be weighed has no sheet to print.
    EXPECT_FALSE(child<QPushButton>(w, "PrintBuildSheetBtn")->isEnabled());
}

TEST_F(SpecsWindow, keyTheIndexLacksShowsTheLastShaftInIndexOrder) {
    choose("Hunt", "3000", "3000", "Magnum");
    TSpecsFrm w(request);
    EXPECT_EQ(text(w, "ARROWTYPE").trimmed(), QStringLiteral("Last in order"));
    EXPECT_EQ(text(w, "Label21"), QStringLiteral("210 Gr."));
}

TEST_F(SpecsWindow, arrowUnderFiveGrainsPerPoundIsWarnedInTheWindow) {
    request.setup.bowWeight = "90";
    TSpecsFrm w(request);
    EXPECT_EQ(text(w, "GrainsPerLbLbl"), QStringLiteral("(4.6 Gr./Lb.)"));
    EXPECT_FALSE(child<QLabel>(w, "LightArrowLbl")->isHidden());
    EXPECT_TRUE(seam.entries.empty());

    child<QDoubleSpinBox>(w, "FSpinEdit3")->setValue(200.0);
    EXPECT_EQ(text(w, "GrainsPerLbLbl"), QStringLiteral("(5.7 Gr./Lb.)"));
    EXPECT_TRUE(child<QLabel>(w, "LightArrowLbl")->isHidden());
}

// Screen readers are told of the warning when it comes into view, also when the window opens
// with it. (The alert itself reaches only an active screen reader, which the tests lack.)
TEST_F(SpecsWindow, lightArrowWarning_isAnnouncedAsItAppears) {
    request.setup.bowWeight = "90";
    TSpecsFrm w(request);
    auto* warning = w.findChild<widgets::TAlertLabel*>(QStringLiteral("LightArrowLbl"));
    ASSERT_NE(warning, nullptr);
    int alerts = 0;
    QObject::connect(warning, &widgets::TAlertLabel::alerted, [&alerts] { ++alerts; });
    w.show();
    EXPECT_EQ(alerts, 1);
    child<QDoubleSpinBox>(w, "FSpinEdit3")->setValue(200.0);
    child<QDoubleSpinBox>(w, "FSpinEdit3")->setValue(150.0);
    EXPECT_EQ(alerts, 1); // still hidden: 5.1 grains a pound
    child<QDoubleSpinBox>(w, "FSpinEdit3")->setValue(100.0);
    EXPECT_EQ(alerts, 2);
}

// Return in a weight box only ends the typing; the window names no default button.
TEST_F(SpecsWindow, returnInAWeightBox_opensNothing) {
    TSpecsFrm w(request);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    for (const char* box : {"FSpinEdit1", "FSpinEdit3", "FSpinEdit4"}) {
        child<QDoubleSpinBox>(w, box)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    EXPECT_TRUE(seam.dialogs.isEmpty()) << seam.dialogs.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(w.isVisible());
    for (QPushButton* b : w.findChildren<QPushButton*>()) {
        EXPECT_FALSE(b->isDefault()) << b->objectName().toStdString();
    }
}

TEST_F(SpecsWindow, drawWeightThatIsNoNumberShowsNoRatio) {
    request.setup.bowWeight = "";
    TSpecsFrm w(request);
    EXPECT_TRUE(text(w, "GrainsPerLbLbl").isEmpty());
    EXPECT_TRUE(child<QLabel>(w, "LightArrowLbl")->isHidden());
}

TEST_F(SpecsWindow, buttonsOpenTheCalculatorAndTheModelsGuide) {
    TSpecsFrm w(request);
    EXPECT_EQ(child<QPushButton>(w, "CalcSpeedButton")->text(), QStringLiteral("Kinetic Energy &&\nF.O.C. Calculator"));
    QTest::mouseClick(child<QPushButton>(w, "CalcSpeedButton"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(w, "ModelsSpeedButton"), Qt::LeftButton);
    EXPECT_EQ(seam.dialogs, (QStringList{QStringLiteral("TKECalc2"), QStringLiteral("TAboutBox1")}));
}

TEST_F(SpecsWindow, lengthOrPointWeightTheMainWindowCannotRead_isRefusedWithItsMessage) {
    using Input = std::string engine::BowSetup::*;
    const struct {
        const char* page;
        Input input;
        const char* text;
    } cases[] = {{"Hunt", &engine::BowSetup::arrowLength, "abc"},
                 {"Hunt", &engine::BowSetup::pointWeight, "1o0"},
                 {"Orvk", &engine::BowSetup::arrowLength, ""},
                 {"Youth", &engine::BowSetup::youthArrowLength, "2x"}};
    for (const auto& c : cases) {
        seam.clear();
        request.shaft.pageTag = c.page;
        const std::string before = request.setup.*c.input;
        request.setup.*c.input = c.text;
        openSpecsWindow(nullptr, request);
        EXPECT_TRUE(seam.dialogs.isEmpty()) << c.text;
        EXPECT_EQ(seam.texts(RecordingSeam::Kind::Error),
                  QStringList{QStringLiteral("'%1' is not a valid integer value").arg(QString::fromLatin1(c.text))});
        request.setup.*c.input = before;
    }
    // Off the Hunting page the point weight is the shaft's own, so the main window's is not read.
    seam.clear();
    request.shaft.pageTag = "Targ";
    request.setup.pointWeight = "1o0";
    openSpecsWindow(nullptr, request);
    EXPECT_EQ(seam.dialogs, QStringList{QStringLiteral("TSpecsFrm")});
    EXPECT_TRUE(seam.entries.empty());
}

TEST_F(SpecsWindow, emptyChoice_showsNoShaftAndNoWeights) {
    choose("Orvk", "", "", "");
    TSpecsFrm w(request);
    for (const char* field : {"ARROWTYPE", "SPINE", "GPI", "OD", "Label21", "Label9", "GrainsPerLbLbl"}) {
        EXPECT_TRUE(text(w, field).isEmpty()) << field;
    }
    EXPECT_TRUE(child<QLabel>(w, "LightArrowLbl")->isHidden());
    EXPECT_FALSE(child<QLabel>(w, "NoShaftLbl")->isHidden());
    EXPECT_FALSE(child<QPushButton>(w, "PrintBuildSheetBtn")->isEnabled());
    EXPECT_DOUBLE_EQ(spin(w, "FSpinEdit3"), 0.0);
    child<QDoubleSpinBox>(w, "FSpinEdit1")->setValue(20.0);
    EXPECT_TRUE(text(w, "Label9").isEmpty());
    EXPECT_TRUE(seam.entries.empty());

    choose("Hunt", "2213400", "2213", "Magnum");
    TSpecsFrm chosen(request);
    EXPECT_TRUE(child<QLabel>(chosen, "NoShaftLbl")->isHidden());
}

// The light-arrow warning comes and goes with the weights; the window and its buttons stay put.
TEST_F(SpecsWindow, lightArrowWarningLine_isReservedSoNothingMoves) {
    TSpecsFrm w(request);
    w.show();
    QApplication::processEvents();
    auto* close = child<QPushButton>(w, "ExitBtn");
    const QSize size = w.size();
    const QPoint closeAt = close->mapTo(&w, QPoint(0, 0));
    for (const char* spinName : {"FSpinEdit3", "FSpinEdit2", "FSpinEdit4", "FSpinEdit5"}) {
        child<QDoubleSpinBox>(w, spinName)->setValue(0.0); // 286.5 grains on a 60 lb bow
    }
    QApplication::processEvents();
    ASSERT_FALSE(child<QLabel>(w, "LightArrowLbl")->isHidden());
    EXPECT_EQ(w.size(), size);
    EXPECT_EQ(close->mapTo(&w, QPoint(0, 0)), closeAt);
    child<QDoubleSpinBox>(w, "FSpinEdit3")->setValue(100.0);
    QApplication::processEvents();
    ASSERT_TRUE(child<QLabel>(w, "LightArrowLbl")->isHidden());
    EXPECT_EQ(w.size(), size);
    EXPECT_EQ(close->mapTo(&w, QPoint(0, 0)), closeAt);
    // The speed block's results and its note of one or two lines keep their places too.
    child<QSpinBox>(w, "SpeedRatingSpin")->setValue(320);
    QApplication::processEvents();
    child<QSpinBox>(w, "MeasuredSpeedSpin")->setValue(250);
    QApplication::processEvents();
    EXPECT_FALSE(text(w, "SpeedLbl").isEmpty());
    EXPECT_EQ(w.size(), size);
    EXPECT_EQ(close->mapTo(&w, QPoint(0, 0)), closeAt);
    // The block stands beside the weights and the buttons, not over or under them.
    EXPECT_LT(close->geometry().right(), child<QWidget>(w, "SpeedPanel")->geometry().left());
    EXPECT_LE(child<QWidget>(w, "SpeedPanel")->geometry().bottom(), close->geometry().bottom());
}

TEST_F(SpecsWindow, screenReadersReadEveryFigureAsItIsNow) {
    TSpecsFrm w(request);
    auto name = [&](const char* label) {
        return QAccessible::queryAccessibleInterface(child<QLabel>(w, label))->text(QAccessible::Name);
    };
    EXPECT_EQ(name("GPI").trimmed(), QStringLiteral("9.55"));
    EXPECT_EQ(name("Label4"), QStringLiteral("2213"));
    EXPECT_EQ(name("Mods"), QStringLiteral("Magnum, Ultra"));
    EXPECT_EQ(name("Label21"), QStringLiteral("287 Gr."));
    EXPECT_EQ(name("Label9"), QStringLiteral("416 Gr."));
    EXPECT_EQ(name("GrainsPerLbLbl"), QStringLiteral("(6.9 Gr./Lb.)"));
    child<QDoubleSpinBox>(w, "FSpinEdit1")->setValue(31.0);
    EXPECT_EQ(name("Label21"), QStringLiteral("296 Gr."));

    QAccessibleInterface* total = QAccessible::queryAccessibleInterface(child<QLabel>(w, "Label9"));
    EXPECT_EQ(total->text(QAccessible::Description), QStringLiteral("Approx. Total Arrow Weight"));
    const auto labels = total->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), QStringLiteral("Approx. Total Arrow Weight:"));
    const auto gpiLabels =
        QAccessible::queryAccessibleInterface(child<QLabel>(w, "GPI"))->relations(QAccessible::Label);
    ASSERT_EQ(gpiLabels.size(), 1);
    EXPECT_EQ(gpiLabels[0].first->text(QAccessible::Name), QStringLiteral("Grains per Inch:"));
}

// The guide's first example: a 320 ft/s IBO bow drawn 29 inches at 65 lb, a 400 grain arrow
// (30 x 9.55 = 286.5 + 84 + 12 + 8 + 10, cut), nothing on the string.
class SpeedBlock : public SpecsWindow {
protected:
    SpeedBlock() { request.setup.bowWeight = "65"; }
    void rateAt320DrawnAt29(TSpecsFrm& w) {
        child<QDoubleSpinBox>(w, "FSpinEdit3")->setValue(84.0);
        child<QSpinBox>(w, "SpeedRatingSpin")->setValue(320);
        child<QDoubleSpinBox>(w, "DrawLengthSpin")->setValue(29.0);
    }
};

// A language installed after a first window is the next window's: its block and its figures'
// words come in it, the figures themselves as they are.
TEST_F(SpeedBlock, aLanguageInstalledLater_isTheNextWindowsLanguage) {
    {
        TSpecsFrm english(request);
        EXPECT_EQ(child<QGroupBox>(english, "SpeedPanel")->title(), QStringLiteral("Speed and Energy"));
    }
    const test::PseudoLocale pseudo;
    TSpecsFrm w(request);
    EXPECT_EQ(child<QGroupBox>(w, "SpeedPanel")->title(), QStringLiteral("\u00abSpeed and Energy\u00bb"));
    EXPECT_EQ(text(w, "SpeedNoteLbl"),
              QStringLiteral("\u00ab%1\u00bb").arg(QString::fromLatin1(noSpeedText(NoSpeed::NoRating))));
    rateAt320DrawnAt29(w);
    EXPECT_EQ(text(w, "Label9"), QStringLiteral("\u00ab400 Gr.\u00bb"));
    EXPECT_EQ(text(w, "SpeedLbl"), QStringLiteral("\u00ab283 ft/s (estimate)\u00bb"));
    EXPECT_EQ(text(w, "GameClassLbl"), QStringLiteral("\u00abLargest Game\u00bb"));
}

TEST_F(SpeedBlock, estimateEnergyAndMomentum_recomputeOnEveryChange) {
    TSpecsFrm w(request);
    EXPECT_TRUE(text(w, "SpeedLbl").isEmpty());
    EXPECT_EQ(text(w, "SpeedNoteLbl"), QString::fromLatin1(noSpeedText(NoSpeed::NoRating)));
    rateAt320DrawnAt29(w);
    EXPECT_EQ(text(w, "Label9"), QStringLiteral("400 Gr."));
    EXPECT_EQ(text(w, "SpeedLbl"), QStringLiteral("283 ft/s (estimate)"));
    EXPECT_EQ(text(w, "EnergyLbl"), QStringLiteral("71.15 Ft. Lbs."));
    EXPECT_EQ(text(w, "MomentumLbl"), QStringLiteral("0.503 Slug Ft/Sec"));
    EXPECT_EQ(text(w, "GameClassLbl"), QStringLiteral("Largest Game"));
    EXPECT_TRUE(text(w, "SpeedNoteLbl").contains(QStringLiteral("estimate from the IBO rating")));
    EXPECT_TRUE(text(w, "FocLbl").isEmpty());

    // 12 grains on the string cost 4 ft/s; the ATA rating is taken at the same conditions.
    child<QSpinBox>(w, "StringWeightSpin")->setValue(12);
    child<QComboBox>(w, "SpeedRatingKind")->setCurrentIndex(1);
    EXPECT_EQ(text(w, "SpeedLbl"), QStringLiteral("279 ft/s (estimate)"));
    EXPECT_TRUE(text(w, "SpeedNoteLbl").contains(QStringLiteral("ATA")));

    // A chronograph reading replaces the estimate.
    child<QSpinBox>(w, "MeasuredSpeedSpin")->setValue(276);
    EXPECT_EQ(text(w, "SpeedLbl"), QStringLiteral("276 ft/s (measured)"));
    EXPECT_EQ(text(w, "EnergyLbl"), QStringLiteral("67.68 Ft. Lbs."));
    EXPECT_EQ(text(w, "MomentumLbl"), QStringLiteral("0.490 Slug Ft/Sec"));

    child<QDoubleSpinBox>(w, "BalancePointSpin")->setValue(18.3);
    EXPECT_EQ(text(w, "FocLbl"), QStringLiteral("10.9%"));
    for (const char* name : {"SpeedLbl", "EnergyLbl", "MomentumLbl", "GameClassLbl", "FocLbl"}) {
        QAccessibleInterface* value = QAccessible::queryAccessibleInterface(child<QLabel>(w, name));
        EXPECT_EQ(value->text(QAccessible::Name), text(w, name)) << name;
        QStringList captions;
        for (const auto& [label, relation] : value->relations(QAccessible::Label)) {
            captions << label->text(QAccessible::Name);
        }
        EXPECT_TRUE(captions.contains(QString(child<widgets::TValueLabel>(w, name)->heading()) + QLatin1Char(':')))
            << name << captions.join(u'|').toStdString();
    }
    EXPECT_TRUE(seam.entries.empty());
}

TEST_F(SpeedBlock, recurveLongbowAndYouthBows_haveNoEstimate_andSayWhy) {
    for (int bowType : {1, 2}) {
        request.setup.bowType = bowType;
        TSpecsFrm w(request);
        rateAt320DrawnAt29(w);
        EXPECT_TRUE(text(w, "SpeedLbl").isEmpty());
        EXPECT_TRUE(text(w, "EnergyLbl").isEmpty());
        EXPECT_EQ(text(w, "SpeedNoteLbl"), QString::fromLatin1(noSpeedText(NoSpeed::NotCompound)));
        child<QSpinBox>(w, "MeasuredSpeedSpin")->setValue(190);
        EXPECT_EQ(text(w, "SpeedLbl"), QStringLiteral("190 ft/s (measured)"));
    }
    request.setup.bowType = 0;
    choose("Youth", "2213400", "2213", "Youth");
    TSpecsFrm youth(request);
    child<QSpinBox>(youth, "SpeedRatingSpin")->setValue(320);
    EXPECT_EQ(text(youth, "SpeedNoteLbl"), QString::fromLatin1(noSpeedText(NoSpeed::Youth)));
}

TEST_F(SpeedBlock, printBuildSheet_asksForTheCustomer_andPrintsTheFiguresShown) {
    std::vector<BuildSheet> printed;
    setBuildSheetPrinter([&](QWidget*, const BuildSheet& sheet) { printed.push_back(sheet); });
    TSpecsFrm w(request);
    rateAt320DrawnAt29(w);
    auto* print = child<QPushButton>(w, "PrintBuildSheetBtn");
    ASSERT_TRUE(print->isEnabled());

    seam.inputs = {QStringLiteral("  Jane Archer ")};
    QTest::mouseClick(print, Qt::LeftButton);
    ASSERT_EQ(printed.size(), 1u);
    const BuildSheet& s = printed[0];
    EXPECT_EQ(s.customer, "Jane Archer");
    EXPECT_EQ(s.pageTag, "Hunt");
    EXPECT_EQ(s.shaft.key, "2213400");
    EXPECT_EQ(s.shaft.size, "2213");
    EXPECT_EQ(s.shaft.spine, "400");
    EXPECT_EQ(s.shaft.shaftType, "Carbon");
    EXPECT_EQ(s.shaft.outsideDiameter, ".300");
    EXPECT_DOUBLE_EQ(s.parts.point, 84.0);
    EXPECT_DOUBLE_EQ(s.speedInputs.ratedSpeed, 320.0);
    EXPECT_EQ(s.arrow.weights.total, "400");
    EXPECT_EQ(s.arrow.speed.feetPerSecond, 283);

    // A cancelled name prints nothing; an empty one prints without a name.
    QTest::mouseClick(print, Qt::LeftButton);
    seam.inputs = {QString()};
    QTest::mouseClick(print, Qt::LeftButton);
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_TRUE(printed[1].customer.empty());

    // Return in a speed box prints no page.
    const auto asked = seam.texts(RecordingSeam::Kind::Input).size();
    QTest::keyClick(child<QSpinBox>(w, "SpeedRatingSpin"), Qt::Key_Return);
    EXPECT_EQ(seam.texts(RecordingSeam::Kind::Input).size(), asked);
    EXPECT_FALSE(print->autoDefault() || print->isDefault());

    setBuildSheetPrinter(nullptr);
    seam.inputs = {QString()};
    QTest::mouseClick(print, Qt::LeftButton);
    EXPECT_EQ(seam.texts(RecordingSeam::Kind::Error).size(), 1);
}

TEST_F(SpeedBlock, newControls_areCaptionedForScreenReaders_andOnTheTabChain) {
    TSpecsFrm w(request);
    QStringList chain;
    for (QWidget* f = w.nextInFocusChain(); f != &w; f = f->nextInFocusChain()) {
        if ((f->focusPolicy() & Qt::TabFocus) != 0) {
            chain << f->objectName();
        }
    }
    for (const char* name : {"SpeedRatingKind", "SpeedRatingSpin", "DrawLengthSpin", "StringWeightSpin",
                             "MeasuredSpeedSpin", "BalancePointSpin", "PrintBuildSheetBtn"}) {
        EXPECT_FALSE(child<QWidget>(w, name)->accessibleName().isEmpty()) << name;
        EXPECT_TRUE(chain.contains(QString::fromLatin1(name))) << name;
    }
    // Alt and a letter reach each of them, no letter twice in the window.
    QList<QKeySequence> keys;
    for (QLabel* l : w.findChildren<QLabel*>()) {
        if (l->buddy() != nullptr && !QKeySequence::mnemonic(l->text()).isEmpty()) {
            keys << QKeySequence::mnemonic(l->text());
        }
    }
    for (QPushButton* b : w.findChildren<QPushButton*>()) {
        if (!QKeySequence::mnemonic(b->text()).isEmpty()) {
            keys << QKeySequence::mnemonic(b->text());
        }
    }
    EXPECT_TRUE(keys.contains(QKeySequence(Qt::ALT | Qt::Key_B)));
    EXPECT_EQ(QSet<QKeySequence>(keys.begin(), keys.end()).size(), keys.size());
    EXPECT_GE(keys.size(), 7);
    // The speed inputs come after the weights and before the buttons.
    EXPECT_LT(chain.indexOf(QStringLiteral("FSpinEdit4")), chain.indexOf(QStringLiteral("SpeedRatingKind")));
    EXPECT_LT(chain.indexOf(QStringLiteral("BalancePointSpin")), chain.indexOf(QStringLiteral("PrintBuildSheetBtn")));
}

TEST_F(SpecsWindow, closeButtonClosesTheWindow) {
    TSpecsFrm w(request);
    w.setResult(-1);
    QTest::mouseClick(child<QPushButton>(w, "ExitBtn"), Qt::LeftButton);
    EXPECT_EQ(w.result(), QDialog::Rejected);
}

TEST_F(SpecsWindow, sizeClickOpensTheWindowModally) {
    seam.onDialog = [](QDialog& d) {
        EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label21"))->text(), QStringLiteral("287 Gr."));
        return int(QDialog::Accepted);
    };
    openSpecsWindow(nullptr, request);
    EXPECT_EQ(seam.dialogs, QStringList{QStringLiteral("TSpecsFrm")});
}

TEST_F(SpecsWindow, missingTableIsReportedAndNoWindowOpens) {
    request.dataFolder = dir / "elsewhere";
    openSpecsWindow(nullptr, request);
    EXPECT_TRUE(seam.dialogs.isEmpty());
    const QStringList errors = seam.texts(RecordingSeam::Kind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().startsWith(QStringLiteral("Table does not exist."))) << errors.front().toStdString();
}

TEST_F(SpecsWindow, missingIndexIsReportedAndNoWindowOpens) {
    std::filesystem::remove(dir / "specs.idx");
    openSpecsWindow(nullptr, request);
    EXPECT_TRUE(seam.dialogs.isEmpty());
    const QStringList errors = seam.texts(RecordingSeam::Kind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().startsWith(QStringLiteral("Index file does not exist.")))
        << errors.front().toStdString();
}

} // namespace
} // namespace arrowsel::calc
