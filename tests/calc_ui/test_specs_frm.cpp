// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/calc_windows.h"
#include "calc/specs_frm.h"
#include "data/dbf_table.h"
#include "tests/support/fake_main_window.h"
#include "tests/support/qt_print.h"
#include "tests/support/recording_seam.h"
#include "tests/support/temp_dir.h"
#include "ui/message_seam.h"

#include <QAccessible>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace arrowsel::calc {
namespace {

using Edit = MainWindowState::Edit;
using Label = MainWindowState::Label;
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
        main.folder = dir.path();
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

    void choose(const char* page, const char* tmpLbl, const char* size, const char* models) {
        main.labels[Label::TmpLbl2] = page;
        main.labels[Label::TmpLbl] = tmpLbl;
        main.labels[Label::SpcLbl] = size;
        main.labels[Label::Mods] = models;
    }

    template <typename T> static T* child(QWidget& w, const char* name) {
        T* c = w.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static QString text(QWidget& w, const char* name) { return child<QLabel>(w, name)->text(); }
    static double spin(QWidget& w, const char* name) { return child<QDoubleSpinBox>(w, name)->value(); }

    test::TempDir dir;
    test::FakeMainWindow main;
    RecordingSeam seam;
};

TEST_F(SpecsWindow, huntingClickShowsTheShaftWithMainPointWeightAndDefaults) {
    TSpecsFrm w(main);
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
    TSpecsFrm w(main);
    EXPECT_EQ(w.key(), "2213400");
    EXPECT_EQ(text(w, "ARROWTYPE").trimmed(), QStringLiteral("Carbon"));
}

TEST_F(SpecsWindow, otherPagesStartFromTheShaftsDefaultPointWeight) {
    choose("Targ", "2213400", "2213", "Target");
    TSpecsFrm targ(main);
    EXPECT_DOUBLE_EQ(spin(targ, "FSpinEdit3"), 125.0);
    EXPECT_EQ(text(targ, "Label9"), QStringLiteral("441 Gr."));

    choose("Orvk", "2213400", "2213", "Orvik");
    TSpecsFrm orvk(main);
    EXPECT_DOUBLE_EQ(spin(orvk, "FSpinEdit3"), 125.0);
    EXPECT_DOUBLE_EQ(spin(orvk, "FSpinEdit1"), 30.0);
}

TEST_F(SpecsWindow, youthPageTakesTheYouthArrowLengthAndDrawWeight) {
    choose("Youth", "2213400", "2213", "Youth");
    TSpecsFrm w(main);
    EXPECT_DOUBLE_EQ(spin(w, "FSpinEdit1"), 25.0);
    EXPECT_DOUBLE_EQ(spin(w, "FSpinEdit3"), 125.0);
    // 25 x 9.55 = 238.75.
    EXPECT_EQ(text(w, "Label21"), QStringLiteral("239 Gr."));
    EXPECT_EQ(text(w, "Label9"), QStringLiteral("393 Gr."));
    EXPECT_EQ(text(w, "GrainsPerLbLbl"), QStringLiteral("(13.1 Gr./Lb.)"));
}

TEST_F(SpecsWindow, changingAnyWeightRecomputesBothWithoutANewSeek) {
    TSpecsFrm w(main);
    main.labels[Label::TmpLbl] = "Z9999"; // a new seek would find another shaft
    main.labels[Label::Mods] = "Magnum, Ultra, Pro";
    child<QDoubleSpinBox>(w, "FSpinEdit1")->setValue(31.0);
    EXPECT_EQ(text(w, "Label21"), QStringLiteral("296 Gr."));
    EXPECT_EQ(text(w, "Label9"), QStringLiteral("426 Gr."));
    EXPECT_EQ(text(w, "Mods"), QStringLiteral("Magnum, Ultra, Pro"));

    child<QDoubleSpinBox>(w, "FSpinEdit5")->setValue(20.0);
    EXPECT_EQ(text(w, "Label9"), QStringLiteral("436 Gr."));
    child<QDoubleSpinBox>(w, "FSpinEdit4")->setValue(0.0);
    child<QDoubleSpinBox>(w, "FSpinEdit2")->setValue(0.0);
    child<QDoubleSpinBox>(w, "FSpinEdit3")->setValue(0.0);
    EXPECT_EQ(text(w, "Label9"), QStringLiteral("316 Gr."));
    EXPECT_EQ(text(w, "Label21"), QStringLiteral("296 Gr."));
}

TEST_F(SpecsWindow, arrowLengthStopsAt38) {
    main.edits[Edit::ArrowLength] = "40";
    TSpecsFrm w(main);
    EXPECT_DOUBLE_EQ(spin(w, "FSpinEdit1"), 38.0);
    EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>(w, "FSpinEdit1")->singleStep(), 0.25);
}

