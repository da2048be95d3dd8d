// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/about_box1.h"
#include "calc/pictures.h"
#include "tests/support/recording_seam.h"
#include "tests/support/temp_dir.h"
#include "ui/message_seam.h"
#include "widgets/link_label.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace arrowsel::calc {
namespace {

const char* const kImages[] = {"Image1", "Image2", "Image3"};
const char* const kLinks[] = {"HyperLblHunt", "HyperLblTarg", "HyperLblYouth", "HyperLblOrvik"};

class ModelsGuideWindow : public testing::Test {
protected:
    ModelsGuideWindow() {
        folder = dir.path();
        // Small stand-ins with the guide's colours told apart, so the right picture is checkable.
        const QColor colors[] = {Qt::darkGreen, Qt::darkBlue, Qt::darkRed};
        for (int i = 0; i < 3; ++i) {
            QImage picture(64, 48, QImage::Format_RGB32);
            picture.fill(colors[i]);
            picture.save(QString::fromStdString((dir / guidePictureFile(i + 1)).string()), "JPEG");
        }
    }

    // Activation as the window system delivers it.
    void activate(TAboutBox1& box) {
        QEvent activation(QEvent::WindowActivate);
        QApplication::sendEvent(&box, &activation);
    }

    QStringList shown(TAboutBox1& box, const char* const* names, int count) {
        QStringList result;
        for (int i = 0; i < count; ++i) {
            auto* w = box.findChild<QWidget*>(QString::fromLatin1(names[i]));
            EXPECT_NE(w, nullptr) << names[i];
            if (w && !w->isHidden()) {
                result << QString::fromLatin1(names[i]);
            }
        }
        return result;
    }

    test::TempDir dir;
    std::filesystem::path folder;
    test::RecordingSeam seam;
};

struct TagCase {
    const char* tag;
    const char* image;
    const char* caption;
    const char* link;
};

class ModelsGuideForTag : public ModelsGuideWindow, public testing::WithParamInterface<TagCase> {};

TEST_P(ModelsGuideForTag, activationShowsThePagesPictureCaptionAndLink) {
    TAboutBox1 box(folder, GetParam().tag);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("2009 Shaft Models Guide"));
    EXPECT_TRUE(shown(box, kImages, 3).isEmpty());

    activate(box);
    EXPECT_EQ(box.windowTitle(), QString::fromLatin1(GetParam().caption));
    EXPECT_EQ(shown(box, kImages, 3), QStringList{QString::fromLatin1(GetParam().image)});
    EXPECT_EQ(shown(box, kLinks, 4), QStringList{QString::fromLatin1(GetParam().link)});
    auto* image = box.findChild<QLabel*>(QString::fromLatin1(GetParam().image));
    EXPECT_FALSE(image->pixmap().isNull());

    // Coming back from another program gives the same result.
    activate(box);
    EXPECT_EQ(shown(box, kImages, 3), QStringList{QString::fromLatin1(GetParam().image)});
    EXPECT_EQ(shown(box, kLinks, 4), QStringList{QString::fromLatin1(GetParam().link)});
}

INSTANTIATE_TEST_SUITE_P(
    Tags, ModelsGuideForTag,
    testing::Values(TagCase{"Hunt", "Image1", "2009 Hunting Shaft Models Guide", "HyperLblHunt"},
                    TagCase{"Targ", "Image2", "2009 Target/Youth Shaft Models Guide", "HyperLblTarg"},
                    TagCase{"Youth", "Image2", "2009 Target/Youth Shaft Models Guide", "HyperLblYouth"},
                    TagCase{"Orvk", "Image3", "2009 Orvik Shaft Models Guide", "HyperLblOrvik"}),
    [](const testing::TestParamInfo<TagCase>& row) { return std::string(row.param.tag); });

TEST_F(ModelsGuideWindow, unknownTagLeavesEverythingHiddenUnderTheGeneralCaption) {
    for (const char* tag : {"", "Target", "hunt"}) {
        TAboutBox1 box(folder, tag);
        activate(box);
        EXPECT_EQ(box.windowTitle(), QStringLiteral("2009 Shaft Models Guide")) << tag;
        EXPECT_TRUE(shown(box, kImages, 3).isEmpty()) << tag;
        EXPECT_TRUE(shown(box, kLinks, 4).isEmpty()) << tag;
    }
}

TEST_F(ModelsGuideWindow, clickedLinkOpensItsAddress) {
    TAboutBox1 box(folder, "Orvk");
    activate(box);
    auto* link = box.findChild<widgets::TLinkLabel*>(QStringLiteral("HyperLblOrvik"));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->text(), QStringLiteral("Orvik Online Shafts Guide"));
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(seam.urls.size(), 1u);
    EXPECT_EQ(seam.urls.front(), link->url());
    EXPECT_TRUE(link->url().host().endsWith(QStringLiteral("example.com")));
}

TEST_F(ModelsGuideWindow, scrollRangeFollowsThePictureShown_linksKeepAMargin_pressedLinkTurnsRed) {
    // The guide pictures at their own sizes: the hunting one is the largest.
    const QSize sizes[] = {{1204, 1580}, {1200, 1559}, {1172, 1118}};
    for (int i = 0; i < 3; ++i) {
        QImage picture(sizes[i], QImage::Format_RGB32);
        picture.fill(Qt::gray);
        picture.save(QString::fromStdString((dir / guidePictureFile(i + 1)).string()), "JPEG");
    }
    TAboutBox1 box(folder, "Orvk");
    box.show();
    activate(box);
    QApplication::processEvents();
    auto* scroll = box.findChild<QScrollArea*>(QStringLiteral("ScrollBox1"));
    ASSERT_NE(scroll, nullptr);
    const QSize viewport = scroll->viewport()->size();
    EXPECT_EQ(scroll->widget()->size(), sizes[2]);
    EXPECT_EQ(scroll->verticalScrollBar()->maximum(), sizes[2].height() - viewport.height());
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), sizes[2].width() - viewport.width());

    auto* link = box.findChild<widgets::TLinkLabel*>(QStringLiteral("HyperLblOrvik"));
    const QRect linkRect(link->mapTo(&box, QPoint(0, 0)), link->size());
    EXPECT_GE(linkRect.left(), 8);
    EXPECT_LE(linkRect.bottom(), box.height() - 8);
    const QColor blue = link->palette().color(QPalette::WindowText);
    QTest::mousePress(link, Qt::LeftButton);
    EXPECT_EQ(link->palette().color(QPalette::WindowText).red(), 0xCC);
    QTest::mouseRelease(link, Qt::LeftButton);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), blue);
}

TEST_F(ModelsGuideWindow, missingPicturesLeaveTheWindowUsable) {
    folder = dir / "empty";
    TAboutBox1 box(folder, "Targ");
    activate(box);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("2009 Target/Youth Shaft Models Guide"));
    EXPECT_TRUE(box.findChild<QLabel*>(QStringLiteral("Image2"))->pixmap().isNull());
}

} // namespace
} // namespace arrowsel::calc
