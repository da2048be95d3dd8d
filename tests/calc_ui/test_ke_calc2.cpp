// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/energy_widgets.h"
#include "calc/ke_calc2.h"
#include "tests/support/pseudo_locale.h"
#include "tests/support/recording_seam.h"
#include "ui/message_seam.h"
#include "widgets/num_edit.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace arrowsel::calc {
namespace {

using test::RecordingSeam;

class KECalcWindow : public testing::Test {
protected:
    template <typename T> T* child(const char* name) {
        T* w = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void energyFor(const char* grains, const char* velocity) {
        child<QLineEdit>("GrainWt")->setText(QString::fromLatin1(grains));
        child<QLineEdit>("Velocity")->setText(QString::fromLatin1(velocity));
        QTest::mouseClick(child<QPushButton>("KECalcBtn"), Qt::LeftButton);
    }
    void focFor(double length, double balance) {
        child<QDoubleSpinBox>("FSpinLenEdit")->setValue(length);
        child<QDoubleSpinBox>("FSpinBalEdit")->setValue(balance);
        QTest::mouseClick(child<QPushButton>("FOCCalcBtn"), Qt::LeftButton);
    }
    QString shownEnergy() { return child<QLabel>("Label6")->text(); }
    int gauge() { return child<TEnergyGauge>("GaugeBar1")->value(); }
    QString pictures() { return child<TPictureAnimator>("Animator1")->listName(); }

    RecordingSeam seam;
    TKECalc2 window{std::filesystem::path("/nonexistent")};
};

TEST_F(KECalcWindow, startsOnTheDefaultArrowWithMediumGameRunning) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("2009 Kinetic Energy and Front of Center Calculators"));
    EXPECT_EQ(child<QLineEdit>("GrainWt")->text(), QStringLiteral("400"));
    EXPECT_EQ(child<QLineEdit>("Velocity")->text(), QStringLiteral("200"));
    EXPECT_EQ(shownEnergy(), QStringLiteral("35.54"));
    EXPECT_EQ(gauge(), 35);
    auto* animator = child<TPictureAnimator>("Animator1");
    EXPECT_EQ(animator->listName(), QStringLiteral("MediumImg"));
    EXPECT_TRUE(animator->isRunning());
    EXPECT_EQ(animator->interval(), 3000);
    auto* gaugeBar = child<TEnergyGauge>("GaugeBar1");
    EXPECT_EQ(gaugeBar->orientation(), Qt::Vertical);
    EXPECT_EQ(gaugeBar->minimum(), 0);
    EXPECT_EQ(gaugeBar->maximum(), 100);
    EXPECT_FALSE(gaugeBar->isTextVisible());
}

TEST_F(KECalcWindow, thePagesAreChosenWithTwoButtons_oneHeldDownForThePageShown) {
    EXPECT_EQ(window.findChild<QTabWidget*>(), nullptr);
    auto* pages = child<QStackedWidget>("KEPages");
    auto* energyButton = child<QPushButton>("KEPageBtn");
    auto* focButton = child<QPushButton>("FOCPageBtn");
    EXPECT_EQ(energyButton->text(), QStringLiteral("Kinetic Energy"));
    EXPECT_EQ(focButton->text(), QStringLiteral("Front of Center"));
    EXPECT_TRUE(energyButton->isChecked());
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("KEPage"));
    QTest::mouseClick(focButton, Qt::LeftButton);
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("FOCPage"));
    EXPECT_TRUE(focButton->isChecked());
    EXPECT_FALSE(energyButton->isChecked());
    // From the keyboard as well.
    energyButton->setFocus();
    QTest::keyClick(energyButton, Qt::Key_Space);
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("KEPage"));
    EXPECT_NE(energyButton->focusPolicy() & Qt::TabFocus, 0);
}

// A screen reader chooses a page through the buttons' actions (Toggle, Press) or by checking one.
TEST_F(KECalcWindow, everyWayOfChoosingAPage_showsIt) {
    auto* pages = child<QStackedWidget>("KEPages");
    QAccessibleInterface* foc = QAccessible::queryAccessibleInterface(child<QPushButton>("FOCPageBtn"));
    QAccessibleInterface* energy = QAccessible::queryAccessibleInterface(child<QPushButton>("KEPageBtn"));
    ASSERT_NE(foc->actionInterface(), nullptr);
    foc->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("FOCPage"));
    EXPECT_TRUE(foc->state().checked);
    energy->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(pages->currentWidget()->objectName(), QStringLiteral("KEPage")); // a press animates the click
    child<QPushButton>("FOCPageBtn")->setChecked(true);
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("FOCPage"));
    EXPECT_FALSE(energy->state().checked);
}

