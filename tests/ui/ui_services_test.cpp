// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/qt_print.h"
#include "tests/support/recording_seam.h"
#include "ui/guarded.h"
#include "ui/message_seam.h"

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

} // namespace
} // namespace arrowsel::ui
