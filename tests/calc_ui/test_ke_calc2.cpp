#include "calc/energy_widgets.h"
#include "calc/ke_calc2.h"
#include "widgets/message_seam.h"
#include "widgets/num_edit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace arrowsel::calc {
namespace {

using widgets::RecordingSeam;

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
    auto* pages = child<QTabWidget>("KEPages");
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->tabText(0), QStringLiteral("Kinetic Energy"));
    EXPECT_EQ(pages->tabText(1), QStringLiteral("Front of Center"));
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

TEST_F(KECalcWindow, activationAndCalculationPutTheFocusWhereTheUserTypesNext) {
    QEvent activation(QEvent::WindowActivate);
    QApplication::sendEvent(&window, &activation);
    EXPECT_EQ(window.focusWidget(), child<QWidget>("GrainWt"));
    child<QTabWidget>("KEPages")->setCurrentIndex(1);
    focFor(30.0, 15.0);
    EXPECT_EQ(window.focusWidget(), child<QWidget>("FSpinLenEdit"));
    child<QTabWidget>("KEPages")->setCurrentIndex(0);
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
