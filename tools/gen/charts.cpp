// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen/charts.h"

#include "engine/chart_rules.h"
#include "tools/gen/csv.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>

namespace arrowsel::sampledata {

double ChartRule::spineForRow(double row) const {
    return anchorSpine * std::pow(stepRatio, row - anchorRow);
}

bool ChartRule::suits(const Shaft& s, double row, double tolRows) const {
    return std::abs(std::log(s.spine / spineForRow(row))) <= tolRows * std::abs(std::log(stepRatio)) + 1e-9;
}

std::vector<ChartRule> loadChartRules(const std::filesystem::path& sourceDir) {
    const auto t = CsvTable::read(sourceDir / "charts.csv");
    std::vector<ChartRule> out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        ChartRule r;
        r.chart = t.at(i, "chart");
        r.file = t.at(i, "file");
        r.rows = static_cast<int>(t.number(i, "rows"));
        r.anchorRow = static_cast<int>(t.number(i, "anchor_row"));
        r.anchorSpine = t.number(i, "anchor_spine");
        r.stepRatio = t.number(i, "step_ratio");
        r.toleranceRows = t.number(i, "tolerance_rows");
        r.wideToleranceRows = t.number(i, "wide_tolerance_rows");
        r.recurveOffsetRows = static_cast<int>(t.number(i, "recurve_offset_rows"));
        out.push_back(r);
    }
    return out;
}

const ChartRule& ruleFor(const std::vector<ChartRule>& rules, const std::string& chart) {
    for (const auto& r : rules) {
        if (r.chart == chart) {
            return r;
        }
    }
    throw std::runtime_error("charts.csv has no rule for the " + chart + " chart");
}

namespace {

// The `count` shafts of `pool` that suit the row best (closest spine first), then ordered
// lightest first; ties go to the smaller size text so that the choice never depends on order.
std::vector<const Shaft*> pick(std::vector<const Shaft*> pool, const ChartRule& rule, double row, double tolRows,
                               std::size_t count) {
    const double want = rule.spineForRow(row);
    std::erase_if(pool, [&](const Shaft* s) { return !rule.suits(*s, row, tolRows); });
    auto distance = [&](const Shaft* s) { return std::abs(std::log(s->spine / want)); };
    std::stable_sort(pool.begin(), pool.end(), [&](const Shaft* a, const Shaft* b) {
        const double da = distance(a);
        const double db = distance(b);
        return da != db ? da < db : a->size < b->size;
    });
    if (pool.size() > count) {
        pool.resize(count);
    }
    std::stable_sort(pool.begin(), pool.end(), [](const Shaft* a, const Shaft* b) {
        return a->gpi != b->gpi ? a->gpi < b->gpi : a->size < b->size;
    });
    return pool;
}

std::vector<const Shaft*> lines(const Catalogue& c, std::initializer_list<const char*> codes) {
    std::vector<const Shaft*> out;
    for (const char* code : codes) {
        const auto l = c.line(code);
        out.insert(out.end(), l.begin(), l.end());
    }
    return out;
}

ChartCell keyed(const Shaft& s) {
    return {s.size, s.keyPart()};
}

Chart emptyChart(const ChartRule& rule, engine::Page page, int cells, int secondWidth) {
    Chart ch;
    ch.rule = rule;
    ch.page = page;
    ch.cells = cells;
    ch.secondWidth = secondWidth;
    ch.rows.assign(static_cast<std::size_t>(rule.rows), std::vector<ChartCell>(static_cast<std::size_t>(cells)));
    return ch;
}

} // namespace

int huntingAluminiumCells(int row) {
    if (row <= 6) {
        return 2;
    }
    if (row == 7) {
        return 1;
    }
    if (row <= 9 || row == 15) {
        return 3;
    }
    return 4;
}

Chart buildHuntingChart(const Catalogue& c, const ChartRule& rule) {
    Chart ch = emptyChart(rule, engine::Page::Hunt, 17, 6);
    const auto aluminium = c.line("AL");
    std::vector<const Shaft*> twoModelFree;
    for (const Shaft* s : aluminium) {
        if (!s->twoModel()) {
            twoModelFree.push_back(s);
        }
    }
    const auto carbon = c.line("TL");
    const auto acAndCarbon = lines(c, {"TL", "VR"});
    for (int r = 1; r <= rule.rows; ++r) {
        auto& row = ch.rows[static_cast<std::size_t>(r - 1)];
        const auto al =
            pick(aluminium, rule, r, rule.toleranceRows, static_cast<std::size_t>(huntingAluminiumCells(r)));
        std::size_t n = 0;
        for (const Shaft* s : al) {
            row[n] = keyed(*s);
            if (n >= 1 && s->stockIn >= 32) {
                row[n].size += kStockNote;
            }
            ++n;
        }
        // White cells among the first three: aluminium-carbon shafts.
        if (n < 3) {
            for (const Shaft* s : pick(lines(c, {"VR"}), rule, r, rule.wideToleranceRows, 3 - n)) {
                row[n++] = keyed(*s);
            }
        }
        // A white fourth cell points to the carbon details.
        if (n < 4) {
            const auto best = pick(carbon, rule, r, rule.wideToleranceRows, 1);
            if (!best.empty()) {
                row[3] = {best.front()->size, kCarbonMarker};
            }
        }
        // Cells 5 to 9: the carbon sizes the row can use, weakest first.
        auto summary = pick(carbon, rule, r, rule.wideToleranceRows, 5);
        std::sort(summary.begin(), summary.end(), [](const Shaft* a, const Shaft* b) { return a->spine > b->spine; });
        for (std::size_t i = 0; i < summary.size(); ++i) {
            row[4 + i] = {summary[i]->size, kCarbonMarker};
        }
        // Cells 10 to 16: the carbon and aluminium-carbon shafts in detail.
        const auto detail = pick(acAndCarbon, rule, r, rule.wideToleranceRows, 7);
        for (std::size_t i = 0; i < detail.size(); ++i) {
            row[9 + i] = keyed(*detail[i]);
        }
        // Cell 17: a heavy-wall aluminium shaft for the row, when one suits.
        const auto heavy = pick(twoModelFree, rule, r, rule.toleranceRows, 1);
        if (!heavy.empty()) {
            row[16] = keyed(*heavy.front());
        }
    }
    return ch;
}

