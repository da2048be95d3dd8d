// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/selection.h"
#include "tools/gen/catalogue.h"

#include <filesystem>
#include <string>
#include <vector>

namespace arrowsel::sampledata {

// The rule of one chart: row r asks for a spine of anchorSpine * stepRatio^(r - anchorRow).
struct ChartRule {
    std::string chart;
    std::string file;
    int rows = 0;
    int anchorRow = 0;
    double anchorSpine = 0;
    double stepRatio = 0;
    double toleranceRows = 0;
    double wideToleranceRows = 0;
    int recurveOffsetRows = 0;

    double spineForRow(double row) const;
    bool suits(const Shaft& s, double row, double tolRows) const;
};

// One cell of a chart record: the size text and the text of its second field (spine, "caw",
// or model code). Empty size: a blank cell.
struct ChartCell {
    std::string size;
    std::string second;
};

struct Chart {
    ChartRule rule;
    engine::Page page = engine::Page::Hunt; // which page reads it: the field names are that page's
    int cells = 0;
    int sizeWidth = 12;
    int secondWidth = 6;
    std::vector<std::vector<ChartCell>> rows; // rows[r - 1][n - 1]
};

inline constexpr const char* kCarbonMarker = "caw";
inline constexpr const char* kStockNote = " (32in)";

std::vector<ChartRule> loadChartRules(const std::filesystem::path& sourceDir);
const ChartRule& ruleFor(const std::vector<ChartRule>& rules, const std::string& chart);

Chart buildHuntingChart(const Catalogue& c, const ChartRule& rule);
Chart buildTargetChart(const Catalogue& c, const ChartRule& rule);
Chart buildYouthChart(const Catalogue& c, const ChartRule& rule);
Chart buildOrvikChart(const Catalogue& c, const ChartRule& rule);

// Aluminium cells 1 to 4 of a hunting row, by the colours the program gives those cells: as many
// aluminium shafts as the row has coloured (not white) cells among the first four.
int huntingAluminiumCells(int row);

} // namespace arrowsel::sampledata
