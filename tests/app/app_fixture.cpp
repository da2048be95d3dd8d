// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/app/app_fixture.h"

#include "tests/support/chart_tables.h"

#include <fstream>
#include <vector>

namespace arrowsel::test {

using Row = TableRow;

AppFixture::AppFixture() {
    const auto& dir = dir_.path();
    std::vector<Row> hunt(20), targ(20), youth(12), orvk(20);
    for (int r = 1; r <= 20; ++r) {
        const std::string marker = "R" + std::to_string(r);
        hunt[std::size_t(r - 1)] = {{"SH1SIZE", marker}};
        orvk[std::size_t(r - 1)] = {{"SH1SIZE", marker}, {"SH1MODEL", "M"}};
        for (int c = 1; c <= 14; ++c) {
            targ[std::size_t(r - 1)]["SH" + std::to_string(c) + "SIZE"] = "c" + std::to_string(c);
            targ[std::size_t(r - 1)]["SH" + std::to_string(c) + "SPINE"] = " r" + std::to_string(r);
        }
    }
    for (int r = 1; r <= 12; ++r) {
        youth[std::size_t(r - 1)] = {{"SH1SIZE", "R" + std::to_string(r)}, {"SH1MODL", "M"}};
    }
    // Start row of the Hunting chart: cell 4 carbon, cell 9 carbon (its weight button opens the
    // carbon panel), cell 5 blank, cells 10 and 17 on the panel and below the grid.
    hunt[12] = {{"SH1SIZE", "2213"},     {"SH1SPINE", " .610 "}, {"SH2SIZE", "2315 x"}, {"SH2SPINE", ".510"},
                {"SH3SIZE", "2413"},     {"SH3SPINE", ".470"},   {"SH4SIZE", "3L-04"},  {"SH4SPINE", "caw"},
                {"SH6SIZE", "2314"},     {"SH6SPINE", ".560"},   {"SH9SIZE", "400"},    {"SH9SPINE", "caw"},
                {"SH10SIZE", "A/C 400"}, {"SH10SPINE", ".400"},  {"SH17SIZE", "340"},   {"SH17SPINE", ".340"}};
    youth[7] = {{"SH1SIZE", "1413"}, {"SH1MODL", " JR "}, {"SH3SIZE", "1516"}, {"SH3MODL", "GT"}};
    orvk[14] = {{"SH1SIZE", "O300"}, {"SH1MODEL", " CX "}, {"SH7SIZE", "O500"}, {"SH7MODEL", "FT"}};

    writeTable(dir / "HUNTCHRT.DBF", chartFields(17, "SPINE"), hunt);
    writeTable(dir / "Targchrt.dbf", chartFields(14, "SPINE"), targ);
    writeTable(dir / "YouthChrt.dbf", chartFields(8, "MODL"), youth);
    writeTable(dir / "ORVKCHRT.dbf", chartFields(7, "MODEL"), orvk);

    std::vector<Row> specs{
        {{"SPECKEY", "2213.610"}, {"SPINE", ".610"}, {"HMODELS", "XX75"}, {"TMODELS", "XX75"}, {"GPI", "8.80"}},
        {{"SPECKEY", "2315.510"}, {"SPINE", ".510"}, {"HMODELS", "RD,63"}, {"TMODELS", "RD"}, {"GPI", "8.80 9.90"}},
        {{"SPECKEY", "2413.470"}, {"SPINE", ".470"}, {"HMODELS", "XX78"}, {"TMODELS", "XX78"}, {"GPI", "9.10"}},
        {{"SPECKEY", "1413JR"}, {"SPINE", "1.000"}, {"HMODELS", "JR"}, {"TMODELS", "JR"}, {"GPI", "5.00"}},
        {{"SPECKEY", "O300CX"}, {"SPINE", ".300"}, {"HMODELS", "CX"}, {"TMODELS", "CX"}, {"GPI", "9.00"}},
        {{"SPECKEY", "ZZZZ"}, {"SPINE", "Z"}, {"HMODELS", "ZH"}, {"TMODELS", "ZT"}, {"GPI", "10"}},
    };
    writeSpecs(dir, specs);
    std::ofstream(dir / "invsel.txt", std::ios::binary) << kNotice << "\r\n";
}

} // namespace arrowsel::test