namespace {

// Columns 1 to 4 of a target row that some case of the program shows whole, star and all (the
// compound split rows 15 and 16 read columns 2 to 4 trimmed): a starred text there would be sought
// as it stands and miss, so these columns hold one size for both bow types.
std::set<int> columnsReadWhole(int row) {
    std::set<int> columns;
    for (const engine::TargetCase& c : engine::targetCases(row)) {
        for (const engine::TargetSlot& slot : engine::targetLayout(c.bowType, row, c.shortArrow)) {
            if (slot.column >= 1 && slot.column <= 4 && slot.rule == engine::SizeRule::Whole) {
                columns.insert(slot.column);
            }
        }
    }
    return columns;
}

} // namespace

Chart buildTargetChart(const Catalogue& c, const ChartRule& rule) {
    Chart ch = emptyChart(rule, engine::Page::Targ, 14, 6);
    const auto vantage = c.line("VT");
    const auto aluminium = c.line("AL");
    const auto acAndCarbon = lines(c, {"TL", "VR"});
    for (int r = 1; r <= rule.rows; ++r) {
        auto& row = ch.rows[static_cast<std::size_t>(r - 1)];
        // Columns 1 to 4: a compound size and, after "*", the recurve size of the same column.
        const auto compound = pick(vantage, rule, r, rule.toleranceRows, 4);
        const auto recurve = pick(vantage, rule, r - rule.recurveOffsetRows, rule.toleranceRows, 4);
        const auto readWhole = columnsReadWhole(r);
        for (std::size_t k = 0; k < compound.size(); ++k) {
            row[k] = keyed(*compound[k]);
            if (k < recurve.size() && recurve[k] != compound[k] && !readWhole.contains(static_cast<int>(k) + 1)) {
                row[k].size += "*" + recurve[k]->size;
            }
        }
        const auto mixed = pick(acAndCarbon, rule, r, rule.toleranceRows, 5);
        for (std::size_t i = 0; i < mixed.size(); ++i) {
            row[4 + i] = keyed(*mixed[i]);
        }
        // Columns 10 to 13 hold the aluminium shafts, the two-model ones among them: a short
        // arrow moves the columns three cells to the left, and these still land on cells 7 and up.
        const auto al = pick(aluminium, rule, r, rule.toleranceRows, 4);
        for (std::size_t i = 0; i < al.size(); ++i) {
            row[9 + i] = keyed(*al[i]);
        }
        const auto extra = pick(c.line("TL"), rule, r, rule.wideToleranceRows, 1);
        if (!extra.empty()) {
            row[13] = keyed(*extra.front());
        }
    }
    return ch;
}

Chart buildYouthChart(const Catalogue& c, const ChartRule& rule) {
    Chart ch = emptyChart(rule, engine::Page::Youth, 8, 4);
    for (int r = 1; r <= rule.rows; ++r) {
        auto& row = ch.rows[static_cast<std::size_t>(r - 1)];
        std::size_t n = 0;
        for (const Shaft* s : pick(c.line("SP"), rule, r, rule.toleranceRows, 5)) {
            row[n++] = keyed(*s);
        }
        n = 5;
        for (const Shaft* s : pick(c.line("FL"), rule, r, rule.toleranceRows, 3)) {
            row[n++] = keyed(*s);
        }
    }
    return ch;
}

Chart buildOrvikChart(const Catalogue& c, const ChartRule& rule) {
    Chart ch = emptyChart(rule, engine::Page::Orvk, 7, 4);
    for (int r = 1; r <= rule.rows; ++r) {
        auto& row = ch.rows[static_cast<std::size_t>(r - 1)];
        std::size_t n = 0;
        for (const Shaft* s : pick(c.line("ST"), rule, r, rule.toleranceRows, 3)) {
            row[n++] = keyed(*s);
        }
        n = 3;
        for (const Shaft* s : pick(c.line("KE"), rule, r, rule.toleranceRows, 2)) {
            row[n++] = keyed(*s);
        }
        n = 5;
        // Aluminium sizes no longer made stay on the chart without a model code: no cell shows.
        for (const Shaft* s : pick(c.line("PK"), rule, r, rule.toleranceRows, 2)) {
            row[n++] = s->made ? keyed(*s) : ChartCell{s->size, ""};
        }
    }
    return ch;
}

} // namespace arrowsel::sampledata
