// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calc/kinetic_energy.h"

#include <QImage>
#include <QList>
#include <QPixmap>
#include <cstdint>
#include <filesystem>
#include <string>

namespace arrowsel::calc {

// File names, in the data folder, of the calculator's and the models guide's JPEG pictures. The
// sample-data generator writes them; names are matched without regard to letter case.
std::string guidePictureFile(int picture);                  // 1 hunting, 2 target/youth, 3 Orvik
std::string energyPictureFile(PictureList list, int frame); // frames 1 to 3
inline constexpr int kEnergyFrames = 3;

// Decodes a JPEG file through the JPEG image plugin (libjpeg), scaled to fit `scaledTo` when that
// is valid. A null image when the file is missing, not a regular file, larger than
// kMaxPictureBytes or no JPEG; `error` then says why.
inline constexpr std::uint64_t kMaxPictureBytes = std::uint64_t{32} << 20;
QImage readJpeg(const std::filesystem::path& file, QString* error = nullptr, QSize scaledTo = {});

// The picture `name` of `folder`, or a null pixmap.
QPixmap folderPicture(const std::filesystem::path& folder, const std::string& name);

// The three frames of a picture list; missing frames are left out.
QList<QPixmap> energyPictures(const std::filesystem::path& folder, PictureList list);

} // namespace arrowsel::calc
