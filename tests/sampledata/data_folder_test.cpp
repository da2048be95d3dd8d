// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbf_table.h"
#include "tests/support/temp_dir.h"
#include "tools/gen/tables.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>

namespace arrowsel::sampledata {
namespace {

using data::TDbfTable;

const std::filesystem::path kFolder = ARROWSEL_SAMPLEDATA_DIR;

std::string trim(std::string_view s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) {
        return {};
    }
    return std::string(s.substr(b, s.find_last_not_of(' ') - b + 1));
}

std::string cutAtBlank(const std::string& s) {
    return s.substr(0, s.find(' '));
}

bool isNumber(std::string_view s) {
    double v = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return !s.empty() && ec == std::errc() && ptr == s.data() + s.size();
}

double number(std::string_view s) {
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

std::string bytes(const std::filesystem::path& f) {
    std::ifstream in(f, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// One chart cell as the program reads it: what it shows and the key it seeks.
struct Lookup {
    std::string chart;
    int row = 0;
    int cell = 0;
    std::string key;
};

class SampleDataFolder : public ::testing::Test {
protected:
    void SetUp() override {
        specs.open(kFolder / "Specs.DBF", TDbfTable::OpenMode::ReadOnly);
        specs.openIndexFile("specs.idx");
    }

    // Seeks `key` and returns the record's GPI text; records a failure when the key is missing
    // or the seek lands on another key.
    std::string seekGpi(const Lookup& l, std::string* models = nullptr) {
        const bool found = specs.seek(l.key);
        EXPECT_TRUE(found) << l.chart << " row " << l.row << " cell " << l.cell << ": '" << l.key << "'";
        EXPECT_EQ(trim(specs.fieldText(kSpecsKeyField)), l.key) << l.chart << " row " << l.row << " cell " << l.cell;
        if (models) {
            *models = trim(specs.fieldText("HMODELS"));
        }
        return trim(specs.fieldText("GPI"));
    }

    std::string field(TDbfTable& t, int n, const char* what) { return t.fieldText("SH" + std::to_string(n) + what); }

    TDbfTable specs;
};

TEST_F(SampleDataFolder, huntingCells_seekTheirShaftsAndCoverEverySpecialPath) {
    TDbfTable t;
    t.open(kFolder / "HUNTCHRT.DBF", TDbfTable::OpenMode::ReadOnly);
    ASSERT_GE(t.recordCount(), 18u);
    EXPECT_EQ(t.fields().size(), 34u);
    int twoModel = 0, carbon = 0, noted = 0, blank = 0;
    for (std::uint32_t r = 1; r <= t.recordCount(); ++r) {
        t.go(r);
        for (int n = 1; n <= 17; ++n) {
            const std::string raw = field(t, n, "SIZE");
            if (trim(raw).empty()) {
                ++blank;
                continue;
            }
            const std::string spine = trim(field(t, n, "SPINE"));
            const std::string size = (n >= 2 && n <= 6) ? cutAtBlank(raw) : trim(raw);
            if (size != trim(raw)) {
                ++noted;
                EXPECT_LE(n, 6);
            }
            if (spine == "caw") {
                EXPECT_TRUE(n >= 4 && n <= 10) << "row " << r << " cell " << n;
                ++carbon;
                continue;
            }
            std::string models;
            const std::string gpi = seekGpi({"hunting", static_cast<int>(r), n, size + spine}, &models);
            if (n <= 4 && models == "RD,63") {
                ++twoModel;
                EXPECT_TRUE(isNumber(trim(gpi.substr(0, 4))) && isNumber(trim(gpi.substr(5, 4)))) << gpi;
            } else {
                EXPECT_TRUE(isNumber(gpi)) << "row " << r << " cell " << n << " reads one weight from '" << gpi << "'";
            }
        }
    }
    EXPECT_GT(twoModel, 0);
    EXPECT_GT(carbon, 0);
    EXPECT_GT(noted, 0);
    EXPECT_GT(blank, 0);
}

TEST_F(SampleDataFolder, youthAndOrvikCells_seekSizePlusModelCode) {
    TDbfTable youth;
    youth.open(kFolder / "YouthChrt.dbf", TDbfTable::OpenMode::ReadOnly);
    EXPECT_EQ(youth.recordCount(), 10u);
    EXPECT_EQ(youth.fields().size(), 16u);
    for (std::uint32_t r = 1; r <= youth.recordCount(); ++r) {
        youth.go(r);
        for (int n = 1; n <= 8; ++n) {
            const std::string size = trim(field(youth, n, "SIZE"));
            if (!size.empty()) {
                EXPECT_TRUE(isNumber(seekGpi({"youth", static_cast<int>(r), n, size + trim(field(youth, n, "MODL"))})));
            }
        }
    }
    TDbfTable orvik;
    orvik.open(kFolder / "ORVKCHRT.dbf", TDbfTable::OpenMode::ReadOnly);
    EXPECT_EQ(orvik.recordCount(), 19u);
    EXPECT_EQ(orvik.fields().size(), 14u);
    int sizeWithoutModel = 0;
    for (std::uint32_t r = 1; r <= orvik.recordCount(); ++r) {
        orvik.go(r);
        for (int n = 1; n <= 7; ++n) {
            const std::string size = trim(field(orvik, n, "SIZE"));
            const std::string model = trim(field(orvik, n, "MODEL"));
            if (model.empty()) {
                sizeWithoutModel += size.empty() ? 0 : 1;
                continue;
            }
            EXPECT_TRUE(isNumber(seekGpi({"orvik", static_cast<int>(r), n, size + model})));
        }
    }
    EXPECT_GT(sizeWithoutModel, 0);
}

TEST_F(SampleDataFolder, chartRows_askForStifferShaftsFurtherDown) {
    // The mean spine of a row's shafts, three rows (some 20% of spine) further down, is stiffer.
    for (const auto& [file, secondField, cells] :
         {std::tuple{"HUNTCHRT.DBF", "SPINE", 17}, std::tuple{"Targchrt.dbf", "SPINE", 14},
          std::tuple{"YouthChrt.dbf", "MODL", 8}, std::tuple{"ORVKCHRT.dbf", "MODEL", 7}}) {
        TDbfTable t;
        t.open(kFolder / file, TDbfTable::OpenMode::ReadOnly);
        std::vector<double> meanLog;
        for (std::uint32_t r = 1; r <= t.recordCount(); ++r) {
            t.go(r);
            double sum = 0;
            int count = 0;
            for (int n = 1; n <= cells; ++n) {
                const std::string size = cutAtBlank(trim(field(t, n, "SIZE")));
                const std::string second = trim(field(t, n, secondField));
                if (size.empty() || second.empty() || second == "caw") {
                    continue;
                }
                specs.seek(size.substr(0, size.find('*')) + second);
                sum += std::log(number(trim(specs.fieldText("SPINE"))));
                ++count;
            }
            ASSERT_GT(count, 0) << file << " row " << r << " recommends nothing";
            meanLog.push_back(sum / count);
        }
        for (std::size_t r = 3; r < meanLog.size(); ++r) {
            EXPECT_LT(meanLog[r], meanLog[r - 3]) << file << " row " << r + 1;
        }
    }
}

TEST(SampleDataTables, savedSetupsAndShop_haveTheirFieldsAndRecords) {
    TDbfTable saved;
    saved.open(kFolder / "Saveddb.dbf", TDbfTable::OpenMode::ReadOnly);
    EXPECT_EQ(saved.recordCount(), 0u);
    for (const char* name : {"NAME", "ADDR1", "ADDR2", "CITY", "STATE", "ZIP", "COUNTRY", "CCODE", "BOWWT", "ARLEN",
                             "PNTWT", "HORT", "BOTYP", "WHTYP", "RETYP", "BOLEN", "ODLEN"}) {
        ASSERT_NE(saved.fieldDef(name), nullptr) << name;
    }
    EXPECT_EQ(saved.fieldDef("COMMENTS")->type, data::FieldType::Memo);
    EXPECT_EQ(saved.fieldDef("DATE")->type, data::FieldType::Date);
    EXPECT_GE(saved.fieldDef("BOWWT")->width, 4);
    EXPECT_GE(saved.fieldDef("HORT")->width, 2) << "an item index of -1 must fit";
    saved.openIndexFile("Saved.idx");
    EXPECT_TRUE(saved.hasControllingIndex());

    TDbfTable shop;
    shop.open(kFolder / "SHOPINFO.DBF", TDbfTable::OpenMode::ReadOnly);
    EXPECT_EQ(shop.recordCount(), 1u);
    const std::map<std::string, int> widths = {{"NAME", 30},  {"ADDR1", 30}, {"ADDR2", 30},   {"CITY", 18},
                                               {"STATE", 10}, {"ZIP", 10},   {"COUNTRY", 12}, {"COMMENTS", 60},
                                               {"PHONE", 20}, {"FAX", 20}};
    for (const auto& [name, width] : widths) {
        ASSERT_NE(shop.fieldDef(name), nullptr) << name;
        EXPECT_EQ(shop.fieldDef(name)->width, width) << name;
    }
    EXPECT_FALSE(trim(shop.fieldText("NAME")).empty());

    std::ifstream notice(kFolder / "invsel.txt", std::ios::binary);
    std::string line;
    ASSERT_TRUE(std::getline(notice, line));
    EXPECT_LT(line.size(), 150u);
}

TEST(SampleDataTables, generatingTwice_writesTheSameBytesAsTheBuild) {
    const std::filesystem::path sources = std::filesystem::path(ARROWSEL_SOURCE_DIR) / "sampledata";
    test::TempDir a;
    test::TempDir b;
    writeDataFiles(sources, a.path());
    writeDataFiles(sources, b.path());
    int files = 0;
    // Tables and the notice only: the pictures come from the Qt part of the generator.
    for (const auto& entry : std::filesystem::directory_iterator(a.path())) {
        const auto name = entry.path().filename();
        EXPECT_EQ(bytes(entry.path()), bytes(b / name)) << name;
        EXPECT_EQ(bytes(entry.path()), bytes(kFolder / name)) << name;
        ++files;
    }
    EXPECT_EQ(files, 11);
    const std::string header = bytes(a / "Specs.DBF").substr(1, 3);
    EXPECT_EQ(header, std::string(reinterpret_cast<const char*>(kTableDate), 3));
}

} // namespace
} // namespace arrowsel::sampledata
