// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_box.h"
#include "tests/support/recording_seam.h"
#include "tests/support/temp_dir.h"
#include "ui/message_seam.h"
#include "widgets/link_label.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace arrowsel::app {
namespace {

TEST(AboutBoxTest, returnClosesTheBoxFromTheLink_spaceOpensTheLink) {
    test::TempDir folder;
    test::RecordingSeam seam;
    TAboutBox box(folder.path());
    box.show();
    QApplication::processEvents();
    auto* link = box.findChild<widgets::TLinkLabel*>(QStringLiteral("WebLink"));
    ASSERT_NE(link, nullptr);
    link->setFocus();
    QTest::keyClick(link, Qt::Key_Space);
    EXPECT_EQ(seam.urls.size(), 1u);
    EXPECT_TRUE(box.isVisible());
    QTest::keyClick(link, Qt::Key_Return);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_EQ(seam.urls.size(), 1u);
}

} // namespace
} // namespace arrowsel::app
