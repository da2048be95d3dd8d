// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the data folders of the pinned sweep that the sample data cannot give: a GPI text that is
// no number at each cell of each page, two-model and carbon cells, seeks that miss and land on the
// last record, and setups whose notice starts a nested run. Prints one line per run to make,
// "<folder>\t<option>\t<value>...", for recommend_sweep.py.
//
// usage: sweep_fixtures OUTDIR

#include "engine/selection.h"
#include "tests/support/chart_tables.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using arrowsel::engine::Page;
using arrowsel::test::TableRow;

constexpr int kRows = 20;
constexpr std::array<const char*, 4> kLetters{"H", "T", "Y", "B"};
constexpr std::array<const char*, 4> kSecond{"SPINE", "SPINE", "MODL", "MODEL"};
constexpr std::array<int, 4> kColumns{17, 14, 8, 7};
// Texts a GPI field may hold that are no number, by turn.
constexpr std::array<const char*, 4> kBadGpi{"7.10,8.20", "", "9.0x", "abc"};

std::string two(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

struct Folder {
    std::string name;
    std::array<std::vector<TableRow>, 4> rows;
    std::vector<TableRow> specs;
    std::vector<std::vector<std::string>> runs;

    explicit Folder(std::string folderName) : name(std::move(folderName)) {
        for (std::size_t p = 0; p < rows.size(); ++p) {
            rows[p].resize(kRows);
        }
        // Rows the fixtures leave alone show which row a run went to, as markers that miss.
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
        // The last key in index order: where every seek that misses lands.
        spec("zzzz", ".999", "ZH", "ZT", "10");
    }

    TableRow& row(Page page, int r) { return rows[static_cast<std::size_t>(page)][static_cast<std::size_t>(r - 1)]; }

    void spec(const std::string& key, const std::string& spine, const std::string& hmodels, const std::string& tmodels,
              const std::string& gpi) {
        specs.push_back({{"SPECKEY", key}, {"SPINE", spine}, {"HMODELS", hmodels}, {"TMODELS", tmodels}, {"GPI", gpi}});
    }

    // Sets chart column `c` of row `r` to a shaft of its own; returns its key.
    std::string column(Page page, int r, int c, const std::string& second = {}) {
        const auto p = static_cast<std::size_t>(page);
        const std::string size = kLetters[p] + two(r) + two(c);
        const std::string secondText = second.empty() ? "S" + two(c) : second;
        row(page, r)["SH" + std::to_string(c) + "SIZE"] = size;
        row(page, r)["SH" + std::to_string(c) + kSecond[p]] = secondText;
        return size + secondText;
    }

    // Fills every column of row `r` with a shaft found in the specifications; the column `bad`
    // (0: none) gets a GPI that is no number.
    void shaftRow(Page page, int r, int bad = 0) {
        const auto p = static_cast<std::size_t>(page);
        for (int c = 1; c <= kColumns[p]; ++c) {
            const std::string key = column(page, r, c);
            const std::string gpi = c == bad ? kBadGpi[static_cast<std::size_t>(c) % kBadGpi.size()]
                                             : std::to_string(6 + c % 5) + "." + two(c * 7 % 100);
            spec(key, "." + two(r) + two(c), "HM" + two(c), "TM" + two(c), gpi);
        }
    }

    void run(std::vector<std::string> args) { runs.push_back(std::move(args)); }

    void write(const fs::path& out) const {
        using arrowsel::test::chartFields;
        using arrowsel::test::writeTable;
        const fs::path dir = out / name;
        fs::create_directories(dir);
        writeTable(dir / "HUNTCHRT.DBF", chartFields(17, "SPINE"), rows[0]);
        writeTable(dir / "Targchrt.dbf", chartFields(14, "SPINE"), rows[1]);
        writeTable(dir / "YouthChrt.dbf", chartFields(8, "MODL"), rows[2]);
        writeTable(dir / "ORVKCHRT.dbf", chartFields(7, "MODEL"), rows[3]);
        arrowsel::test::writeSpecs(dir, specs);
        std::ofstream(dir / "invsel.txt", std::ios::binary) << "Your setup is off the chart.\r\n";
        for (const auto& args : runs) {
            std::string line = name;
            for (const std::string& a : args) {
                line += '\t' + a;
            }
            std::puts(line.c_str());
        }
    }
};

// The row each page's start setup goes to, and the options that lead there (Target with wheel 2
// takes all thirteen columns as they stand).
struct StartRow {
    Page page;
    int row;
    std::vector<std::string> options;
};
const StartRow kStarts[] = {
    {Page::Hunt, 13, {"--page", "Hunt"}},
    {Page::Targ, 13, {"--page", "Targ", "--wheel", "2"}},
    {Page::Youth, 8, {"--page", "Youth"}},
    {Page::Orvk, 15, {"--page", "Orvk"}},
};

std::vector<Folder> folders() {
    std::vector<Folder> all;
    // A GPI that is no number at each cell of each page.
    for (const StartRow& start : kStarts) {
        const auto p = static_cast<std::size_t>(start.page);
        const int cells = arrowsel::engine::cellCount(start.page);
        for (int k = 1; k <= cells; ++k) {
            Folder& f = all.emplace_back(std::string("bad-gpi-") + kLetters[p] + two(k));
            f.shaftRow(start.page, start.row, k);
            f.run(start.options);
        }
    }

    {
        // Two-model cells of the Hunting page: both weights; a second figure that is no number; a
        // record too short for a second figure; the model in a cell past 4, read as one number.
        Folder& f = all.emplace_back("two-model-hunt");
        for (int r : {10, 11, 12, 13}) {
            f.shaftRow(Page::Hunt, r);
        }
        f.spec(f.column(Page::Hunt, 10, 1, "TM"), ".10", "RD,63", "", "8.80,9.90");
        f.spec(f.column(Page::Hunt, 10, 4, "TM"), ".10", "RD,63", "", " 9.1, 9.2");
        f.spec(f.column(Page::Hunt, 13, 1, "TM"), ".13", "RD,63", "", "8.80,9.90");
        f.spec(f.column(Page::Hunt, 13, 3, "TM"), ".13", "RD,63", "", "8.80,x.90");
        f.spec(f.column(Page::Hunt, 12, 2, "TM"), ".12", "RD,63", "", "8.80");
        f.spec(f.column(Page::Hunt, 11, 5, "TM"), ".11", "RD,63", "", "8.80,9.90");
        for (const char* w : {"45", "50", "55", "60"}) {
            f.run({"--page", "Hunt", "--bow-weight", w});
        }
    }
    {
        // Two-model cells of the Target page: single weights in cells 1 to 6, both from cell 7.
        Folder& f = all.emplace_back("two-model-targ");
        for (int r : {12, 13}) {
            f.shaftRow(Page::Targ, r);
        }
        f.spec(f.column(Page::Targ, 13, 6, "600"), ".600", "", "N4,63", "9.00");
        f.spec(f.column(Page::Targ, 13, 7, "700"), ".700", "", "N4,63", "9.00,10.0");
        f.spec(f.column(Page::Targ, 13, 9, "900"), ".900", "", "N4,63", "9.00,1o.0");
        f.row(Page::Targ, 12)["SH5SIZE"] = "1816";
        f.row(Page::Targ, 12)["SH5SPINE"] = "700";
        f.spec("1816700", ".700", "", "N4,63", "7.10,8.20");
        f.run({"--page", "Targ", "--wheel", "2"});
        f.run({"--page", "Targ", "--wheel", "2", "--bow-weight", "55"});
    }
    {
        // Carbon cells (4 to 10) around a GPI that is no number; the marker outside 4 to 10 is sought.
        Folder& f = all.emplace_back("carbon");
        f.shaftRow(Page::Hunt, 13, 5);
        for (int c : {4, 6, 10}) {
            f.column(Page::Hunt, 13, c, "caw");
        }
        f.shaftRow(Page::Hunt, 12, 11);
        for (int c = 4; c <= 10; ++c) {
            f.column(Page::Hunt, 12, c, "caw");
        }
        f.column(Page::Hunt, 12, 3, "caw");
        f.run({"--page", "Hunt"});
        f.run({"--page", "Hunt", "--bow-weight", "55"});
    }
    {
        // Seeks that miss show the last record in index order; here its GPI is no number.
        Folder& f = all.emplace_back("miss-last-bad");
        f.specs.clear();
        f.spec("zzzz", ".999", "ZH", "ZT", "9,99");
        for (const StartRow& start : kStarts) {
            f.shaftRow(start.page, start.row);
            f.column(start.page, start.row, 3, "QQ"); // no such key
            f.run(start.options);
        }
    }
    {
        Folder& f = all.emplace_back("miss-last-good");
        for (const StartRow& start : kStarts) {
            f.shaftRow(start.page, start.row);
            f.column(start.page, start.row, 2, "QQ");
            f.run(start.options);
        }
    }
    for (const bool bad : {false, true}) {
        // Setups off the chart: the notice puts the default weight back and the nested run fills
        // the grid, then the outer run goes on (Target: blanks it). With `bad`, the nested run's row
        // holds a GPI that is no number at cell 3, which ends both runs.
        Folder& f = all.emplace_back(bad ? "nested-bad" : "nested");
        const int cell = bad ? 3 : 0;
        f.shaftRow(Page::Hunt, 6, cell); // weight 60 at length 23
        f.shaftRow(Page::Targ, 15, cell);
        f.shaftRow(Page::Youth, 4, cell); // youth weight 30 at length 21
        f.shaftRow(Page::Orvk, 15, cell);
        f.shaftRow(Page::Hunt, 1, cell); // where a fresh chart table stands
        f.run({"--page", "Hunt", "--arrow-length", "23", "--bow-weight", "20"});
        f.run({"--page", "Hunt", "--arrow-length", "40"});                       // already "60": no nested run
        f.run({"--page", "Hunt", "--arrow-length", "40", "--bow-weight", "40"}); // nested: a notice too
        f.run({"--page", "Targ", "--bow-weight", "20"});
        f.run({"--page", "Youth", "--youth-bow-weight", "45", "--youth-arrow-length", "21"});
        f.run({"--page", "Orvk", "--bow-weight", "7"});
        f.run({"--page", "Orvk", "--bow-weight", "60", "--arrow-length", "40"}); // no nested run
    }
    return all;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: sweep_fixtures OUTDIR\n", stderr);
        return 64;
    }
    const fs::path out = argv[1];
    fs::remove_all(out);
    for (const Folder& f : folders()) {
        f.write(out);
    }
    return 0;
}