// Return calculates on either page, also after the focus has passed a Close button.
TEST_F(KECalcWindow, returnCalculates_wheneverTheFocusWasBefore) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    child<QLineEdit>("GrainWt")->setFocus();
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, mods);
    };
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab}) {
        press(key);
        if (QApplication::focusWidget() == child<QWidget>("KECloseBtn")) {
            break;
        }
    }
    ASSERT_EQ(QApplication::focusWidget(), child<QWidget>("KECloseBtn"));
    while (QApplication::focusWidget() != child<QWidget>("Velocity")) {
        press(Qt::Key_Backtab, Qt::ShiftModifier);
    }
    child<QLineEdit>("Velocity")->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("250"));
    press(Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(shownEnergy(), QStringLiteral("55.53"));

    child<QPushButton>("FOCPageBtn")->click();
    child<QDoubleSpinBox>("FSpinLenEdit")->setValue(30.0);
    child<QDoubleSpinBox>("FSpinBalEdit")->setValue(18.3);
    child<QDoubleSpinBox>("FSpinBalEdit")->setFocus();
    press(Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(child<QLabel>("Label9")->text(), QStringLiteral("10.9%"));
}

TEST_F(KECalcWindow, screenReadersReadTheResultsAsTheyAreNow) {
    auto read = [&](const char* name, QAccessible::Text t = QAccessible::Name) {
        return QAccessible::queryAccessibleInterface(child<QWidget>(name))->text(t);
    };
    EXPECT_EQ(read("Label6"), QStringLiteral("35.54"));
    EXPECT_EQ(read("Label6", QAccessible::Description), QStringLiteral("Kinetic Energy (Foot Lbs.)"));
    EXPECT_EQ(read("Animator1"), QStringLiteral("Medium Game"));
    // The momentum of the same arrow: 400 x 200 / 225218 slug-ft/s.
    EXPECT_EQ(read("MomentumLbl"), QStringLiteral("0.355"));
    EXPECT_EQ(read("MomentumLbl", QAccessible::Description), QStringLiteral("Momentum (Slug Ft/Sec)"));
    energyFor("400", "250");
    EXPECT_EQ(read("Label6"), QStringLiteral("55.53"));
    EXPECT_EQ(read("MomentumLbl"), QStringLiteral("0.444"));
    EXPECT_EQ(read("Animator1"), QStringLiteral("Big Game"));
    focFor(30.0, 18.3);
    EXPECT_EQ(read("Label9"), QStringLiteral("10.9%"));
    EXPECT_EQ(read("Label9", QAccessible::Description), QStringLiteral("Front-of-Center Percent"));
    const auto labels = QAccessible::queryAccessibleInterface(child<QWidget>("Label9"))->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), QStringLiteral("Front-of-Center Percent:"));
}

TEST_F(KECalcWindow, calculateShowsEnergyGaugeAndPictureListOfTheWorkedExamples) {
    energyFor("400", "250");
    EXPECT_EQ(shownEnergy(), QStringLiteral("55.53"));
    EXPECT_EQ(gauge(), 55);
    EXPECT_EQ(pictures(), QStringLiteral("BigImg"));

    energyFor("424", "335");
    EXPECT_EQ(shownEnergy(), QStringLiteral("105.68"));
    EXPECT_EQ(gauge(), 100);
    EXPECT_EQ(pictures(), QStringLiteral("ToughImg"));

    energyFor("300", "150");
    EXPECT_EQ(shownEnergy(), QStringLiteral("14.99"));
    EXPECT_EQ(pictures(), QStringLiteral("SmallImg"));
    EXPECT_TRUE(seam.entries.empty());
}

