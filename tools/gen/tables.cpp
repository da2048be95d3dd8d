// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen/tables.h"

#include "data/dbf_table.h"
#include "engine/chart_rules.h"
#include "engine/data_check.h"
#include "records/file_fields.h"
#include "records/saved_layout.h"
#include "tools/gen/csv.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace arrowsel::sampledata {

using data::FieldType;
using data::TDbfTable;
using Spec = TDbfTable::FieldSpec;

namespace {

std::string inches(double v, int decimals) {
    return fixed(v, decimals) + " in";
}

void writeRows(const std::filesystem::path& file, const std::vector<Spec>& fields,
               const std::vector<std::vector<std::string>>& rows) {
    TDbfTable::create(file, fields, data::CodePage::Windows1252, true);
    TDbfTable t;
    t.open(file, TDbfTable::OpenMode::Exclusive);
    for (const auto& row : rows) {
        t.insert();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (!row[i].empty()) {
                t.setFieldText(fields[i].name, row[i]);
            }
        }
        t.post();
    }
    t.close();
}

} // namespace

void fixTableDate(const std::filesystem::path& dbf) {
    std::fstream f(dbf, std::ios::in | std::ios::out | std::ios::binary);
    if (!f) {
        throw std::runtime_error("cannot reopen " + dbf.string());
    }
    f.seekp(1);
    f.write(reinterpret_cast<const char*>(kTableDate), 3);
    if (!f) {
        throw std::runtime_error("cannot write the date of " + dbf.string());
    }
}

void writeChart(const Chart& chart, const std::filesystem::path& outDir) {
    std::vector<Spec> fields;
    for (int n = 1; n <= chart.cells; ++n) {
        fields.push_back({engine::sizeFieldName(n), FieldType::Character, chart.sizeWidth});
        fields.push_back({engine::secondFieldName(chart.page, n), FieldType::Character, chart.secondWidth});
    }
    std::vector<std::vector<std::string>> rows;
    for (const auto& r : chart.rows) {
        std::vector<std::string> row;
        for (const auto& cell : r) {
            if (static_cast<int>(cell.size.size()) > chart.sizeWidth ||
                static_cast<int>(cell.second.size()) > chart.secondWidth) {
                throw std::runtime_error(chart.rule.file + ": '" + cell.size + "' / '" + cell.second +
                                         "' does not fit its field");
            }
            row.push_back(cell.size);
            row.push_back(cell.second);
        }
        rows.push_back(std::move(row));
    }
    const auto file = outDir / chart.rule.file;
    writeRows(file, fields, rows);
    fixTableDate(file);
}

std::vector<std::string> prefixClashes(std::vector<std::string> keys) {
    std::sort(keys.begin(), keys.end());
    std::vector<std::string> out;
    for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
        if (keys[i + 1].compare(0, keys[i].size(), keys[i]) == 0) {
            out.push_back(keys[i]);
        }
    }
    return out;
}

void writeSpecs(const Catalogue& c, const std::filesystem::path& outDir) {
    const std::vector<Spec> fields = {
        {kSpecsKeyField, FieldType::Character, 12}, {"SIZE", FieldType::Character, 8},
        {"SPINE", FieldType::Character, 6},         {"HMODELS", FieldType::Character, 10},
        {"TMODELS", FieldType::Character, 10},      {"GPI", FieldType::Character, 9},
        {"DEFPTWT", FieldType::Numeric, 6, 1},      {"DEFNOCKWT", FieldType::Numeric, 6, 1},
        {"DEFVANEWT", FieldType::Numeric, 6, 1},    {"DEFINSWT", FieldType::Numeric, 6, 1},
        {"ARROWTYPE", FieldType::Character, 16},    {"WALL", FieldType::Character, 10},
        {"ID", FieldType::Character, 10},           {"OD", FieldType::Character, 10},
        {"LENGTH", FieldType::Character, 6},        {"LINE", FieldType::Character, 40},
    };
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> keys;
    for (const auto& s : c.shafts()) {
        if (!s.made) {
            continue;
        }
        const Line& l = *s.line;
        keys.push_back(s.key());
        rows.push_back({s.key(), s.size, s.spineText(), s.hmodels(), s.tmodels(), s.gpiText(), fixed(l.point, 1),
                        fixed(l.nock, 1), fixed(l.vanes, 1), fixed(l.insert, 1), l.arrowType, inches(s.wall, 3),
                        inches(s.id, 3), inches(s.od, 3), std::to_string(s.stockIn) + " in", l.name});
    }
    if (const auto clashes = prefixClashes(keys); !clashes.empty()) {
        throw std::runtime_error("specification key '" + clashes.front() + "' begins another key");
    }
    const auto file = outDir / "Specs.DBF";
    writeRows(file, fields, rows);
    TDbfTable t;
    t.open(file, TDbfTable::OpenMode::Exclusive);
    t.createIndex(outDir / "specs.idx", kSpecsKeyField, data::IndexKind::Compact);
    t.close();
    fixTableDate(file);
}

