// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/pointer_events.h"
#include "tests/support/qt_print.h"
#include "tests/support/recording_seam.h"
#include "ui/message_seam.h"
#include "widgets/cell_button.h"
#include "widgets/colors.h"
#include "widgets/ink.h"
#include "widgets/link_label.h"
#include "widgets/num_edit.h"
#include "widgets/radio_group.h"
#include "widgets/value_label.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <array>
#include <gtest/gtest.h>

namespace arrowsel::widgets {
namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++count;
        }
        return false;
    }
};

void settle(QWidget& w) {
    w.show();
    QApplication::processEvents();
    QApplication::processEvents();
}

// A modal box that opens on the pointer's arrival and closes while the pointer stays makes Qt send
// a leave and then an enter: one entry, one signal. The pointer's position tells a real leave.
TEST(CellButtonTest, mouseEntered_oncePerEntryOfThePointer) {
    QWidget window;
    window.setGeometry(50, 50, 200, 100);
    auto* button = new TCellButton(&window);
    button->setGeometry(10, 10, 80, 22);
    settle(window);
    int boxes = 0;
    QPoint movePointerTo; // where the user moves the pointer while the box is open, if anywhere
    QObject::connect(button, &TCellButton::mouseEntered, [&] {
        ++boxes;
        if (!movePointerTo.isNull()) {
            QCursor::setPos(movePointerTo);
        }
    });
    const QPoint inside = button->mapToGlobal(QPoint(20, 10));
    const QPoint outside = window.mapToGlobal(QPoint(150, 80));
    auto enter = [&] { test::sendEnter(button, QPoint(20, 10)); };
    auto leave = [&] { test::sendLeave(button); };

    QCursor::setPos(inside);
    enter();
    leave(); // the box opened
    enter(); // closed with Return: the pointer never moved
    leave();
    enter();
    EXPECT_EQ(boxes, 1);

    QCursor::setPos(outside);
    leave();
    QCursor::setPos(inside);
    enter();
    EXPECT_EQ(boxes, 2);

    // The pointer moved off while the box was open: no leave comes, and coming back is an entry.
    movePointerTo = outside;
    QCursor::setPos(outside);
    leave();
    QCursor::setPos(inside);
    enter();
    movePointerTo = {};
    QCursor::setPos(inside);
    enter();
    EXPECT_EQ(boxes, 4);
}

TEST(CellButtonTest, pointingCursorOnlyWhileEnabled) {
    QWidget grid;
    auto* button = new TCellButton(&grid);
    button->setPointingCursor(true);
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    button->setCellEnabled(false);
    EXPECT_FALSE(button->testAttribute(Qt::WA_SetCursor));
    button->setCellEnabled(true);
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
}

