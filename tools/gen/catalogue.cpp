// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen/catalogue.h"

#include "tools/gen/csv.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace arrowsel::sampledata {

std::string fixed(double value, int decimals) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    return std::string(buf, r.ptr);
}

namespace {

// Two-model GPI texts hold each value in four characters.
std::string fourChars(double v) {
    std::string s = v < 9.995 ? fixed(v, 2) : fixed(v, 1);
    if (s.size() != 4) {
        throw std::runtime_error("grains per inch " + s + " does not fit four characters");
    }
    return s;
}

int digits(const std::string& s, std::size_t from, std::size_t count, const std::string& context) {
    int v = 0;
    const auto* first = s.data() + from;
    const auto [ptr, ec] = std::from_chars(first, first + count, v);
    if (ec != std::errc() || ptr != first + count) {
        throw std::runtime_error(context + ": '" + s + "' is not a size");
    }
    return v;
}

ShaftKind kindFrom(const std::string& s) {
    if (s == "aluminium") {
        return ShaftKind::Aluminium;
    }
    if (s == "carbon") {
        return ShaftKind::Carbon;
    }
    if (s == "aluminium-carbon") {
        return ShaftKind::AluminiumCarbon;
    }
    throw std::runtime_error("lines.csv: unknown kind '" + s + "'");
}

std::vector<std::string> words(const std::string& s) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < s.size()) {
        const auto b = s.find_first_not_of(' ', pos);
        if (b == std::string::npos) {
            break;
        }
        auto e = s.find(' ', b);
        if (e == std::string::npos) {
            e = s.size();
        }
        out.push_back(s.substr(b, e - b));
        pos = e;
    }
    return out;
}

} // namespace

std::string Shaft::spineText() const {
    std::string s = fixed(spine, 3);
    if (s.rfind("0.", 0) == 0) {
        s.erase(0, 1);
    }
    return s;
}

std::string Shaft::keyPart() const {
    return line->keyBy == KeyBy::Spine ? spineText() : line->code;
}

std::string Shaft::gpiText() const {
    return twoModel() ? fourChars(gpi) + "," + fourChars(gpiTwin) : fixed(gpi, 2);
}

std::string Shaft::hmodels() const {
    return twoModel() ? line->hmodels2 : line->hmodels;
}

std::string Shaft::tmodels() const {
    return twoModel() ? line->tmodels2 : line->tmodels;
}

Shaft makeShaft(const Line& line, const std::string& sizeText) {
    Shaft s;
    s.line = &line;
    s.size = sizeText;
    if (!s.size.empty() && s.size.back() == '~') {
        s.size.pop_back();
        s.made = false;
    }
    const std::string context = "line " + line.code;
    s.stockIn = line.stockIn;
    switch (line.kind) {
    case ShaftKind::Aluminium: {
        if (s.size.size() != 4) {
            throw std::runtime_error(context + ": '" + s.size + "' is not a four-digit size");
        }
        s.od = digits(s.size, 0, 2, context) / 64.0;
        s.wall = digits(s.size, 2, 2, context) / 1000.0;
        s.id = s.od - 2 * s.wall;
        s.gpi = grainsPerInch(s.od, s.id, line.material);
        s.spine = spineDeflection(line.material.modulus * tubeSecondMoment(s.od, s.id));
        if (line.coat > 0 && s.wall <= line.twinMaxWall + 1e-9) {
            s.gpiTwin = s.gpi + kPi * s.od * line.coat * line.film.density * kGrainsPerPound;
        }
        // Larger tubes are drawn in longer stock.
        if (s.od >= 23 / 64.0 - 1e-9) {
            s.stockIn = line.stockIn + 2;
        } else if (s.od >= 20 / 64.0 - 1e-9) {
            s.stockIn = line.stockIn + 1;
        }
        break;
    }
    case ShaftKind::Carbon: {
        s.spine = digits(s.size, 0, s.size.size(), context) / 1000.0;
        s.od = line.od;
        s.id = innerDiameterForStiffness(s.od, stiffnessForSpine(s.spine), line.material);
        if (s.id <= 0) {
            throw std::runtime_error(context + ": spine " + s.size + " needs more than a solid rod");
        }
        s.wall = (s.od - s.id) / 2;
        s.gpi = grainsPerInch(s.od, s.id, line.material);
        break;
    }
    case ShaftKind::AluminiumCarbon: {
        s.spine = digits(s.size, 0, s.size.size(), context) / 1000.0;
        s.id = line.coreId;
        const double coreOd = line.coreId + 2 * line.coreWall;
        const double coreEi = line.material.modulus * tubeSecondMoment(coreOd, s.id);
        const double wrapEi = stiffnessForSpine(s.spine) - coreEi;
        if (wrapEi <= 0) {
            throw std::runtime_error(context + ": the core alone is stiffer than spine " + s.size);
        }
        s.od = wrapDiameterForStiffness(coreOd, wrapEi, line.wrap);
        s.wall = (s.od - s.id) / 2;
        s.gpi = grainsPerInch(coreOd, s.id, line.material) + grainsPerInch(s.od, coreOd, line.wrap);
        break;
    }
    }
    return s;
}

