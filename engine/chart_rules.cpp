// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/chart_rules.h"

#include "data/text.h"
#include "engine/conversions.h"

#include <algorithm>

namespace arrowsel::engine {

using data::cutAtMark;
using data::trimControlsAndSpaces;

namespace {

constexpr Band kHuntCam0[] = {{32, 36, 1}, {37, 41, 2}, {42, 46, 3}, {47, 51, 4},  {52, 56, 5},  {57, 61, 6},
                              {62, 66, 7}, {67, 72, 8}, {73, 78, 9}, {79, 84, 10}, {85, 90, 11}, {91, 96, 12}};
constexpr Band kHuntCam1[] = {{37, 41, 1}, {42, 46, 2}, {47, 51, 3}, {52, 56, 4},  {57, 61, 5},  {62, 66, 6},
                              {67, 72, 7}, {73, 78, 8}, {79, 84, 9}, {85, 90, 10}, {91, 96, 11}, {97, 102, 12}};
constexpr Band kHuntRecurve[] = {{32, 36, 1}, {37, 41, 2}, {42, 46, 3}, {47, 51, 4},  {52, 56, 5},  {57, 61, 6},
                                 {62, 66, 7}, {67, 72, 8}, {73, 78, 9}, {79, 84, 10}, {85, 90, 11}, {91, 95, 12}};
constexpr Band kHuntLongbow[] = {{38, 43, 1},   {44, 49, 2},    {50, 55, 3},    {56, 61, 4},   {62, 67, 5},
                                 {68, 73, 6},   {74, 79, 7},    {80, 85, 8},    {86, 91, 9},   {92, 97, 10},
                                 {98, 103, 11}, {104, 109, 12}, {110, 115, 13}, {116, 121, 14}};

constexpr Band kTargWheel0[] = {{29, 35, 3}, {36, 40, 4}, {41, 45, 5},  {46, 50, 6}, {51, 55, 7},
                                {56, 60, 8}, {61, 65, 9}, {66, 70, 10}, {71, 76, 11}};
constexpr Band kTargWheel1[] = {{29, 35, 2}, {36, 40, 3}, {41, 45, 4}, {46, 50, 5},  {51, 55, 6},
                                {56, 60, 7}, {61, 65, 8}, {66, 70, 9}, {71, 76, 10}, {77, 82, 11}};
constexpr Band kTargWheel2[] = {{29, 35, 1}, {36, 40, 2}, {41, 45, 3}, {46, 50, 4},  {51, 55, 5}, {56, 60, 6},
                                {61, 65, 7}, {66, 70, 8}, {71, 76, 9}, {77, 82, 10}, {83, 88, 11}};
constexpr Band kTargRecurve[] = {{17, 23, 1}, {24, 29, 2}, {30, 35, 3}, {36, 40, 4},  {41, 45, 5}, {46, 50, 6},
                                 {51, 55, 7}, {56, 60, 8}, {61, 65, 9}, {66, 70, 10}, {71, 76, 11}};

constexpr Band kYouth[] = {{16, 19, 1}, {20, 23, 2}, {24, 27, 3}, {28, 31, 4}, {32, 35, 5}, {36, 40, 6}};

constexpr Band kOrvkA[] = {{22, 26, 1}, {27, 31, 2}, {32, 36, 3},  {37, 41, 4},  {42, 46, 5},  {47, 51, 6}, {52, 56, 7},
                           {57, 61, 8}, {62, 66, 9}, {67, 72, 10}, {73, 78, 11}, {79, 84, 12}, {85, 90, 13}};
constexpr Band kOrvkB[] = {{27, 31, 1}, {32, 36, 2}, {37, 41, 3},  {42, 46, 4},  {47, 51, 5},  {52, 56, 6}, {57, 61, 7},
                           {62, 66, 8}, {67, 72, 9}, {73, 78, 10}, {79, 84, 11}, {85, 90, 12}, {91, 96, 13}};

// The field names "SH<n><suffix>" for n = 1 to 17, built once: every cell of every run reads them.
class ChartFields {
public:
    explicit ChartFields(const char* suffix) {
        for (std::size_t n = 1; n < names_.size(); ++n) {
            names_[n] = "SH" + std::to_string(n) + suffix;
        }
    }
    const std::string& operator()(int n) const { return names_.at(static_cast<std::size_t>(n)); }

private:
    std::array<std::string, 18> names_;
};

const ChartFields& sizeFields() {
    static const ChartFields fields("SIZE");
    return fields;
}

std::string_view slice(std::string_view text, std::size_t from, std::size_t count) {
    return from < text.size() ? text.substr(from, count) : std::string_view();
}

} // namespace

const char* chartFileName(Page page) {
    return pageFacts(page).chartFile;
}

int chartColumns(Page page) {
    return pageFacts(page).columns;
}

RowRange chartRows(Page page) {
    return pageFacts(page).rows;
}

const char* modelsField(Page page) {
    return pageFacts(page).modelsField;
}

const std::string& sizeFieldName(int n) {
    return sizeFields()(n);
}

const std::string& secondFieldName(Page page, int n) {
    static const ChartFields spine("SPINE");
    static const ChartFields modl("MODL");
    static const ChartFields model("MODEL");
    switch (page) {
    case Page::Youth:
        return modl(n);
    case Page::Orvk:
        return model(n);
    case Page::Hunt:
    case Page::Targ:
        break;
    }
    return spine(n);
}

int overdrawPounds(int overDraw) {
    static constexpr int pounds[] = {0, 1, 3, 6, 9, 12};
    return overDraw >= 0 && overDraw <= 5 ? pounds[overDraw] : 0;
}

int lightPointPounds(int p) {
    if (p >= 65 && p <= 85) {
        return -3;
    }
    if (p >= 115 && p <= 135) {
        return 3;
    }
    return p >= 140 && p <= 160 ? 6 : 0;
}

int heavyPointPounds(int p) {
    if (p >= 105 && p <= 125) {
        return 3;
    }
    if (p >= 130 && p <= 150) {
        return 6;
    }
    return p >= 155 && p <= 160 ? 9 : 0;
}

long long adjustedWeight(Page page, long long bowWeight, const BowSetup& setup) {
    long long w = bowWeight;
    const int brace = setup.braceHt == 1 ? 5 : 0;
    switch (page) {
    case Page::Hunt:
        if (setup.bowType == 0) {
            w += brace + (setup.releaseType == 1 ? 5 : 0) + overdrawPounds(setup.overDraw);
        }
        if (setup.bowType == 0 || setup.bowType == 1) {
            w += lightPointPounds(toInteger(setup.pointWeight));
        } else if (setup.bowType == 2) {
            w += heavyPointPounds(toInteger(setup.pointWeight));
        }
        return w;
    case Page::Targ:
        if (setup.targBowType == 0) {
            w += brace + heavyPointPounds(toInteger(setup.pointWeight)) + overdrawPounds(setup.overDraw);
            w += 5LL * setup.releaseType; // every release index past the first adds five pounds more
        }
        return w;
    case Page::Orvk:
        if (setup.targBowType == 0) {
            w += 5LL * setup.releaseType + brace + (toInteger(setup.pointWeight) > 100 ? 3 : 0);
        }
        return w;
    case Page::Youth:
        break;
    }
    return w;
}

std::array<ColorBand, 4> huntingRowBands(long long r) {
    using enum ColorBand;
    std::array<ColorBand, 4> row = {Yellow, Plain, Plain, Plain};
    if (r >= 1 && r <= 6) {
        row[1] = Orange;
    } else if (r == 7) {
        row[0] = Orange;
    } else if (r == 8 || r == 15) {
        row[1] = Green, row[2] = Orange;
    } else if (r == 9) {
        row[1] = Yellow, row[2] = Orange;
    } else if (r == 10 || (r >= 16 && r <= 18)) {
        row[1] = Green, row[2] = Orange, row[3] = Orange;
    } else if (r == 11) {
        row[0] = Green, row[1] = Green, row[2] = Orange, row[3] = Orange;
    } else if (r == 12) {
        row[1] = Green, row[2] = Green, row[3] = Orange;
    } else if (r == 13 || r == 14) {
        row[1] = Yellow, row[2] = Green, row[3] = Orange;
    }
    return row;
}

std::optional<int> bucketOf(long long weight, std::span<const Band> bands) {
    for (const Band& band : bands) {
        if (weight >= band.low && weight <= band.high) {
            return band.bucket;
        }
    }
    return std::nullopt;
}

std::span<const Band> huntingBands(int bowType, int camType) {
    if (bowType == 0 && camType == 0) {
        return kHuntCam0;
    }
    if (bowType == 0 && camType == 1) {
        return kHuntCam1;
    }
    if (bowType == 1) {
        return kHuntRecurve;
    }
    if (bowType == 2) {
        return kHuntLongbow;
    }
    return {};
}

std::span<const Band> targetBands(int bowType, int wheelType) {
    if (bowType == 0) {
        switch (wheelType) {
        case 0:
            return kTargWheel0;
        case 1:
            return kTargWheel1;
        case 2:
            return kTargWheel2;
        default:
            return {};
        }
    }
    if (bowType == 1) {
        return kTargRecurve;
    }
    return {};
}

std::span<const Band> youthBands() {
    return kYouth;
}

std::span<const Band> orvikBands(int bowType, int camType) {
    if ((bowType == 0 && camType == 0) || bowType == 1) {
        return kOrvkA;
    }
    if (bowType == 0 && camType == 1) {
        return kOrvkB;
    }
    return {};
}

std::optional<CellText> huntingCell(int n, std::string_view sizeField, std::string_view spineField) {
    if (trimControlsAndSpaces(sizeField).empty()) {
        return std::nullopt;
    }
    // All that follows the first blank goes, not just 15 characters of it: a field wider than 19
    // characters would otherwise leave its padding in the caption and in the key.
    std::string size = (n >= 2 && n <= 6) ? std::string(sizeField.substr(0, sizeField.find(' ')))
                                          : std::string(trimControlsAndSpaces(sizeField));
    return CellText{std::move(size), std::string(trimControlsAndSpaces(spineField))};
}

bool isCarbonCell(int n, const CellText& cell) {
    return n >= 4 && n <= 10 && cell.second == "caw";
}

bool isShortArrow(long long row, long long length) {
    return (row == 8 && length == 23) || (row == 9 && length <= 24) || ((row == 10 || row == 11) && length <= 25) ||
           (row >= 12 && row <= 14 && length <= 26);
}

TargetLayout targetLayout(int bowType, long long row, bool shortArrow) {
    TargetLayout slots{};
    auto slot = [&](int k) -> TargetSlot& { return slots[static_cast<std::size_t>(k - 1)]; };
    if (bowType == 0 && !shortArrow && row == 15) {
        // Column 2 is skipped; only cell 1 takes the compound half.
        for (int k = 1; k <= 12; ++k) {
            slot(k) = {k == 1 ? 1 : k + 1, k == 1 ? SizeRule::CompoundHalf : SizeRule::Whole};
        }
    } else if (bowType == 0 && !shortArrow && row == 16) {
        for (int k = 1; k <= 10; ++k) {
            slot(k) = {k + 1, SizeRule::Whole};
        }
    } else if (shortArrow) {
        const SizeRule first = bowType == 0 ? SizeRule::CompoundHalf : SizeRule::RecurveHalfOrBlank;
        for (int k = 1; k <= 11; ++k) {
            slot(k) = {k + 3, k == 1 ? first : SizeRule::Whole};
        }
    } else {
        const SizeRule head = bowType == 0 ? SizeRule::CompoundHalf : SizeRule::RecurveHalfOrWhole;
        for (int k = 1; k <= 13; ++k) {
            slot(k) = {k, k <= 4 ? head : SizeRule::Whole};
        }
    }
    return slots;
}

std::optional<CellText> targetCell(const TargetSlot& slot, std::string_view sizeField, std::string_view spineField) {
    if (slot.column == 0) {
        return std::nullopt;
    }
    std::string size(trimControlsAndSpaces(sizeField));
    const auto star = size.find('*');
    switch (slot.rule) {
    case SizeRule::Whole:
        break;
    case SizeRule::CompoundHalf:
        size = cutAtMark(std::move(size), '*');
        break;
    case SizeRule::RecurveHalfOrBlank:
        size = star == std::string::npos ? std::string() : size.substr(star + 1);
        break;
    case SizeRule::RecurveHalfOrWhole:
        if (star != std::string::npos) {
            size = size.substr(star + 1);
        }
        break;
    }
    if (size.empty()) {
        return std::nullopt;
    }
    return CellText{std::move(size), std::string(trimControlsAndSpaces(spineField))};
}

std::vector<TargetCase> targetCases(int row) {
    std::vector<TargetCase> cases;
    if (!chartRows(Page::Targ).holds(row)) {
        return cases;
    }
    // The run only goes on with a length of exactly two characters; negative ones never reach a row.
    constexpr int kShortestLength = 10;
    constexpr int kLongestLength = 99;
    for (int bowType : {0, 1}) {
        std::vector<int> buckets;
        for (int wheel : {0, 1, 2}) {
            for (const Band& band : targetBands(bowType, wheel)) {
                buckets.push_back(band.bucket);
            }
        }
        for (bool shortArrow : {false, true}) {
            const bool reached = std::any_of(buckets.begin(), buckets.end(), [&](int bucket) {
                const int length = row - bucket + 23;
                return length >= kShortestLength && length <= kLongestLength && isShortArrow(row, length) == shortArrow;
            });
            if (reached) {
                cases.push_back({bowType, shortArrow});
            }
        }
    }
    return cases;
}

std::optional<CellText> youthCell(std::string_view sizeField, std::string_view modlField) {
    std::string size(trimControlsAndSpaces(sizeField));
    if (size.empty()) {
        return std::nullopt;
    }
    return CellText{std::move(size), std::string(trimControlsAndSpaces(modlField))};
}

std::optional<CellText> orvikCell(std::string_view sizeField, std::string_view modelField) {
    std::string model(trimControlsAndSpaces(modelField));
    if (model.empty()) {
        return std::nullopt;
    }
    return CellText{std::string(trimControlsAndSpaces(sizeField)), std::move(model)};
}

bool readsTwoGpiFigures(Page page, int cell, std::string_view models) {
    if (page == Page::Hunt) {
        return cell <= 4 && models == "RD,63";
    }
    if (page == Page::Targ) {
        return cell >= 7 && models == "N4,63";
    }
    return false;
}

std::string firstGpiFigure(std::string_view gpi) {
    return std::string(trimControlsAndSpaces(slice(gpi, 0, 4)));
}

std::string secondGpiFigure(std::string_view gpi) {
    return std::string(trimControlsAndSpaces(slice(gpi, 5, 4)));
}

bool usesSecondGpiFigure(std::string_view models) {
    return models.size() >= 5 && models.substr(2, 3) == ",63";
}

} // namespace arrowsel::engine