TEST_F(SpecsWindow, commaSixtyThreeModelsWeighWithTheSecondFigure) {
    choose("Hunt", "2117KV", "2117", "KV,63 Series");
    TSpecsFrm w(main);
    // 30 x 9.40 = 282.
    EXPECT_EQ(text(w, "Label21"), QStringLiteral("282 Gr."));
    EXPECT_EQ(text(w, "Label9"), QStringLiteral("398 Gr."));
    EXPECT_TRUE(seam.entries.empty());
}

TEST_F(SpecsWindow, twoFiguresForOtherModelsGiveTheConversionErrorAndKeepTheWeights) {
    choose("Hunt", "2117KV", "2117", "KV,63 Series");
    TSpecsFrm w(main);
    main.labels[Label::Mods] = "Magnum";
    child<QDoubleSpinBox>(w, "FSpinEdit1")->setValue(29.0);
    EXPECT_EQ(seam.texts(RecordingSeam::Kind::Error),
              QStringList{QStringLiteral("'8.10 9.40' is not a valid floating point value")});
    EXPECT_EQ(text(w, "Label21"), QStringLiteral("282 Gr."));
    EXPECT_EQ(text(w, "Label9"), QStringLiteral("398 Gr."));
}

TEST_F(SpecsWindow, blankGrainsPerInchIsReportedOnceWhenTheWindowOpens) {
    choose("Hunt", "1816", "1816", "Magnum");
    TSpecsFrm w(main);
    EXPECT_EQ(seam.texts(RecordingSeam::Kind::Error),
              QStringList{QStringLiteral("'' is not a valid floating point value")});
    EXPECT_TRUE(text(w, "Label9").isEmpty());
}

TEST_F(SpecsWindow, keyTheIndexLacksShowsTheLastShaftInIndexOrder) {
    choose("Hunt", "3000", "3000", "Magnum");
    TSpecsFrm w(main);
    EXPECT_EQ(text(w, "ARROWTYPE").trimmed(), QStringLiteral("Last in order"));
    EXPECT_EQ(text(w, "Label21"), QStringLiteral("210 Gr."));
}

TEST_F(SpecsWindow, arrowUnderFiveGrainsPerPoundIsWarnedInTheWindow) {
    main.edits[Edit::BowWeight] = "90";
    TSpecsFrm w(main);
    EXPECT_EQ(text(w, "GrainsPerLbLbl"), QStringLiteral("(4.6 Gr./Lb.)"));
    EXPECT_FALSE(child<QLabel>(w, "LightArrowLbl")->isHidden());
    EXPECT_TRUE(seam.entries.empty());

    child<QDoubleSpinBox>(w, "FSpinEdit3")->setValue(200.0);
    EXPECT_EQ(text(w, "GrainsPerLbLbl"), QStringLiteral("(5.7 Gr./Lb.)"));
    EXPECT_TRUE(child<QLabel>(w, "LightArrowLbl")->isHidden());
}

TEST_F(SpecsWindow, drawWeightThatIsNoNumberShowsNoRatio) {
    main.edits[Edit::BowWeight] = "";
    TSpecsFrm w(main);
    EXPECT_TRUE(text(w, "GrainsPerLbLbl").isEmpty());
    EXPECT_TRUE(child<QLabel>(w, "LightArrowLbl")->isHidden());
}

