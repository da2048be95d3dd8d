// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/gen/catalogue.h"

#include <filesystem>
#include <string>
#include <vector>

class QImage;

namespace arrowsel::sampledata {

// The pictures of the data folder, all JPEG, beside the tables:
//   splash.jpg 400 x 260, about.jpg 300 x 160  the start-up window and the about box
//   ke_<list><1..3>.jpg, 150 x 150             the calculator's lists small, medium, big, tough, tanks
//   guide_hunt.jpg           1204 x 1580       models guide of the Hunting page
//   guide_target_youth.jpg   1200 x 1559       models guide of the Target and Youth pages
//   guide_orvik.jpg          1172 x 1118       models guide of the Orvik page
// Drawing uses only the fonts loaded from the files below and fixed JPEG settings, so a build
// writes the same bytes every time. Needs a QGuiApplication (the offscreen platform will do).
struct PictureFile {
    std::string name;
    int width = 0;
    int height = 0;
};
const std::vector<PictureFile>& pictureFiles();

inline constexpr int kJpegQuality = 90;

// Loads the fonts; false when a font file is missing.
bool loadPictureFonts(std::string* missing);
void writePictures(const Catalogue& c, const std::filesystem::path& picturesDir);

} // namespace arrowsel::sampledata
