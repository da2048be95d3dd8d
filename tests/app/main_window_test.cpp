// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/arrow_sel.h"
#include "app/startup.h"
#include "tests/app/app_fixture.h"
#include "tests/support/pointer_events.h"
#include "tests/support/qt_print.h"
#include "tests/support/recording_seam.h"
#include "ui/message_seam.h"
#include "widgets/cell_button.h"
#include "widgets/colors.h"
#include "widgets/num_edit.h"
#include "widgets/radio_group.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>
#include <vector>

namespace arrowsel::app {
namespace {

using test::AppFixture;
using test::RecordingSeam;
using widgets::TCellButton;
using widgets::TNumEdit;
using widgets::TRadioGroup;
using Kind = RecordingSeam::Kind;

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : window(fixture.folder()) {
        window.show();
        QApplication::processEvents();
    }

    template <typename T = QWidget> T* child(const char* name) {
        T* w = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    TCellButton* cell(const char* name) { return child<TCellButton>(name); }
    QString caption(const char* name) { return cell(name)->caption(); }
    QString label(const char* name) { return child<QLabel>(name)->text(); }
    void showPage(int index) { child<QTabWidget>("ShaftsNB")->setCurrentIndex(index); }
    void typeInto(const char* edit, const QString& text) {
        TNumEdit* e = child<TNumEdit>(edit);
        e->selectAll();
        QTest::keyClicks(e, text);
    }

    AppFixture fixture;
    RecordingSeam seam;
    TArrowSel window;
};

TEST_F(MainWindowTest, startState_huntingPageWithDefaultsAndItsRecommendation) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Arvendel 2009"));
    EXPECT_EQ(window.centralWidget()->size(), QSize(788, 542));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(child<QTabWidget>("ShaftsNB")->currentIndex(), 0);
    EXPECT_EQ(child<TNumEdit>("BowWeightSpin")->text(), QStringLiteral("60"));
    EXPECT_EQ(child<TNumEdit>("ArrowLengthSpin")->text(), QStringLiteral("30"));
    EXPECT_EQ(child<TNumEdit>("PointWtSpin")->text(), QStringLiteral("100"));
    for (const char* g : {"BowType", "TargBowType", "HuntCamType", "WheelType", "ReleaseType", "OverDraw", "BraceHt"}) {
        EXPECT_EQ(child<TRadioGroup>(g)->itemIndex(), 0) << g;
    }
    EXPECT_EQ(window.runCount(), 1);
    EXPECT_TRUE(seam.entries.empty());

