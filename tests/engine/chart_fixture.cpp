// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/engine/chart_fixture.h"

#include "tests/support/chart_tables.h"

#include <fstream>

namespace arrowsel::test {

using engine::Page;

namespace {

constexpr int kRows = 20;

} // namespace

ChartFixture::ChartFixture() {
    for (auto& rows : rows_) {
        rows.resize(kRows);
    }
    for (int r = 1; r <= kRows; ++r) {
        const std::string marker = "R" + std::to_string(r);
        row(Page::Hunt, r)["SH1SIZE"] = marker;
        row(Page::Youth, r) = {{"SH1SIZE", marker}, {"SH1MODL", "M"}};
        row(Page::Orvk, r) = {{"SH1SIZE", marker}, {"SH1MODEL", "M"}};
        for (int c = 1; c <= 14; ++c) {
            row(Page::Targ, r)["SH" + std::to_string(c) + "SIZE"] = "c" + std::to_string(c);
            row(Page::Targ, r)["SH" + std::to_string(c) + "SPINE"] = "r" + std::to_string(r);
        }
    }
    specs_.push_back({"zzzz", "ZSPINE", "ZH", "ZT", "10"});
}

void ChartFixture::write() {
    const auto& dir = dir_.path();
    writeTable(dir / "HUNTCHRT.DBF", chartFields(17, "SPINE", 8), rows_[0]);
    writeTable(dir / "Targchrt.dbf", chartFields(14, "SPINE", 8), rows_[1]);
    writeTable(dir / "YouthChrt.dbf", chartFields(8, "MODL", 8), rows_[2]);
    writeTable(dir / "ORVKCHRT.dbf", chartFields(7, "MODEL", 8), rows_[3]);

    std::vector<TableRow> specRows;
    for (const Spec& s : specs_) {
        specRows.push_back(
            {{"SPECKEY", s.key}, {"SPINE", s.spine}, {"HMODELS", s.hmodels}, {"TMODELS", s.tmodels}, {"GPI", s.gpi}});
    }
    writeSpecs(dir, specRows);

    if (writeNotice) {
        std::ofstream(dir / "invsel.txt", std::ios::binary) << notice << "\r\nsecond line\r\n";
    }
}

} // namespace arrowsel::test
