// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the sample data folder: arrowsel-sampledata <source folder> <output folder>.
#include "tools/gen/pictures.h"
#include "tools/gen/tables.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <source folder> <output folder>\n", argv[0]);
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    try {
        QGuiApplication app(argc, argv);
        const std::filesystem::path source = argv[1];
        const std::filesystem::path out = argv[2];
        arrowsel::sampledata::writeDataFiles(source, out);
        std::string missing;
        if (!arrowsel::sampledata::loadPictureFonts(&missing)) {
            std::fprintf(stderr, "font file missing: %s (install fonts-dejavu-core)\n", missing.c_str());
            return 1;
        }
        arrowsel::sampledata::writePictures(arrowsel::sampledata::Catalogue::load(source), out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "arrowsel-sampledata: %s\n", e.what());
        return 1;
    }
    return 0;
}
