// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/arrow_sel.h"
#include "app/side_commands.h"
#include "tests/support/recording_seam.h"
#include "tests/support/temp_dir.h"
#include "ui/message_seam.h"
#include "widgets/cell_button.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace arrowsel::app {
namespace {

namespace fs = std::filesystem;
using test::RecordingSeam;
using Kind = RecordingSeam::Kind;

// The main window on a copy of the bundled sample data, with every side command installed as the
// program installs them at start.
class SideCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path bundled = fs::path(ARROWSEL_BINARY_DIR) / "sampledata" / "data";
        if (!fs::exists(bundled / "HUNTCHRT.DBF")) {
            GTEST_SKIP() << "sample data not generated";
        }
        fs::copy(bundled, folder.path(), fs::copy_options::recursive);
        window = std::make_unique<TArrowSel>(folder.path());
        installSideCommands(*window);
        window->show();
        QApplication::processEvents();
    }

    void click(const char* name) {
        auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    test::TempDir folder;
    RecordingSeam seam;
    std::unique_ptr<TArrowSel> window;
};

TEST_F(SideCommandsTest, everyPageCommandReachesItsWindow) {
    click("HSzBtn1");
    click("HModelsBtn");
    click("KECalcBtn");
    click("HSaveBtn");
    EXPECT_EQ(seam.dialogs, (QStringList{QStringLiteral("TSpecsFrm"), QStringLiteral("TAboutBox1"),
                                         QStringLiteral("TKECalc2"), QStringLiteral("TCustInfo")}));
    EXPECT_TRUE(seam.texts(Kind::Error).isEmpty()) << seam.texts(Kind::Error).join(QStringLiteral("\n")).toStdString();
}

TEST_F(SideCommandsTest, getSetupOnAnEmptyTable_saysSoWithoutOpeningTheLookup) {
    click("SpeedButton3");
    EXPECT_EQ(seam.texts(Kind::Information),
              QStringList{QStringLiteral("There are no records on file currently, use Save Setup first.")});
    EXPECT_TRUE(seam.dialogs.isEmpty());
}

TEST_F(SideCommandsTest, exportWritesTheFileBeforeSayingSo) {
    window->findChild<QAction*>(QStringLiteral("ExportCustomerDatabase1"))->trigger();
    EXPECT_EQ(seam.texts(Kind::Message),
              QStringList{QStringLiteral("File CUSTDB.TXT has been created\n") +
                          QString::fromStdString(fs::absolute(folder / "custdb.txt").lexically_normal().string())});
    EXPECT_TRUE(fs::exists(folder / "custdb.txt"));
}

} // namespace
} // namespace arrowsel::app
