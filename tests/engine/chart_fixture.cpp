#include "tests/engine/chart_fixture.h"

#include "data/dbf_table.h"

#include <fstream>

namespace arrowsel::test {

using data::FieldType;
using data::TDbfTable;
using engine::Page;

namespace {

constexpr int kRows = 20;

void writeTable(const std::filesystem::path& path, const std::vector<TDbfTable::FieldSpec>& fields,
                const std::vector<ChartFixture::Row>& rows) {
    TDbfTable::create(path, fields);
    TDbfTable table;
    table.open(path, TDbfTable::OpenMode::Exclusive);
    for (const auto& row : rows) {
        table.insert();
        for (const auto& [name, value] : row) {
            table.setFieldText(name, value);
        }
        table.post();
    }
}

std::vector<TDbfTable::FieldSpec> chartFields(int cells, const char* second, int secondWidth) {
    std::vector<TDbfTable::FieldSpec> fields;
    for (int n = 1; n <= cells; ++n) {
        fields.push_back({"SH" + std::to_string(n) + "SIZE", FieldType::Character, 16});
        fields.push_back({"SH" + std::to_string(n) + second, FieldType::Character, secondWidth});
    }
    return fields;
}

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

    std::vector<Row> specRows;
    for (const Spec& s : specs_) {
        specRows.push_back(
            {{"SPECKEY", s.key}, {"SPINE", s.spine}, {"HMODELS", s.hmodels}, {"TMODELS", s.tmodels}, {"GPI", s.gpi}});
    }
    writeTable(dir / "Specs.DBF",
               {{"SPECKEY", FieldType::Character, 24},
                {"SPINE", FieldType::Character, 8},
                {"HMODELS", FieldType::Character, 20},
                {"TMODELS", FieldType::Character, 20},
                {"GPI", FieldType::Character, 10}},
               specRows);
    TDbfTable specs;
    specs.open(dir / "Specs.DBF", TDbfTable::OpenMode::Exclusive);
    specs.createIndex(dir / "specs.idx", "SPECKEY");

    if (writeNotice) {
        std::ofstream(dir / "invsel.txt", std::ios::binary) << notice << "\r\nsecond line\r\n";
    }
}

} // namespace arrowsel::test