TEST(CellButtonTest, enabledFlagChangesBehaviourWithoutRepaint_showCaptionRepaints) {
    // Another widget holds the focus: losing the focus repaints any button, rightly.
    QWidget window;
    QLineEdit focusHolder(&window);
    TCellButton b(&window);
    b.setGeometry(0, 30, 80, 22);
    b.setCaption(QStringLiteral("2213"));
    settle(window);
    focusHolder.setFocus();
    QApplication::processEvents();
    PaintCounter paints(&b);

    b.setCellEnabled(false);
    QApplication::processEvents();
    EXPECT_EQ(paints.count, 0);
    QSignalSpy clicks(&b, &TCellButton::clicked);
    QTest::mouseClick(&b, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 0);

    b.setShowCaption(false);
    QApplication::processEvents();
    EXPECT_GE(paints.count, 1);

    b.setCellEnabled(true);
    QTest::mouseClick(&b, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

TEST(CellButtonTest, accessibleNameFollowsShownCaption_fallbackWhileBlank) {
    TCellButton b;
    b.setAccessibleFallback(QStringLiteral("Hunting row 3 size"));
    EXPECT_EQ(b.accessibleName(), QStringLiteral("Hunting row 3 size"));
    b.setCaption(QStringLiteral("2213"));
    EXPECT_EQ(b.accessibleName(), QStringLiteral("2213"));
    b.setShowCaption(false);
    EXPECT_EQ(b.accessibleName(), QStringLiteral("Hunting row 3 size"));
    b.setHint(QStringLiteral("Spine Value"));
    EXPECT_EQ(b.toolTip(), QStringLiteral("Spine Value"));
    EXPECT_EQ(b.accessibleDescription(), QStringLiteral("Spine Value"));
}

TEST(CellButtonTest, spaceKeyClicksFocusedButton) {
    TCellButton b;
    settle(b);
    QSignalSpy clicks(&b, &TCellButton::clicked);
    QTest::keyClick(&b, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ColorTest, bgrValuesConvertBothWays) {
    EXPECT_EQ(colorFromBgr(0xD5FFFF), QColor(0xFF, 0xFF, 0xD5));
    EXPECT_EQ(colorFromBgr(0x000080), QColor(0x80, 0x00, 0x00));
    EXPECT_EQ(bgrFromColor(QColor(0xFF, 0xCB, 0xB3)), 0xB3CBFFu);
}

class RadioGroupTest : public ::testing::Test {
protected:
    RadioGroupTest() {
        group.setItems({QStringLiteral("No"), QStringLiteral("1\""), QStringLiteral("2\"")});
        group.setColumns(2);
    }
    TRadioGroup group;
};

TEST_F(RadioGroupTest, indexChangesSignalOnce_equalIndexIsSilent) {
    QSignalSpy clicks(&group, &TRadioGroup::clicked);
    group.setItemIndex(1);
    EXPECT_EQ(group.itemIndex(), 1);
    EXPECT_EQ(clicks.count(), 1);
    group.setItemIndex(1);
    EXPECT_EQ(clicks.count(), 1);
    group.item(2)->click();
    EXPECT_EQ(group.itemIndex(), 2);
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(RadioGroupTest, noItemIndexUnchecksEveryItem) {
    group.setItemIndex(0);
    group.setItemIndex(-1);
    EXPECT_EQ(group.itemIndex(), -1);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(group.item(i)->isChecked()) << i;
    }
    group.setItemIndex(2);
    EXPECT_TRUE(group.item(2)->isChecked());
}

TEST_F(RadioGroupTest, itemsCarryTheirTextsAsAccessibleNames) {
    EXPECT_EQ(group.items(), (QStringList{QStringLiteral("No"), QStringLiteral("1\""), QStringLiteral("2\"")}));
    EXPECT_EQ(group.item(1)->accessibleName(), QStringLiteral("1\""));
    group.setColorChecked(QColor(0x00, 0x80, 0x80));
    EXPECT_EQ(group.colorChecked(), QColor(0x00, 0x80, 0x80));
}

class UpDownTest : public ::testing::Test {
protected:
    UpDownTest() : upDown(65, 160, 5) {
        edit.setText(QStringLiteral("100"));
        upDown.associate(&edit);
    }
    TNumEdit edit;
    TUpDown upDown;
};

TEST_F(UpDownTest, stepsByIncrementAndStopsAtTheRangeEnds) {
    upDown.stepUp();
    EXPECT_EQ(edit.text(), QStringLiteral("105"));
    edit.setText(QStringLiteral("158"));
    upDown.stepUp();
    EXPECT_EQ(edit.text(), QStringLiteral("160"));
    upDown.stepUp();
    EXPECT_EQ(edit.text(), QStringLiteral("160"));
    edit.setText(QStringLiteral("66"));
    upDown.stepDown();
    EXPECT_EQ(edit.text(), QStringLiteral("65"));
}

TEST_F(UpDownTest, typedTextIsFree_stepFromNoNumberUsesLastPosition) {
    edit.setText(QStringLiteral("abc"));
    EXPECT_EQ(edit.text(), QStringLiteral("abc"));
    upDown.stepDown();
    EXPECT_EQ(edit.text(), QStringLiteral("95"));
    edit.setText(QStringLiteral("999"));
    upDown.stepDown();
    EXPECT_EQ(edit.text(), QStringLiteral("155"));
}

TEST_F(UpDownTest, arrowKeysInTheEditStep_unlessTheUpDownIsDisabled) {
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), QStringLiteral("105"));
    QTest::keyClick(&edit, Qt::Key_Down);
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(edit.text(), QStringLiteral("95"));
    upDown.setEnabled(false);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), QStringLiteral("95"));
}