Catalogue Catalogue::load(const std::filesystem::path& sourceDir) {
    const auto materials = CsvTable::read(sourceDir / "materials.csv");
    std::map<std::string, Material> byName;
    for (std::size_t i = 0; i < materials.size(); ++i) {
        byName[materials.at(i, "material")] =
            materialFromMetric(materials.number(i, "density_g_cm3"), materials.number(i, "modulus_gpa"));
    }
    auto material = [&](const std::string& name) -> Material {
        if (name.empty()) {
            return {};
        }
        const auto it = byName.find(name);
        if (it == byName.end()) {
            throw std::runtime_error("lines.csv: unknown material '" + name + "'");
        }
        return it->second;
    };

    const auto t = CsvTable::read(sourceDir / "lines.csv");
    Catalogue c;
    c.lines_.reserve(t.size());
    for (std::size_t i = 0; i < t.size(); ++i) {
        Line l;
        l.code = t.at(i, "code");
        l.name = t.at(i, "name");
        l.brand = t.at(i, "brand");
        l.kind = kindFrom(t.at(i, "kind"));
        l.material = material(t.at(i, "material"));
        l.wrap = material(t.at(i, "wrap"));
        l.film = material(t.at(i, "film"));
        auto optional = [&](const char* col) { return t.at(i, col).empty() ? 0.0 : t.number(i, col); };
        l.od = optional("od_in");
        l.coreId = optional("core_id_in");
        l.coreWall = optional("core_wall_in");
        l.coat = optional("film_in");
        l.twinMaxWall = optional("twin_max_wall_in");
        l.keyBy = t.at(i, "key") == "code" ? KeyBy::Code : KeyBy::Spine;
        l.hmodels = t.at(i, "hmodels");
        l.tmodels = t.at(i, "tmodels");
        l.hmodels2 = t.at(i, "hmodels_twin");
        l.tmodels2 = t.at(i, "tmodels_twin");
        l.stockIn = static_cast<int>(t.number(i, "stock_in"));
        l.arrowType = t.at(i, "arrowtype");
        l.point = t.number(i, "point_gr");
        l.nock = t.number(i, "nock_gr");
        l.vanes = t.number(i, "vanes_gr");
        l.insert = t.number(i, "insert_gr");
        l.sizes = words(t.at(i, "sizes"));
        c.lines_.push_back(std::move(l));
    }
    for (const auto& l : c.lines_) {
        for (const auto& size : l.sizes) {
            c.shafts_.push_back(makeShaft(l, size));
        }
    }
    return c;
}

std::vector<const Shaft*> Catalogue::line(const std::string& code) const {
    std::vector<const Shaft*> out;
    for (const auto& s : shafts_) {
        if (s.line->code == code) {
            out.push_back(&s);
        }
    }
    return out;
}

const Line& Catalogue::lineInfo(const std::string& code) const {
    for (const auto& l : lines_) {
        if (l.code == code) {
            return l;
        }
    }
    throw std::runtime_error("no line '" + code + "' in lines.csv");
}

} // namespace arrowsel::sampledata
