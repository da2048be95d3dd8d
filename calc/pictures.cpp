// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/pictures.h"

#include "data/new_file.h"
#include "data/table_error.h"
#include "engine/file_lookup.h"

#include <QBuffer>
#include <QImageReader>

namespace arrowsel::calc {

std::string guidePictureFile(int picture) {
    switch (picture) {
    case 1:
        return "guide_hunt.jpg";
    case 2:
        return "guide_target_youth.jpg";
    case 3:
        return "guide_orvik.jpg";
    default:
        return {};
    }
}

std::string energyPictureFile(PictureList list, int frame) {
    static const char* const stems[] = {"ke_small", "ke_medium", "ke_big", "ke_tough", "ke_tanks"};
    return std::string(stems[static_cast<int>(list)]) + std::to_string(frame) + ".jpg";
}

QImage readJpeg(const std::filesystem::path& file, QString* error, QSize scaledTo) {
    // Read by the path's bytes (a folder named in Latin-1 cannot pass through a QString), without
    // waiting on a pipe and only up to a size no picture of ours comes near.
    QByteArray bytes;
    try {
        const std::string read = data::readBoundedFile(file, kMaxPictureBytes);
        bytes = QByteArray(read.data(), static_cast<qsizetype>(read.size()));
    } catch (const data::ETableError& e) {
        if (error) {
            *error = QString::fromUtf8(e.what());
        }
        return {};
    }
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    // The format is forced so that a file which is no JPEG fails here instead of being decoded
    // by whichever plugin recognises it.
    QImageReader reader(&in, "jpeg");
    if (scaledTo.isValid()) {
        if (const QSize full = reader.size(); full.isValid()) {
            reader.setScaledSize(full.scaled(scaledTo, Qt::KeepAspectRatio));
        }
    }
    QImage image = reader.read();
    if (image.isNull() && error) {
        *error = reader.errorString();
    }
    return image;
}

QPixmap folderPicture(const std::filesystem::path& folder, const std::string& name) {
    const auto file = engine::findFileNoCase(folder, name);
    if (!file) {
        return {};
    }
    return QPixmap::fromImage(readJpeg(*file));
}

QList<QPixmap> energyPictures(const std::filesystem::path& folder, PictureList list) {
    QList<QPixmap> frames;
    for (int frame = 1; frame <= kEnergyFrames; ++frame) {
        QPixmap picture = folderPicture(folder, energyPictureFile(list, frame));
        if (!picture.isNull()) {
            frames << picture;
        }
    }
    return frames;
}

} // namespace arrowsel::calc
