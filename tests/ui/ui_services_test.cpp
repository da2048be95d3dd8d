// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/qt_print.h"
#include "tests/support/recording_seam.h"
#include "ui/guarded.h"
#include "ui/message_seam.h"
#include "ui/page_painter.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <stdexcept>

namespace arrowsel::ui {
namespace {

TEST(MessageSeamTest, recordingSeamAnswersAndRestoresThePreviousSeam) {
    MessageSeam* before = &MessageSeam::current();
    {
        test::RecordingSeam seam;
        EXPECT_EQ(&MessageSeam::current(), &seam);
        seam.answers = {false};
        seam.inputs = {QStringLiteral("Smith")};
        EXPECT_FALSE(MessageSeam::current().question(nullptr, QStringLiteral("Sure?")));
        EXPECT_TRUE(MessageSeam::current().question(nullptr, QStringLiteral("Again?")));
        EXPECT_EQ(MessageSeam::current().inputText(nullptr, {}, QStringLiteral("Name"), {}), QStringLiteral("Smith"));
        EXPECT_EQ(MessageSeam::current().inputText(nullptr, {}, QStringLiteral("Name"), {}), std::nullopt);
        MessageSeam::current().information(nullptr, QStringLiteral("Note"));
        EXPECT_EQ(seam.texts(test::RecordingSeam::Kind::Information), QStringList{QStringLiteral("Note")});
    }
    EXPECT_EQ(&MessageSeam::current(), before);
}

TEST(GuardedCommandTest, failuresReachTheErrorBoxWithTheCommandsOwnSentence) {
    test::RecordingSeam seam;
    const auto fails = [] { throw std::runtime_error("Record is locked by 50%1 of users"); };
    EXPECT_TRUE(runGuarded(nullptr, [] {}));
    EXPECT_TRUE(seam.entries.empty());

    EXPECT_FALSE(runGuarded(nullptr, fails));
    EXPECT_FALSE(runGuarded(nullptr, fails, QStringLiteral("Not saved: %1\nTry again.")));
    EXPECT_FALSE(runGuarded(nullptr, fails, [](const QString& what) {
        return QStringLiteral("Not copied to %1.\n%2").arg(QStringLiteral("/tmp/100%1"), what);
    }));
    EXPECT_FALSE(runGuarded(nullptr, [] { throw 42; }));
    EXPECT_EQ(seam.texts(test::RecordingSeam::Kind::Error),
              (QStringList{QStringLiteral("Record is locked by 50%1 of users"),
                           QStringLiteral("Not saved: Record is locked by 50%1 of users\nTry again."),
                           QStringLiteral("Not copied to /tmp/100%1.\nRecord is locked by 50%1 of users"),
                           QStringLiteral("The command failed with an unexpected error.")}));
    EXPECT_EQ(seam.entries.size(), 4u);
}

// A comment longer than its box (the customer report's 4.49 by 2.01 inches) shows the whole
// lines that fit, the last marked as cut; nothing of a further line shows in the box.
TEST(PagePainterTest, wrappedTextLongerThanItsBox_showsWholeLinesAndMarksTheCut) {
    QImage sheet(850, 1100, QImage::Format_RGB32);
    sheet.setDotsPerMeterX(3937); // 100 per inch
    sheet.setDotsPerMeterY(3937);
    sheet.fill(Qt::white);
    const QRectF box(1.56, 1.0, 4.49, 2.01);
    QString comment = QStringLiteral("Shoots a 29 inch draw.\r\n");
    for (int i = 0; i < 200; ++i) {
        comment += QStringLiteral("word%1 ").arg(i);
    }
    Page page;
    TextItem item;
    item.text = comment;
    item.rect = box;
    item.font.pointSize = 12;
    item.wordWrap = true;
    page.texts.push_back(item);
    QPainter painter(&sheet);
    paintPage(painter, page);
    painter.end();

    QFont font(item.font.family);
    font.setPointSizeF(12);
    const WrappedText wrapped = wrapToBox(comment, font, box.width() * 100, box.height() * 100, &sheet);
    ASSERT_TRUE(wrapped.cut);
    ASSERT_GE(wrapped.lines.size(), 3);
    EXPECT_EQ(wrapped.lines.front(), QStringLiteral("Shoots a 29 inch draw."));
    EXPECT_TRUE(wrapped.lines.back().endsWith(QChar(0x2026))) << wrapped.lines.back().toStdString();
    const int usedBottom = int(box.top() * 100 + static_cast<double>(wrapped.lines.size()) * wrapped.lineHeight) + 1;
    for (int y = usedBottom; y < int(box.bottom() * 100); ++y) {
        for (int x = int(box.left() * 100); x < int(box.right() * 100); ++x) {
            ASSERT_EQ(sheet.pixel(x, y), qRgb(255, 255, 255)) << "ink of a cut line at " << x << "," << y;
        }
    }
    EXPECT_FALSE(
        wrapToBox(QStringLiteral("Short.\r\nTwo lines."), font, box.width() * 100, box.height() * 100, &sheet).cut);
}

} // namespace
} // namespace arrowsel::ui