void writeSavedSetups(const std::filesystem::path& outDir) {
    std::vector<Spec> fields;
    for (const records::SetupField& f : records::savedSetupFields()) {
        fields.push_back(records::fileFieldSpec(f));
    }
    const auto file = outDir / "Saveddb.dbf";
    TDbfTable::create(file, fields, data::CodePage::Windows1252, true);
    TDbfTable t;
    t.open(file, TDbfTable::OpenMode::Exclusive);
    t.createIndex(outDir / "Saved.idx", kSavedIndexExpression, data::IndexKind::Compact);
    t.close();
    fixTableDate(file);
}

void writeShopInfo(const std::filesystem::path& sourceDir, const std::filesystem::path& outDir) {
    const std::vector<Spec> fields = {
        {"NAME", FieldType::Character, 30},    {"ADDR1", FieldType::Character, 30},
        {"ADDR2", FieldType::Character, 30},   {"CITY", FieldType::Character, 18},
        {"STATE", FieldType::Character, 10},   {"ZIP", FieldType::Character, 10},
        {"COUNTRY", FieldType::Character, 12}, {"COMMENTS", FieldType::Character, 60},
        {"PHONE", FieldType::Character, 20},   {"FAX", FieldType::Character, 20},
    };
    const auto shop = CsvTable::read(sourceDir / "shop.csv");
    std::vector<std::string> row(fields.size());
    for (std::size_t i = 0; i < shop.size(); ++i) {
        const auto& name = shop.at(i, "field");
        const auto it = std::find_if(fields.begin(), fields.end(), [&](const Spec& f) { return f.name == name; });
        if (it == fields.end()) {
            throw std::runtime_error("shop.csv: no field " + name + " in SHOPINFO.DBF");
        }
        row[static_cast<std::size_t>(it - fields.begin())] = shop.at(i, "value");
    }
    const auto file = outDir / "SHOPINFO.DBF";
    writeRows(file, fields, {row});
    fixTableDate(file);
}

void writeNotice(const std::filesystem::path& sourceDir, const std::filesystem::path& outDir) {
    std::ifstream in(sourceDir / "invsel.txt", std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line) || line.empty() || line.size() >= 150) {
        throw std::runtime_error("invsel.txt must hold one line of 1 to 149 characters");
    }
    std::ofstream out(outDir / "invsel.txt", std::ios::binary | std::ios::trunc);
    out << line << "\r\n";
    if (!out) {
        throw std::runtime_error("cannot write " + (outDir / "invsel.txt").string());
    }
}

void writeDataFiles(const std::filesystem::path& sourceDir, const std::filesystem::path& outDir) {
    std::filesystem::create_directories(outDir);
    const auto catalogue = Catalogue::load(sourceDir);
    const auto rules = loadChartRules(sourceDir);
    writeChart(buildHuntingChart(catalogue, ruleFor(rules, "hunting")), outDir);
    writeChart(buildTargetChart(catalogue, ruleFor(rules, "target")), outDir);
    writeChart(buildYouthChart(catalogue, ruleFor(rules, "youth")), outDir);
    writeChart(buildOrvikChart(catalogue, ruleFor(rules, "orvik")), outDir);
    writeSpecs(catalogue, outDir);
    writeSavedSetups(outDir);
    writeShopInfo(sourceDir, outDir);
    writeNotice(sourceDir, outDir);
    // The folder must pass the same checks a shop's own data gets: every key a chart cell can form
    // is found, every number the program reads parses.
    if (const auto problems = engine::checkDataFolder(outDir); !problems.empty()) {
        std::string message = "the generated data fail their checks:";
        for (const auto& p : problems) {
            message += "\n  " + p.text();
        }
        throw std::runtime_error(message);
    }
}

} // namespace arrowsel::sampledata