TEST_F(KECalcWindow, zeroSpeedAsksForAWholeNumberAndKeepsTheOutputs) {
    energyFor("400", "0");
    ASSERT_EQ(seam.texts(RecordingSeam::Kind::Information),
              QStringList{QStringLiteral("Zero is invalid, please enter a whole number.")});
    EXPECT_EQ(shownEnergy(), QStringLiteral("35.54"));
    EXPECT_EQ(child<QLabel>("MomentumLbl")->text(), QStringLiteral("0.355"));
    EXPECT_EQ(gauge(), 35);
    EXPECT_EQ(pictures(), QStringLiteral("MediumImg"));
}

TEST_F(KECalcWindow, textThatIsNoWholeNumberShowsTheConversionErrorAndKeepsTheOutputs) {
    energyFor("", "250");
    ASSERT_EQ(seam.texts(RecordingSeam::Kind::Error), QStringList{QStringLiteral("'' is not a valid integer value")});
    EXPECT_EQ(shownEnergy(), QStringLiteral("35.54"));
}

TEST_F(KECalcWindow, frontOfCenterShowsCutPercent) {
    focFor(30.0, 18.3);
    EXPECT_EQ(child<QLabel>("Label9")->text(), QStringLiteral("10.9%"));
    focFor(29.0, 17.25);
    EXPECT_EQ(child<QLabel>("Label9")->text(), QStringLiteral("9.4%"));
    focFor(30.0, 18.0);
    EXPECT_EQ(child<QLabel>("Label9")->text(), QStringLiteral("10%"));
}

TEST_F(KECalcWindow, zeroLengthReportsTheArithmeticErrorAndKeepsThePercent) {
    focFor(30.0, 14.0);
    focFor(0.0, 15.0);
    EXPECT_EQ(seam.texts(RecordingSeam::Kind::Error), QStringList{QStringLiteral("Floating point division by zero")});
    EXPECT_EQ(child<QLabel>("Label9")->text(), QStringLiteral("-3.3%"));
}

// The boxes' fixed texts are the core's, asked for in the installed language; a conversion
// error, composed around what was typed, is shown as the core wrote it.
TEST_F(KECalcWindow, theBoxesFixedTextsAreShownInTheInstalledLanguage) {
    const test::PseudoLocale pseudo;
    energyFor("0", "250");
    focFor(0.0, 15.0);
    focFor(0.0, 0.0);
    energyFor("x", "250");
    EXPECT_EQ(seam.texts(RecordingSeam::Kind::Information),
              QStringList{QStringLiteral("\u00abZero is invalid, please enter a whole number.\u00bb")});
    EXPECT_EQ(seam.texts(RecordingSeam::Kind::Error),
              (QStringList{QStringLiteral("\u00abFloating point division by zero\u00bb"),
                           QStringLiteral("\u00abInvalid floating point operation\u00bb"),
                           QStringLiteral("'x' is not a valid integer value")}));
}

TEST_F(KECalcWindow, activationAndCalculationPutTheFocusWhereTheUserTypesNext) {
    QEvent activation(QEvent::WindowActivate);
    QApplication::sendEvent(&window, &activation);
    EXPECT_EQ(window.focusWidget(), child<QWidget>("GrainWt"));
    QTest::mouseClick(child<QPushButton>("FOCPageBtn"), Qt::LeftButton);
    focFor(30.0, 15.0);
    EXPECT_EQ(window.focusWidget(), child<QWidget>("FSpinLenEdit"));
    QTest::mouseClick(child<QPushButton>("KEPageBtn"), Qt::LeftButton);
    energyFor("0", "0");
    EXPECT_EQ(window.focusWidget(), child<QWidget>("GrainWt"));
}

TEST_F(KECalcWindow, bothCloseButtonsCloseTheWindow) {
    for (const char* name : {"KECloseBtn", "FOCCloseBtn"}) {
        window.setResult(-1);
        QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton);
        EXPECT_EQ(window.result(), QDialog::Rejected) << name;
    }
}

TEST_F(KECalcWindow, everyControlTellsScreenReadersItsCaption) {
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const bool innerEdit = qobject_cast<QAbstractSpinBox*>(w->parentWidget()) != nullptr;
        if ((qobject_cast<QLineEdit*>(w) && !innerEdit) || qobject_cast<QAbstractSpinBox*>(w) ||
            qobject_cast<QProgressBar*>(w) || qobject_cast<QAbstractButton*>(w)) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        }
    }
}

} // namespace
} // namespace arrowsel::calc