    EXPECT_EQ(label("TmpLbl2"), QStringLiteral("Hunt"));
    EXPECT_EQ(caption("HSzBtn1"), QStringLiteral("2213"));
    EXPECT_EQ(caption("HMdBtn1"), QStringLiteral("XX75"));
    EXPECT_EQ(caption("HWtBtn1"), QStringLiteral("264"));
    EXPECT_EQ(caption("HSzBtn2"), QStringLiteral("2315"));
    EXPECT_EQ(caption("HWtBtn2"), QStringLiteral("264,297"));
    EXPECT_EQ(caption("HMdBtn4"), QStringLiteral("Carbon"));
    EXPECT_FALSE(cell("HSzBtn4")->cellEnabled());
    EXPECT_FALSE(cell("HSzBtn5")->showCaption());
    EXPECT_FALSE(cell("HSzBtn5")->cellEnabled());
    // Row 13 colours: pale yellow, pale yellow, pale green, pale orange.
    EXPECT_EQ(cell("HSpBtn1")->color(), widgets::colorFromBgr(0xD5FFFF));
    EXPECT_EQ(cell("HWtBtn2")->color(), widgets::colorFromBgr(0xD5FFFF));
    EXPECT_EQ(cell("HSzBtn3")->color(), widgets::colorFromBgr(0xDCFFB9));
    EXPECT_EQ(cell("HMdBtn4")->color(), widgets::colorFromBgr(0xB3CBFF));
    EXPECT_EQ(cell("HSzBtn6")->color(), QColor(Qt::white));
}

TEST_F(MainWindowTest, layout_everyNamedControlAndGridButtonExists) {
    for (const char* name : {"BowWeightSpin", "UpDown1",           "YouthBowWtSpin", "UpDown3",      "ArrowLengthSpin",
                             "UpDown2",       "YouthArrowLenSpin", "UpDown5",        "PointWtSpin",  "UpDown4",
                             "Label6",        "ShaftsNB",          "Hunt",           "Targ",         "Youth",
                             "Orvk",          "CAWTPanel",         "TmpLbl",         "TmpLbl2",      "SpcLbl",
                             "Mods",          "TSP14LBL",          "MainMenu1",      "SpeedButton3", "HSaveBtn",
                             "HPrintBtn",     "TPrintBtn",         "SpeedButton9",   "OrvkPrintBtn", "KECalcBtn",
                             "ExitBtn1"}) {
        EXPECT_NE(window.findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
    }
    const std::pair<const char*, int> pages[] = {{"H", 17}, {"T", 13}, {"Y", 8}, {"B", 7}};
    for (const auto& [letter, rows] : pages) {
        for (int r = 1; r <= rows + 1; ++r) {
            for (const char* kind : {"SzBtn", "SpBtn", "MdBtn", "WtBtn"}) {
                const QString name = QString::fromLatin1(letter) + QString::fromLatin1(kind) + QString::number(r);
                EXPECT_EQ(window.findChild<TCellButton*>(name) != nullptr, r <= rows) << name.toStdString();
            }
        }
    }
    // Rows 10 to 16 live on the carbon panel, the others on the page.
    auto* panel = child<QFrame>("CAWTPanel");
    EXPECT_EQ(cell("HSzBtn10")->parentWidget(), panel);
    EXPECT_EQ(cell("HSzBtn16")->parentWidget(), panel);
    EXPECT_NE(cell("HSzBtn17")->parentWidget(), panel);
    EXPECT_FALSE(panel->isVisible());

    QStringList menus;
    for (QAction* a : child<QMenuBar>("MainMenu1")->actions()) {
        menus << a->text();
        if (a->menu()) {
            for (QAction* item : a->menu()->actions()) {
                menus << (item->isSeparator() ? QStringLiteral("-") : item->text());
            }
        }
    }
    EXPECT_EQ(
        menus.join(QLatin1Char('|')),
        QStringLiteral("&File|&Get Setup|&Save Setup|-|Shop &Information|-|E&xit|&Utilities|"
                       "&Kinetic Energy/F.O.C. Calculator|&Tuning Information|-|&Export Customer Database|&About"));
    EXPECT_EQ(child<QPushButton>("KECalcBtn")->text(), QStringLiteral("Kinetic Energy && FOC Calculator"));
}

TEST_F(MainWindowTest, controlStates_followThePageAndBowType) {
    auto* bowType = child<TRadioGroup>("BowType");
    auto* targBowType = child<TRadioGroup>("TargBowType");
    auto* cam = child<TRadioGroup>("HuntCamType");
    auto* wheel = child<TRadioGroup>("WheelType");
    auto* release = child<TRadioGroup>("ReleaseType");
    auto* brace = child<TRadioGroup>("BraceHt");
    auto* upDown4 = child<QWidget>("UpDown4");
    auto* point = child<TNumEdit>("PointWtSpin");

    // Hunting, compound.
    EXPECT_TRUE(bowType->isVisible());
    EXPECT_FALSE(targBowType->isVisible());
    EXPECT_FALSE(wheel->isVisible());
    EXPECT_EQ(bowType->colorChecked(), widgets::colorFromBgr(0x808000));
    EXPECT_EQ(release->colorLineFocus(), widgets::colorFromBgr(0x808000));
    EXPECT_EQ(point->fontColor(), widgets::colorFromBgr(0x808000));
    EXPECT_TRUE(cam->isEnabled());

    // Hunting, recurve: cam, release, brace and overdraw off.
    bowType->setItemIndex(1);
    EXPECT_FALSE(cam->isEnabled());
    EXPECT_FALSE(release->isEnabled());
    EXPECT_FALSE(brace->isEnabled());
    EXPECT_FALSE(child<QWidget>("OverDraw")->isEnabled());
    bowType->setItemIndex(0);
    EXPECT_TRUE(release->isEnabled());

    // Target, recurve.
    showPage(1);
    EXPECT_EQ(label("TmpLbl2"), QStringLiteral("Targ"));
    EXPECT_FALSE(bowType->isVisible());
    EXPECT_TRUE(targBowType->isVisible());
    EXPECT_TRUE(wheel->isVisible());
    EXPECT_FALSE(cam->isVisible());
    EXPECT_EQ(wheel->colorChecked(), widgets::colorFromBgr(0x800000));
    targBowType->setItemIndex(1);
    EXPECT_FALSE(upDown4->isEnabled());
    EXPECT_FALSE(wheel->isEnabled());
    EXPECT_EQ(point->fontColor(), widgets::colorFromBgr(0x808080));
    targBowType->setItemIndex(0);
    EXPECT_TRUE(upDown4->isEnabled());

    // Youth: youth edits instead of the adult ones; the bow type groups keep their visibility.
    showPage(2);
    EXPECT_EQ(label("TmpLbl2"), QStringLiteral("Youth"));
    EXPECT_TRUE(child<QWidget>("YouthBowWtSpin")->isVisible());
    EXPECT_TRUE(child<QWidget>("UpDown3")->isVisible());
    EXPECT_FALSE(child<QWidget>("BowWeightSpin")->isVisible());
    EXPECT_FALSE(child<QWidget>("UpDown2")->isVisible());
    EXPECT_TRUE(targBowType->isVisible());
    EXPECT_FALSE(targBowType->isEnabled());
    EXPECT_FALSE(point->isEnabled());
    EXPECT_EQ(child<TNumEdit>("YouthBowWtSpin")->fontColor(), widgets::colorFromBgr(0x008000));
    EXPECT_EQ(caption("YSzBtn1"), QStringLiteral("1413"));

    // Orvik, recurve.
    showPage(3);
    EXPECT_EQ(label("TmpLbl2"), QStringLiteral("Orvk"));
    EXPECT_TRUE(child<QWidget>("BowWeightSpin")->isVisible());
    EXPECT_FALSE(child<QWidget>("YouthBowWtSpin")->isVisible());
    EXPECT_EQ(targBowType->colorChecked(), widgets::colorFromBgr(0x000080));
    EXPECT_TRUE(targBowType->isEnabled());
    targBowType->setItemIndex(1);
    EXPECT_FALSE(cam->isEnabled());
    EXPECT_FALSE(brace->isEnabled());

    // Back to Hunting: adult edits show, youth ones hide.
    showPage(0);
    EXPECT_TRUE(child<QWidget>("ArrowLengthSpin")->isVisible());
    EXPECT_FALSE(child<QWidget>("YouthArrowLenSpin")->isVisible());
    EXPECT_FALSE(child<QWidget>("UpDown5")->isVisible());
    EXPECT_TRUE(seam.entries.empty());
}

TEST_F(MainWindowTest, offChartSetup_showsNoticeResetsWeightAndShowsTheNestedRunsRow) {
    typeInto("ArrowLengthSpin", QStringLiteral("23")); // w 60, row 6 + 0
    EXPECT_EQ(caption("HSzBtn1"), QStringLiteral("R6"));
    QString weightDuringNotice;
    seam.onBox = [&](const RecordingSeam::Entry&) { weightDuringNotice = child<TNumEdit>("BowWeightSpin")->text(); };
    typeInto("BowWeightSpin", QStringLiteral("20")); // no band: row 0, off the chart
    EXPECT_EQ(seam.texts(Kind::Information), QStringList{QString::fromLatin1(AppFixture::kNotice)});
    EXPECT_EQ(weightDuringNotice, QStringLiteral("20"));
    EXPECT_EQ(child<TNumEdit>("BowWeightSpin")->text(), QStringLiteral("60"));
    EXPECT_EQ(caption("HSzBtn1"), QStringLiteral("R6"));
    EXPECT_TRUE(seam.texts(Kind::Error).isEmpty());
}

TEST_F(MainWindowTest, inputChangedWhileTheNoticeShows_runsOnceTheRunEnds_forTheInputsThen) {
    typeInto("ArrowLengthSpin", QStringLiteral("23"));
    // An up-down's auto-repeat steps the length while the notice box is open.
    seam.onBox = [&](const RecordingSeam::Entry&) {
        seam.onBox = nullptr;
        child<TNumEdit>("ArrowLengthSpin")->setText(QStringLiteral("24"));
    };
    const int runs = window.runCount();
    typeInto("BowWeightSpin", QStringLiteral("20")); // "2": guard; "20": off the chart
    EXPECT_EQ(seam.texts(Kind::Information).size(), 1);
    EXPECT_TRUE(seam.texts(Kind::Error).isEmpty());
    EXPECT_EQ(child<TNumEdit>("BowWeightSpin")->text(), QStringLiteral("60"));
    EXPECT_EQ(caption("HSzBtn1"), QStringLiteral("R7")); // weight 60 at length 24
    EXPECT_EQ(window.runCount(), runs + 3);
}

TEST_F(MainWindowTest, oneDigitWeightOnAdultPage_keepsTheGridUntilTheSecondDigit) {
    const int runs = window.runCount();
    typeInto("BowWeightSpin", QStringLiteral("4"));
    EXPECT_GT(window.runCount(), runs);
    EXPECT_EQ(caption("HSzBtn1"), QStringLiteral("2213"));
    EXPECT_TRUE(seam.entries.empty());
    QTest::keyClicks(child<TNumEdit>("BowWeightSpin"), QStringLiteral("5")); // 45: row 3 + 7
    EXPECT_EQ(caption("HSzBtn1"), QStringLiteral("R10"));
}

TEST_F(MainWindowTest, oneDigitWeightOnOrvikPage_givesTheNoticeAndPutsSixtyBack) {
    showPage(3);
    EXPECT_EQ(caption("BSzBtn1"), QStringLiteral("O300"));
    typeInto("BowWeightSpin", QStringLiteral("7"));
    EXPECT_EQ(seam.texts(Kind::Information).size(), 1);
    EXPECT_EQ(child<TNumEdit>("BowWeightSpin")->text(), QStringLiteral("60"));
    EXPECT_EQ(caption("BSzBtn1"), QStringLiteral("O300"));
}

TEST_F(MainWindowTest, textThatIsNoInteger_endsTheRunWithTheConversionError) {
    child<TNumEdit>("PointWtSpin")->setText(QStringLiteral("1o0"));
    EXPECT_EQ(seam.texts(Kind::Error), QStringList{QStringLiteral("'1o0' is not a valid integer value")});
    EXPECT_EQ(caption("HSzBtn1"), QStringLiteral("2213"));
}

TEST_F(MainWindowTest, sizeClicks_writeTheChosenShaftOnEveryPage) {
    // The hidden labels show the shaft the specifications window is opened with.
    auto expectChoiceShown = [this](const char* where) {
        const calc::ShaftChoice& chosen = window.shaftChoice();
        EXPECT_EQ(QString::fromStdString(chosen.clickKey), label("TmpLbl")) << where;
        EXPECT_EQ(QString::fromStdString(chosen.size), label("SpcLbl")) << where;
        EXPECT_EQ(QString::fromStdString(chosen.models), label("Mods")) << where;
        EXPECT_EQ(QString::fromStdString(chosen.pageTag), label("TmpLbl2")) << where;
    };
    QTest::mouseClick(cell("HSzBtn1"), Qt::LeftButton);
    EXPECT_EQ(label("TmpLbl"), QStringLiteral("2213.610"));
    EXPECT_EQ(label("SpcLbl"), QStringLiteral("2213"));
    EXPECT_EQ(label("Mods"), QStringLiteral("XX75"));
    expectChoiceShown("HSzBtn1");
    EXPECT_EQ(seam.texts(Kind::Message),
              QStringList{QStringLiteral("The specifications and arrow weight window is not available yet.")});

    showPage(1);
    QTest::mouseClick(cell("TSzBtn4"), Qt::LeftButton);
    EXPECT_EQ(label("TSP4LBL"), QStringLiteral("r15"));
    EXPECT_EQ(label("TmpLbl"), QStringLiteral("c5r15"));
    EXPECT_EQ(label("SpcLbl"), QStringLiteral("c5"));
    EXPECT_EQ(label("Mods"), caption("TMdBtn4"));
    expectChoiceShown("TSzBtn4");

    showPage(2);
    QTest::mouseClick(cell("YSzBtn1"), Qt::LeftButton);
    EXPECT_EQ(label("TmpLbl"), QStringLiteral("1413JR"));
    EXPECT_EQ(label("Mods"), QStringLiteral("JR"));
    expectChoiceShown("YSzBtn1");

    showPage(3);
    QTest::mouseClick(cell("BSzBtn7"), Qt::LeftButton);
    EXPECT_EQ(label("TmpLbl"), QStringLiteral("O500FT"));
    EXPECT_EQ(label("SpcLbl"), QStringLiteral("O500"));

    // An Orvik spine or model button opens the window with the labels of the previous click.
    seam.clear();
    QTest::mouseClick(cell("BMdBtn1"), Qt::LeftButton);
    EXPECT_EQ(label("TmpLbl"), QStringLiteral("O500FT"));
    expectChoiceShown("BMdBtn1");
    EXPECT_EQ(seam.texts(Kind::Message).size(), 1);
}

TEST_F(MainWindowTest, sizeClick_opensTheRegisteredSpecificationsWindow) {
    int opened = 0;
    window.setCommandHandler(Command::Specs, [&] {
        ++opened;
        EXPECT_EQ(window.labelText(MainWindowState::Label::TmpLbl), "2213.610");
        EXPECT_EQ(window.shaftChoice().clickKey, "2213.610");
        EXPECT_EQ(window.shaftChoice().pageTag, "Hunt");
    });
    QTest::mouseClick(cell("HSzBtn1"), Qt::LeftButton);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(seam.entries.empty());
    // A blank size button does not react.
    QTest::mouseClick(cell("HSzBtn5"), Qt::LeftButton);
    EXPECT_EQ(opened, 1);
}

// The box opens as the pointer arrives; closing it with Return makes Qt send a leave and an enter
// though the pointer never moved. One entry, one box, and the button stays clickable.
TEST_F(MainWindowTest, thirdSizeButton_oneBoxPerEntryOfThePointer_andAClickOpensItsShaft) {
    int opened = 0;
    window.setCommandHandler(Command::Specs, [&] { ++opened; });
    const QString text = QStringLiteral("Detailed specs for KRV shafts are not available.");
    for (const char* name : {"HSzBtn3", "YSzBtn3"}) {
        showPage(name[0] == 'H' ? 0 : 2);
        seam.clear();
        TCellButton* button = cell(name);
        const QPoint inside = button->mapToGlobal(QPoint(10, 10));
        auto enter = [&] { test::sendEnter(button, QPoint(10, 10)); };
        auto leave = [&] { test::sendLeave(button); };
        QCursor::setPos(inside);
        enter();
        leave();
        enter();
        EXPECT_EQ(seam.texts(Kind::Information), QStringList{text}) << name;
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_EQ(label("SpcLbl"), caption(name)) << name;

        QCursor::setPos(window.mapToGlobal(QPoint(2, 2)));
        leave();
        QCursor::setPos(inside);
        enter();
        EXPECT_EQ(seam.texts(Kind::Information).size(), 2) << name;
    }
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(label("TmpLbl"), QStringLiteral("1516GT"));
    QCursor::setPos(window.screen()->geometry().bottomRight()); // off the window for the next tests
}

TEST_F(MainWindowTest, window_opensCentredOnTheScreen) {
    const QRect area = window.screen()->availableGeometry();
    const QPoint offset = window.frameGeometry().center() - area.center();

    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
}

TEST_F(MainWindowTest, sizeButtons_pointingHandOnlyWhileTheyCanBeClicked) {
    EXPECT_EQ(cell("HSzBtn1")->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(cell("HSzBtn5")->cellEnabled());
    EXPECT_FALSE(cell("HSzBtn5")->testAttribute(Qt::WA_SetCursor));
    EXPECT_FALSE(cell("HSzBtn4")->testAttribute(Qt::WA_SetCursor)); // a carbon summary cell
}

TEST_F(MainWindowTest, resultCells_exposeTheirValuesToScreenReaders) {
    QAccessibleInterface* weight = QAccessible::queryAccessibleInterface(cell("HWtBtn1"));
    ASSERT_NE(weight, nullptr);
    EXPECT_EQ(weight->text(QAccessible::Name), QStringLiteral("264"));
    // The colour band is told too, as the legend explains it; pages without bands tell none.
    EXPECT_EQ(weight->text(QAccessible::Description),
              QStringLiteral("Bare Shaft Weight in Grains. Pale yellow: lightest and fastest."));
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(cell("HSzBtn3"))
                    ->text(QAccessible::Description)
                    .endsWith(QStringLiteral(". Pale green: medium weight offering good speed and durability.")));
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(cell("HSzBtn6"))
                    ->text(QAccessible::Description)
                    .endsWith(QStringLiteral(". White: aluminum/carbon and carbon.")));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(cell("TWtBtn1"))->text(QAccessible::Description),
              cell("TWtBtn1")->hint());
    typeInto("ArrowLengthSpin", QStringLiteral("31"));
    EXPECT_NE(weight->text(QAccessible::Name), QStringLiteral("264"));
    EXPECT_EQ(weight->text(QAccessible::Name), caption("HWtBtn1"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(cell("HSzBtn1"))->text(QAccessible::Name), caption("HSzBtn1"));
}

TEST_F(MainWindowTest, carbonDetails_showThePanelAndCloseHidesIt) {
    auto* panel = child<QFrame>("CAWTPanel");
    EXPECT_TRUE(cell("HWtBtn9")->cellEnabled()); // cell 9 is carbon
    EXPECT_FALSE(cell("HWtBtn6")->cellEnabled());
    QTest::mouseClick(cell("HWtBtn6"), Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());
    QTest::mouseClick(cell("HWtBtn9"), Qt::LeftButton);
    EXPECT_TRUE(panel->isVisible());
    // Row 17 lies under the panel, wholly covered.
    EXPECT_EQ(cell("HSzBtn17")->parentWidget(), panel->parentWidget());
    EXPECT_TRUE(panel->geometry().contains(cell("HSzBtn17")->geometry()));
    EXPECT_TRUE(panel->geometry().contains(cell("HWtBtn17")->geometry()));
    EXPECT_EQ(caption("HSzBtn10"), QStringLiteral("A/C 400"));
    QTest::mouseClick(child<QPushButton>("CAWTCloseBtn"), Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(caption("HSzBtn10"), QStringLiteral("A/C 400"));
}

TEST_F(MainWindowTest, commandsOfLaterWindows_sayTheyAreNotAvailable_aboutOpensModally) {
    QTest::mouseClick(child<QPushButton>("SpeedButton3"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("HPrintBtn"), Qt::LeftButton);
    EXPECT_EQ(seam.texts(Kind::Message), (QStringList{QStringLiteral("Get Setup is not available yet."),
                                                      QStringLiteral("Printing is not available yet.")}));
    window.findChild<QAction*>(QStringLiteral("About1"))->trigger();
    EXPECT_EQ(seam.dialogs, QStringList{QStringLiteral("TAboutBox")});

    window.findChild<QAction*>(QStringLiteral("Contents1"))->trigger();
    auto* browser = window.findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->source().fileName(), QStringLiteral("tuning.html"));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Paper tuning")));
}

TEST_F(MainWindowTest, keys_helpPrintEscapeAndExit) {
    QApplication::setActiveWindow(&window);
    QList<Command> printed;
    window.setCommandHandler(Command::PrintYouth, [&] { printed.push_back(Command::PrintYouth); });
    showPage(2);
    QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(printed, QList<Command>{Command::PrintYouth});

    // F1 opens the tuning information centred on the screen; Escape closes it, not the main window.
    QTest::keyClick(&window, Qt::Key_F1);
    auto* help = window.findChild<QWidget*>(QStringLiteral("THelpWindow"));
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(help->isVisible());
    const QPoint middle = window.screen()->availableGeometry().center();
    EXPECT_LE((help->geometry().center() - middle).manhattanLength(), 40);
    QTest::keyClick(help->findChild<QTextBrowser*>(), Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
    EXPECT_TRUE(window.isVisible());

    showPage(0);
    auto* panel = child<QFrame>("CAWTPanel");
    QTest::mouseClick(cell("HWtBtn9"), Qt::LeftButton);
    ASSERT_TRUE(panel->isVisible());
    QTest::keyClick(cell("HWtBtn9"), Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(window.isVisible());

    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(seam.entries.empty());
}

TEST(ProgramIconTest, holdsEveryInstalledSizeFromTheResources) {
    const QIcon icon = programIcon();
    for (int size : {16, 32, 48, 64, 128, 256}) {
        EXPECT_EQ(icon.pixmap(size).size(), QSize(size, size)) << size;
    }
}

// The style a command line and QT_STYLE_OVERRIDE leave the application in, as the program starts.
TEST(AppearanceTest, styleNamedByTheUserIsKept_otherwiseFusion) {
    struct Case {
        std::vector<const char*> args;
        const char* environment;
        const char* style;
    };
    const Case cases[] = {
        {{"arrowsel"}, nullptr, "fusion"},
        {{"arrowsel", "-style", "windows"}, nullptr, "windows"},
        {{"arrowsel", "--style=Windows"}, nullptr, "windows"},
        {{"arrowsel"}, "windows", "windows"},
        {{"arrowsel", "-style", "fusion"}, "windows", "fusion"}, // the command line wins
        {{"arrowsel", "-style", "no-such-style"}, nullptr, "fusion"},
        {{"arrowsel", "-style"}, "", "fusion"}, // no name after it: Qt ignores it too
    };
    const QByteArray saved = qgetenv("QT_STYLE_OVERRIDE");
    for (const Case& c : cases) {
        if (c.environment != nullptr) {
            qputenv("QT_STYLE_OVERRIDE", c.environment);
        } else {
            qunsetenv("QT_STYLE_OVERRIDE");
        }
        const QString requested = requestedStyle(int(c.args.size()), c.args.data());
        // As QApplication starts: it has already made the style asked for, when Qt has it.
        QApplication::setStyle(requested.isEmpty() || !QStyleFactory::keys().contains(requested, Qt::CaseInsensitive)
                                   ? QStringLiteral("windows")
                                   : requested);
        applyAppearance(*qApp, requested);
        EXPECT_EQ(QApplication::style()->name(), QString::fromLatin1(c.style)) << c.args.back();
    }
    qputenv("QT_STYLE_OVERRIDE", saved);
    QApplication::setStyle(QStringLiteral("fusion"));
}

TEST_F(MainWindowTest, exit_closesTheWindowWithoutAsking) {

    QTest::mouseClick(child<QPushButton>("ExitBtn2"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(seam.entries.empty());
}

TEST_F(MainWindowTest, restoringThroughTheWindowState_runsOnlyOnChangeAndClampsIndexes) {
    const int runs = window.runCount();
    window.setEditText(MainWindowState::Edit::BowWeight, "60");
    EXPECT_EQ(window.runCount(), runs);
    window.setItemIndex(MainWindowState::Group::OverDraw, 9);
    EXPECT_EQ(window.itemIndex(MainWindowState::Group::OverDraw), 5);
    EXPECT_EQ(window.runCount(), runs + 1);
    window.setPage(MainWindowState::Page::Youth);
    EXPECT_EQ(window.labelText(MainWindowState::Label::TmpLbl2), "Youth");
    EXPECT_EQ(window.shaftChoice().pageTag, "Youth");
    EXPECT_EQ(window.cellCaption(MainWindowState::Page::Youth, 1, MainWindowState::Column::Model), "JR");
}

} // namespace
} // namespace arrowsel::app
