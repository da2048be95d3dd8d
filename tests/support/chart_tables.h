// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Small chart and specification tables for tests that run the selection on a folder of their own.

#include "data/dbf_table.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace arrowsel::test {

using TableRow = std::map<std::string, std::string>; // field name -> text

// Creates `path` with `fields` and appends `rows` in order.
inline void writeTable(const std::filesystem::path& path, const std::vector<data::TDbfTable::FieldSpec>& fields,
                       const std::vector<TableRow>& rows) {
    data::TDbfTable::create(path, fields);
    data::TDbfTable table;
    table.open(path, data::TDbfTable::OpenMode::Exclusive);
    for (const TableRow& row : rows) {
        table.insert();
        for (const auto& [name, value] : row) {
            table.setFieldText(name, value);
        }
        table.post();
    }
}

// A chart's fields: SH<n>SIZE (16 wide) and SH<n><second> for n = 1 to `cells`.
inline std::vector<data::TDbfTable::FieldSpec> chartFields(int cells, const std::string& second, int secondWidth = 8) {
    std::vector<data::TDbfTable::FieldSpec> fields;
    for (int n = 1; n <= cells; ++n) {
        fields.push_back({"SH" + std::to_string(n) + "SIZE", data::FieldType::Character, 16});
        fields.push_back({"SH" + std::to_string(n) + second, data::FieldType::Character, secondWidth});
    }
    return fields;
}

// Specs.DBF with the fields the run reads (key SPECKEY, SPINE, HMODELS, TMODELS, GPI) holding
// `rows`, and specs.idx built on SPECKEY.
inline void writeSpecs(const std::filesystem::path& folder, const std::vector<TableRow>& rows) {
    using data::FieldType;
    writeTable(folder / "Specs.DBF",
               {{"SPECKEY", FieldType::Character, 24},
                {"SPINE", FieldType::Character, 8},
                {"HMODELS", FieldType::Character, 20},
                {"TMODELS", FieldType::Character, 20},
                {"GPI", FieldType::Character, 10}},
               rows);
    data::TDbfTable table;
    table.open(folder / "Specs.DBF", data::TDbfTable::OpenMode::Exclusive);
    table.createIndex(folder / "specs.idx", "SPECKEY");
}

} // namespace arrowsel::test