// A desktop that switches to a dark scheme while the window is open: each chosen colour is picked
// again from the new palette, and comes back as it was with the light one.
TEST(InkTest, chosenColoursFollowThePaletteBothWays) {
    const QPalette light = QApplication::palette();
    QPalette dark(QColor(0xee, 0xee, 0xee), QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Link, QColor(0x56, 0xa0, 0xd3));

    QWidget window;
    auto* edit = new TNumEdit(&window);
    auto* group = new TRadioGroup(&window);
    auto* link =
        new TLinkLabel(QStringLiteral("www.example.com"), QUrl(QStringLiteral("https://www.example.com/")), &window);
    const QColor teal = colorFromBgr(0x808000);
    edit->setFontColor(teal);
    group->setFontColor(Qt::black);
    const QColor blue = link->palette().color(QPalette::WindowText);
    const auto inks = [&] {
        return std::array{edit->palette().color(QPalette::Text), group->palette().color(QPalette::WindowText),
                          link->palette().color(QPalette::WindowText)};
    };
    EXPECT_EQ(inks(), (std::array{teal, light.color(QPalette::WindowText), blue}));

    QApplication::setPalette(dark);
    QApplication::processEvents(); // the widgets hear of it through posted events
    const auto onDark = inks();
    EXPECT_GE(contrastRatio(onDark[0], dark.color(QPalette::Base)), kReadableContrast);
    EXPECT_GT(onDark[0].blue(), onDark[0].red()) << "keeps a hint of its colour";
    EXPECT_EQ(onDark[1], dark.color(QPalette::WindowText));
    EXPECT_GE(contrastRatio(onDark[2], dark.color(QPalette::Window)), kReadableContrast);
    EXPECT_EQ(edit->fontColor(), teal);

    QApplication::setPalette(light);
    QApplication::processEvents();
    EXPECT_EQ(inks(), (std::array{teal, light.color(QPalette::WindowText), blue}));
}

TEST(LinkLabelTest, releaseAndSpaceOpenTheAddress_returnIsLeftToTheWindow_redWhilePressed) {
    test::RecordingSeam seam;
    TLinkLabel link(QStringLiteral("www.example.com"), QUrl(QStringLiteral("https://www.example.com/")));
    link.resize(160, 20);
    settle(link);
    const QColor blue = link.palette().color(QPalette::WindowText);
    QTest::mousePress(&link, Qt::LeftButton);
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(0xCC, 0x00, 0x00));
    EXPECT_TRUE(seam.urls.empty());
    QTest::mouseRelease(&link, Qt::LeftButton);
    EXPECT_EQ(link.palette().color(QPalette::WindowText), blue);
    QTest::keyClick(&link, Qt::Key_Space);
    ASSERT_EQ(seam.urls.size(), 2u);
    EXPECT_EQ(seam.urls[0], QUrl(QStringLiteral("https://www.example.com/")));

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&link, &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_EQ(seam.urls.size(), 2u);
    EXPECT_TRUE(seam.entries.empty());

    seam.browserOpens = false;
    QTest::keyClick(&link, Qt::Key_Space);
    const QStringList errors = seam.texts(test::RecordingSeam::Kind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("No web browser could open https://www.example.com/")))
        << errors[0].toStdString();
}

TEST(ValueLabelTest, screenReadersReadTheShownValueWithItsHeading) {
    QWidget window;
    auto* heading = new QLabel(QStringLiteral("Customer:"), &window);
    auto* value = new TValueLabel(QStringLiteral("Customer"), &window);
    value->setHeadingLabel(heading);
    value->setText(QStringLiteral("Smith & Sons"));
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(value);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Smith & Sons"));
    EXPECT_EQ(a->text(QAccessible::Description), QStringLiteral("Customer"));
    value->setText(QStringLiteral("<b>Jones</b>"));
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Jones"));
    const auto labels = a->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->object(), heading);
}

} // namespace
} // namespace arrowsel::widgets
