// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calc/kinetic_energy.h"

#include <optional>
#include <string>

namespace arrowsel::calc {

// The standard a compound bow's speed rating was measured under.
enum class SpeedRating { Ibo, Ata };
const char* speedRatingName(SpeedRating rating); // "IBO", "ATA"

// The setup a rating is measured with: the bow at this peak draw weight and draw length, shooting
// an arrow of this many grains per pound of that draw weight, nothing on the string but the nock.
struct RatingConditions {
    double drawWeight = 0;     // pounds
    double drawLength = 0;     // inches
    double grainsPerPound = 0; // arrow weight per pound of the rating's draw weight
    double arrowGrains() const { return drawWeight * grainsPerPound; }
};
RatingConditions ratingConditions(SpeedRating rating);

// What the archer's setup adds to the rating: the draw, what sits on the string, and a
// chronograph reading when there is one.
struct SpeedInputs {
    SpeedRating rating = SpeedRating::Ibo;
    double ratedSpeed = 0;    // feet per second; 0: not given
    double drawLength = 30;   // inches
    double stringGrains = 0;  // peep, loop, silencers
    double measuredSpeed = 0; // feet per second; 0: none measured
};

// The rule of thumb shops use to carry a compound bow's speed rating over to an archer's setup,
// with the figures of the shop references that print it: Sunrise Archery, "Understanding Bow
// Speeds" (about 10 ft/s per inch of draw, 2.3 to 2.4 per pound of draw weight, 1 per 3 to 5
// grains of arrow, a few for each thing on the string) and Eder's Bow, "Arrow speed and draw
// weight" (2009: roughly 2 ft/s per pound for changes within about 10 pounds). We take the round
// figures most often quoted: 10 ft/s per inch, 2 per pound, 1 per 3 grains of arrow and 1 per 3
// grains on the string. Each term runs both ways (a longer draw adds speed, a lighter arrow too).
inline constexpr double kPerInchOfDraw = 10.0;
inline constexpr double kPerPoundOfDrawWeight = 2.0;
inline constexpr double kArrowGrainsPerFoot = 3.0; // grains of arrow that cost 1 ft/s
inline constexpr double kStringGrainsPerFoot = 3.0;

// The speed the rule of thumb gives a compound bow of `drawWeight` pounds shooting an arrow of
// `arrowGrains`, unrounded. The rule is linear and knows nothing of the bow's cams or efficiency.
double estimatedSpeed(const SpeedInputs& in, double drawWeight, double arrowGrains);

// The bow the speed is wanted for: the rule of thumb holds for a compound bow's rating only.
enum class BowKind { Compound, Recurve, Longbow, Youth };

enum class SpeedSource { None, Estimated, Measured };
// Why there is no speed (with SpeedSource::None).
enum class NoSpeed { NoArrow, NoRating, NotCompound, Youth, NoDrawWeight, EstimateTooLow };
// The reason in a sentence that says what to do.
const char* noSpeedText(NoSpeed why);

// The finished arrow's speed and what follows from it. The energy and momentum are computed from
// the figures shown (the whole speed and the whole total weight), so the calculator gives the
// same values for them.
struct ArrowSpeed {
    SpeedSource source = SpeedSource::None;
    NoSpeed why = NoSpeed::NoRating;
    long feetPerSecond = 0; // rounded half up to whole feet per second
    KineticEnergy energy;
    std::string momentum; // slug-feet per second, three decimals
    const char* gameClass = "";
};

// `drawWeight` nullopt: the main window's draw weight is no positive number. `totalGrains` is the
// whole total weight shown.
ArrowSpeed arrowSpeed(const SpeedInputs& in, BowKind bow, std::optional<double> drawWeight, long totalGrains);

} // namespace arrowsel::calc
