// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/text.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace arrowsel::calc {

// The calculator's five picture lists, by the class of game an arrow's energy suits.
enum class PictureList { SmallImg, MediumImg, BigImg, ToughImg, Tanks };

// The list's name as the window knows it ("SmallImg" ... "Tanks").
const char* pictureListName(PictureList list);

// Picture list for the whole part of a shown energy: below 25 small, 25-40 medium, 41-64 big,
// 65-200 tough, above 200 the largest game.
PictureList pictureListFor(long whole);

// The class of game a picture list stands for, as the gauge's scale names it ("Small Game" ...
// "Largest Game"); the largest list says the energy is more than the largest game needs.
const char* gameClassName(PictureList list);

// The gauge runs from 0 to 100; larger energies pin it at the top.
int gaugePosition(long whole);

struct KineticEnergy {
    std::string text; // foot-pounds, two decimals rounded half up ("35.54")
    long whole = 0;   // the whole part of `text`
    int gauge = 0;
    PictureList pictures = PictureList::SmallImg;
};

// Energy of an arrow of `grains` at `velocity` feet per second, shown as the calculator shows it.
KineticEnergy kineticEnergy(double velocity, double grains);

// Momentum of an arrow of `grains` at `velocity` feet per second, in slug-feet per second with
// three decimals rounded half up ("0.503").
std::string momentumText(double velocity, double grains);

// The calculate command on the texts of the two edits. Exactly one of the three members is set.
struct KineticEnergyRun {
    std::optional<KineticEnergy> result;
    std::string momentum;    // with `result`: the momentum of the same weight and speed
    std::string information; // a zero or negative input: the user is asked for a whole number
    std::string error;       // an input that is no whole number: the conversion error
};
KineticEnergyRun runKineticEnergy(std::string_view velocityText, std::string_view grainText);

inline constexpr const char* kZeroInvalidText =
    ARROWSEL_TR_NOOP("KineticEnergy", "Zero is invalid, please enter a whole number.");

// Arithmetic failures of the front-of-centre calculation (an arrow length of 0).
class FloatingPointError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Front-of-centre percentage of an arrow of `length` whose balance point lies `balance` from the
// nock groove, in single precision and cut to one decimal, followed by "%" ("10.9%", "0%").
// Throws FloatingPointError when the length is 0.
std::string frontOfCenterText(float length, float balance);

} // namespace arrowsel::calc
