// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace arrowsel::calc {

// The specification index key of a clicked shaft. The main window leaves the size and the spine
// or model text in TmpLbl; a blank there starts the filler of a padded field, and the 15
// characters from that blank on are dropped (all that follows, when that is fewer).
std::string specificationKey(std::string_view tmpLbl);

// Aluminium shafts whose models text reads ",63" in characters 3 to 5 carry two grains-per-inch
// figures in GPI ("dddd dddd"); the second is the one for these models.
bool usesSecondGpi(std::string_view models);

// Grains per inch from the GPI field text (as read, blank-padded) for the given models text.
// Throws engine::EConvertError when the text (or its second figure) is no number.
double grainsPerInch(std::string_view gpiText, std::string_view models);

// The whole part of a number's general-format text: the "." and what follows dropped.
std::string wholePartText(double value);

struct ArrowComponents {
    double length = 0; // inches
    double nock = 0;   // grains, each
    double point = 0;
    double vanes = 0;
    double insert = 0;
};

struct ArrowWeights {
    std::string shaft;      // whole grains, rounded half up
    std::string total;      // whole grains, cut
    double totalGrains = 0; // the uncut total
};

ArrowWeights arrowWeights(double gpi, const ArrowComponents& parts);

// Below this many grains of arrow per pound of draw weight a bow is commonly held to be at risk
// of damage, as from a dry fire.
inline constexpr double kMinimumGrainsPerPound = 5.0;

struct GrainsPerPound {
    std::string text; // one decimal, cut ("6.9")
    bool tooLight = false;
};

// The arrow's weight per pound of the bow's draw weight; nullopt when the draw weight text is no
// positive number.
std::optional<GrainsPerPound> grainsPerPound(double totalGrains, std::string_view drawWeightText);

} // namespace arrowsel::calc
