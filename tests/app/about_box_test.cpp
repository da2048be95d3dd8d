#include "app/about_box.h"
#include "tests/support/temp_dir.h"
#include "widgets/link_label.h"
#include "widgets/message_seam.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace arrowsel::app {
namespace {

TEST(AboutBoxTest, returnClosesTheBoxFromTheLink_spaceOpensTheLink) {
    test::TempDir folder;
    widgets::RecordingSeam seam;
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

TEST(AboutBoxTest, screenReadersReadEveryLineOfTheMakersDetails) {
    test::TempDir folder;
    TAboutBox box(folder.path());
    for (int i = 1; i <= 4; ++i) {
        auto* line = box.findChild<QLabel*>(QStringLiteral("DetailLine%1").arg(i));
        ASSERT_NE(line, nullptr) << i;
        EXPECT_EQ(QAccessible::queryAccessibleInterface(line)->text(QAccessible::Name), line->text()) << i;
    }
}

} // namespace
} // namespace arrowsel::app
