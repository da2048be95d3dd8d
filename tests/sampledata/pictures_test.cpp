// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen/pictures.h"

#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>

namespace arrowsel::sampledata {
namespace {

TEST(SamplePictures, everyPicture_decodesAsJpegAtItsSize) {
    const std::filesystem::path dir = ARROWSEL_SAMPLEDATA_DIR;
    ASSERT_EQ(pictureFiles().size(), 20u);
    for (const auto& f : pictureFiles()) {
        QImageReader reader(QString::fromStdString((dir / f.name).string()));
        EXPECT_EQ(reader.format(), QByteArray("jpeg")) << f.name;
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << f.name << ": " << reader.errorString().toStdString();
        EXPECT_EQ(image.width(), f.width) << f.name;
        EXPECT_EQ(image.height(), f.height) << f.name;
    }
}

} // namespace
} // namespace arrowsel::sampledata
