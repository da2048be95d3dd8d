// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/pages.h"
#include "engine/selection.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// How the selection run reads the charts: weight bands, valid rows, which chart column feeds which
// cell, and how a cell's size text is cut before it is joined to its spine or model text. The run
// and the data checks both read the charts through these rules, so a check can never pass a chart
// cell that the run would read differently.
namespace arrowsel::engine {

inline constexpr const char* kSpecsFile = "Specs.DBF";
inline constexpr const char* kSpecsIndexFile = "specs.idx";
// The chart file, size fields and rows of a page: see pageFacts().
const char* chartFileName(Page page);
int chartColumns(Page page);
RowRange chartRows(Page page);
// "SH<n>SIZE", and the field that completes the key: "SH<n>SPINE", "SH<n>MODL" or "SH<n>MODEL".
const std::string& sizeFieldName(int n);
const std::string& secondFieldName(Page page, int n);
// The Specs.DBF field of the models a page's cells show: "HMODELS" or "TMODELS".
const char* modelsField(Page page);

// An inclusive range of adjusted weights and the bucket number it gives.
struct Band {
    int low;
    int high;
    int bucket;
};
std::optional<int> bucketOf(long long weight, std::span<const Band> bands);
// The band table of a bow type and cam (or wheel) choice; empty when the choice matches none.
std::span<const Band> huntingBands(int bowType, int camType);
std::span<const Band> targetBands(int bowType, int wheelType);
std::span<const Band> youthBands();
std::span<const Band> orvikBands(int bowType, int camType);

// The colour bands of Hunting cells 1 to 4 on a chart row; every other cell is plain.
std::array<ColorBand, 4> huntingRowBands(long long row);

// Weight adjustments: the pounds a setup adds to the bow weight before its band is looked up.
// Overdraw choices 0 to 5 add 0, 1, 3, 6, 9 and 12 pounds; any other index adds none.
int overdrawPounds(int overDraw);
// The point-weight bands of Hunting compounds and recurves: 65-85 grains -3, 115-135 +3,
// 140-160 +6; other weights 0.
int lightPointPounds(int pointWeight);
// The point-weight bands of Hunting longbows and Target compounds: 105-125 +3, 130-150 +6,
// 155-160 +9; other weights 0.
int heavyPointPounds(int pointWeight);
// The bow weight as the page's band table reads it: `bowWeight` plus the setup's brace height,
// release, overdraw and point weight, as far as the page and bow type take them. Reads the point
// weight text only where it counts, so only there can it throw EConvertError.
long long adjustedWeight(Page page, long long bowWeight, const BowSetup& setup);

// What one grid cell takes from its chart fields: the size it shows and the text that follows the
// size in its specification key (spine, "caw" marker or model code).
struct CellText {
    std::string size;
    std::string second;
    std::string key() const { return size + second; }
};

// Hunting cell n (1-17) from its raw size and spine fields; nullopt for a blank cell. Cells 2 to
// 6 show the size before the field's first blank (a note may follow it), the others the trimmed
// field.
std::optional<CellText> huntingCell(int n, std::string_view sizeField, std::string_view spineField);
// Cells 4 to 10 marked "caw" point to the carbon details and seek nothing.
bool isCarbonCell(int n, const CellText& cell);

// A starred target size "compound*recurve" and the half of it a cell shows.
enum class SizeRule {
    Whole,              // the trimmed field, star and all
    CompoundHalf,       // up to the first "*"; an unstarred size stays whole
    RecurveHalfOrBlank, // after the first "*"; an unstarred size gives a blank cell
    RecurveHalfOrWhole, // after the first "*"; an unstarred size stays whole
};
struct TargetSlot {
    int column = 0; // chart column 1-14; 0 for a cell left blank
    SizeRule rule = SizeRule::Whole;
};
using TargetLayout = std::array<TargetSlot, 13>;

// Short arrows for their row move the columns (cells 1-11 from columns 4-14).
bool isShortArrow(long long row, long long length);
// Which column feeds each of the 13 target cells, for a row in the valid range.
TargetLayout targetLayout(int bowType, long long row, bool shortArrow);
// Target cell from the slot's raw size and spine fields; nullopt for a blank cell.
std::optional<CellText> targetCell(const TargetSlot& slot, std::string_view sizeField, std::string_view spineField);

// A target setup case a row can be shown with: bow type and whether the arrow is short for it.
struct TargetCase {
    int bowType;
    bool shortArrow;
    bool operator==(const TargetCase&) const = default;
};
// Every case some reachable setup (a band's bucket and a two-character arrow length) shows `row`
// with, in a fixed order; empty for a row outside the valid range.
std::vector<TargetCase> targetCases(int row);

// Youth cell: shown when the size is not blank; key size plus model code.
std::optional<CellText> youthCell(std::string_view sizeField, std::string_view modlField);
// Orvik cell: shown when the model code is not blank (a size without one is no cell).
std::optional<CellText> orvikCell(std::string_view sizeField, std::string_view modelField);

// Two-model records: their GPI holds the plain shaft's figure in characters 1-4 and the second
// model's in characters 6-9. Hunting cells 1-4 read both when the models text is "RD,63", target
// cells 7-13 when it is "N4,63"; every other cell reads GPI as one number.
bool readsTwoGpiFigures(Page page, int cell, std::string_view models);
std::string firstGpiFigure(std::string_view gpi);  // characters 1-4, trimmed
std::string secondGpiFigure(std::string_view gpi); // characters 6-9, trimmed
// The specifications window takes the second figure alone when characters 3 to 5 of the models
// text are ",63".
bool usesSecondGpiFigure(std::string_view models);

} // namespace arrowsel::engine
