// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/models_guide.h"
#include "calc/pictures.h"
#include "engine/file_lookup.h"
#include "tests/support/temp_dir.h"

#include <QImage>
#include <QImageReader>
#include <fstream>
#include <gtest/gtest.h>

namespace arrowsel::calc {
namespace {

TEST(JpegPictures, writtenJpegDecodesWithItsSize) {
    test::TempDir dir;
    QImage picture(150, 150, QImage::Format_RGB32);
    picture.fill(Qt::darkYellow);
    const auto file = dir / "frame.jpg";
    ASSERT_TRUE(picture.save(QString::fromStdString(file.string()), "JPEG"));
    QString error;
    const QImage decoded = readJpeg(file, &error);
    ASSERT_FALSE(decoded.isNull()) << error.toStdString();
    EXPECT_EQ(decoded.size(), QSize(150, 150));
}

TEST(JpegPictures, fileThatIsNoJpegIsRefused) {
    test::TempDir dir;
    const auto png = dir / "guide.jpg";
    ASSERT_TRUE(QImage(8, 8, QImage::Format_RGB32).save(QString::fromStdString(png.string()), "PNG"));
    EXPECT_TRUE(readJpeg(png).isNull());
    const auto cut = dir / "cut.jpg";
    std::ofstream(cut, std::ios::binary) << "\xFF\xD8\xFF\xE0 not much more";
    QString error;
    EXPECT_TRUE(readJpeg(cut, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(readJpeg(dir / "missing.jpg").isNull());
}

TEST(JpegPictures, pictureIsFoundWithoutRegardToLetterCase) {
    test::TempDir dir;
    QImage picture(10, 10, QImage::Format_RGB32);
    picture.fill(Qt::white);
    ASSERT_TRUE(picture.save(QString::fromStdString((dir / "GUIDE_HUNT.JPG").string()), "JPEG"));
    EXPECT_FALSE(folderPicture(dir.path(), guidePictureFile(1)).isNull());
}

// The pictures the sample-data generator writes into the build's data folder.
class GeneratedPictures : public testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::path(ARROWSEL_BINARY_DIR) / "sampledata" / "data";
        if (!std::filesystem::is_directory(folder)) {
            GTEST_SKIP() << "no generated data folder at " << folder;
        }
    }
    QImage picture(const std::string& name) {
        const auto file = engine::findFileNoCase(folder, name);
        EXPECT_TRUE(file) << name;
        if (!file) {
            return {};
        }
        QString error;
        QImage image = readJpeg(*file, &error);
        EXPECT_FALSE(image.isNull()) << name << ": " << error.toStdString();
        return image;
    }
    std::filesystem::path folder;
};

TEST_F(GeneratedPictures, guidePicturesDecodeAtTheirSizes) {
    const QSize sizes[] = {{1204, 1580}, {1200, 1559}, {1172, 1118}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(picture(guidePictureFile(i + 1)).size(), sizes[i]) << guidePictureFile(i + 1);
    }
}

TEST_F(GeneratedPictures, splashAndAboutPicturesDecode) {
    EXPECT_EQ(picture("splash.jpg").size(), QSize(400, 260));
    EXPECT_EQ(picture("about.jpg").size(), QSize(300, 160));
}

TEST_F(GeneratedPictures, calculatorPicturesDecodeAt150By150) {
    for (PictureList list : {PictureList::SmallImg, PictureList::MediumImg, PictureList::BigImg, PictureList::ToughImg,
                             PictureList::Tanks}) {
        for (int frame = 1; frame <= kEnergyFrames; ++frame) {
            EXPECT_EQ(picture(energyPictureFile(list, frame)).size(), QSize(150, 150))
                << energyPictureFile(list, frame);
        }
    }
}

} // namespace
} // namespace arrowsel::calc
