// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/gen/physics.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace arrowsel::sampledata {

// How a line's shafts are built and named.
//  - Aluminium: sizes "DDWW", outer diameter DD/64 in, wall WW/1000 in.
//  - Carbon: sizes are the spine in thousandths of an inch ("400" deflects 0.400 in); the wall is
//    whatever the line's fixed outer diameter needs for that spine.
//  - AluminiumCarbon: sizes as carbon; an aluminium core of fixed bore and wall under a carbon
//    wrap whose thickness gives the spine.
enum class ShaftKind { Aluminium, Carbon, AluminiumCarbon };

// What follows the size in the specification key: the spine text, or the line's code.
enum class KeyBy { Spine, Code };

struct Line {
    std::string code;
    std::string name;
    std::string brand;
    ShaftKind kind = ShaftKind::Aluminium;
    Material material;
    Material wrap;       // the carbon of an aluminium-carbon line
    double od = 0;       // carbon lines
    double coreId = 0;   // aluminium-carbon lines
    double coreWall = 0; // aluminium-carbon lines
    double coat = 0;     // film thickness of the coated twin (aluminium lines that have one), in
    Material film;
    KeyBy keyBy = KeyBy::Spine;
    std::string hmodels, tmodels;   // models texts of a shaft made in this line only
    std::string hmodels2, tmodels2; // models texts of a size also made as the coated twin
    double twinMaxWall = 0;         // the twin is made up to this wall
    int stockIn = 0;
    std::string arrowType;
    double point = 0, nock = 0, vanes = 0, insert = 0;
    std::vector<std::string> sizes;
};

struct Shaft {
    const Line* line = nullptr;
    std::string size;
    bool made = true; // false: listed on a chart for reference, no specification record
    double od = 0, id = 0, wall = 0;
    double spine = 0;   // deflection, in
    double gpi = 0;     // grains per inch of the plain shaft
    double gpiTwin = 0; // of the coated twin, 0 when there is none
    int stockIn = 0;

    bool twoModel() const { return gpiTwin > 0; }
    std::string spineText() const; // ".461", "1.910"
    std::string keyPart() const;   // spine text or line code
    std::string key() const { return size + keyPart(); }
    std::string gpiText() const; // "9.60" or, for two models, "9.60,9.98"
    std::string hmodels() const;
    std::string tmodels() const;
};

class Catalogue {
public:
    // Reads materials.csv and lines.csv from the source folder and builds every shaft.
    static Catalogue load(const std::filesystem::path& sourceDir);

    // Shafts point into the catalogue's lines: moving keeps them valid, copying would not.
    Catalogue() = default;
    Catalogue(Catalogue&&) = default;
    Catalogue& operator=(Catalogue&&) = default;
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    const std::vector<Shaft>& shafts() const { return shafts_; }
    std::vector<const Shaft*> line(const std::string& code) const;
    const Line& lineInfo(const std::string& code) const;

private:
    std::vector<Line> lines_;
    std::vector<Shaft> shafts_;
};

// Builds one shaft of a line from its size text; throws std::runtime_error when the size cannot
// be made (a bad size text, or a spine the line's diameter cannot reach).
Shaft makeShaft(const Line& line, const std::string& size);

// Numbers as the tables show them: fixed decimals, "." as separator.
std::string fixed(double value, int decimals);

} // namespace arrowsel::sampledata