TEST_F(SpecsWindow, buttonsOpenTheCalculatorAndTheModelsGuide) {
    TSpecsFrm w(main);
    EXPECT_EQ(child<QPushButton>(w, "CalcSpeedButton")->text(), QStringLiteral("Kinetic Energy &&\nF.O.C. Calculator"));
    QTest::mouseClick(child<QPushButton>(w, "CalcSpeedButton"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(w, "ModelsSpeedButton"), Qt::LeftButton);
    EXPECT_EQ(seam.dialogs, (QStringList{QStringLiteral("TKECalc2"), QStringLiteral("TAboutBox1")}));
}

TEST_F(SpecsWindow, lengthOrPointWeightTheMainWindowCannotRead_isRefusedWithItsMessage) {
    const struct {
        const char* page;
        Edit edit;
        const char* text;
    } cases[] = {{"Hunt", Edit::ArrowLength, "abc"},
                 {"Hunt", Edit::PointWeight, "1o0"},
                 {"Orvk", Edit::ArrowLength, ""},
                 {"Youth", Edit::YouthArrowLength, "2x"}};
    for (const auto& c : cases) {
        seam.clear();
        main.labels[Label::TmpLbl2] = c.page;
        const std::string before = main.edits[c.edit];
        main.edits[c.edit] = c.text;
        openSpecsWindow(nullptr, main);
        EXPECT_TRUE(seam.dialogs.isEmpty()) << c.text;
        EXPECT_EQ(seam.texts(RecordingSeam::Kind::Error),
                  QStringList{QStringLiteral("'%1' is not a valid integer value").arg(QString::fromLatin1(c.text))});
        main.edits[c.edit] = before;
    }
    // Off the Hunting page the point weight is the shaft's own, so the main window's is not read.
    seam.clear();
    main.labels[Label::TmpLbl2] = "Targ";
    main.edits[Edit::PointWeight] = "1o0";
    openSpecsWindow(nullptr, main);
    EXPECT_EQ(seam.dialogs, QStringList{QStringLiteral("TSpecsFrm")});
    EXPECT_TRUE(seam.entries.empty());
}

TEST_F(SpecsWindow, emptyChoice_showsNoShaftAndNoWeights) {
    choose("Orvk", "", "", "");
    TSpecsFrm w(main);
    for (const char* field : {"ARROWTYPE", "SPINE", "GPI", "OD", "Label21", "Label9", "GrainsPerLbLbl"}) {
        EXPECT_TRUE(text(w, field).isEmpty()) << field;
    }
    EXPECT_TRUE(child<QLabel>(w, "LightArrowLbl")->isHidden());
    EXPECT_FALSE(child<QLabel>(w, "NoShaftLbl")->isHidden());
    EXPECT_DOUBLE_EQ(spin(w, "FSpinEdit3"), 0.0);
    child<QDoubleSpinBox>(w, "FSpinEdit1")->setValue(20.0);
    EXPECT_TRUE(text(w, "Label9").isEmpty());
    EXPECT_TRUE(seam.entries.empty());

    choose("Hunt", "2213400", "2213", "Magnum");
    TSpecsFrm chosen(main);
    EXPECT_TRUE(child<QLabel>(chosen, "NoShaftLbl")->isHidden());
}

// The light-arrow warning comes and goes with the weights; the window and its buttons stay put.
TEST_F(SpecsWindow, lightArrowWarningLine_isReservedSoNothingMoves) {
    TSpecsFrm w(main);
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
}

TEST_F(SpecsWindow, screenReadersReadEveryFigureAsItIsNow) {
    TSpecsFrm w(main);
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

TEST_F(SpecsWindow, closeButtonClosesTheWindow) {
    TSpecsFrm w(main);
    w.setResult(-1);
    QTest::mouseClick(child<QPushButton>(w, "ExitBtn"), Qt::LeftButton);
    EXPECT_EQ(w.result(), QDialog::Rejected);
}

TEST_F(SpecsWindow, sizeClickOpensTheWindowModally) {
    seam.onDialog = [](QDialog& d) {
        EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label21"))->text(), QStringLiteral("287 Gr."));
        return int(QDialog::Accepted);
    };
    openSpecsWindow(nullptr, main);
    EXPECT_EQ(seam.dialogs, QStringList{QStringLiteral("TSpecsFrm")});
}

TEST_F(SpecsWindow, missingTableIsReportedAndNoWindowOpens) {
    main.folder = dir / "elsewhere";
    openSpecsWindow(nullptr, main);
    EXPECT_TRUE(seam.dialogs.isEmpty());
    const QStringList errors = seam.texts(RecordingSeam::Kind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().startsWith(QStringLiteral("Table does not exist."))) << errors.front().toStdString();
}

TEST_F(SpecsWindow, missingIndexIsReportedAndNoWindowOpens) {
    std::filesystem::remove(dir / "specs.idx");
    openSpecsWindow(nullptr, main);
    EXPECT_TRUE(seam.dialogs.isEmpty());
    const QStringList errors = seam.texts(RecordingSeam::Kind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().startsWith(QStringLiteral("Index file does not exist.")))
        << errors.front().toStdString();
}

} // namespace
} // namespace arrowsel::calc
