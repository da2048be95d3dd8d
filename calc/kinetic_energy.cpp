// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/kinetic_energy.h"

#include "data/text.h"
#include "engine/conversions.h"

#include <algorithm>
#include <charconv>

namespace arrowsel::calc {

namespace {

// The foot-pound constant: twice the standard gravity in feet per second squared times the grains
// in a pound (2 x 32.16 x 7000).
constexpr double kEnergyDivisor = 450240.0;

// Grains per slug: a slug is the mass one pound-force accelerates at one foot per second squared,
// so grains / 7000 gives pounds of mass and a further / 32.174 (standard gravity, ft/s^2) slugs:
// 7000 x 32.174 = 225218.
constexpr double kGrainsPerSlug = 225218.0;

// The number's text cut `decimals` places after the point, after `half` (half a unit of the last
// place kept) was added: rounds half up as the calculator's energy does.
std::string roundedText(double value, double half, std::size_t decimals) {
    std::string text = engine::numberText(value + half);
    if (const auto dot = text.find('.'); dot != std::string::npos) {
        text.resize(std::min(text.size(), dot + 1 + decimals));
    }
    return text;
}

long wholePart(const std::string& text) {
    const std::string_view whole = std::string_view(text).substr(0, text.find('.'));
    long value = 0;
    std::from_chars(whole.data(), whole.data() + whole.size(), value);
    return value;
}

} // namespace

const char* pictureListName(PictureList list) {
    switch (list) {
    case PictureList::SmallImg:
        return "SmallImg";
    case PictureList::MediumImg:
        return "MediumImg";
    case PictureList::BigImg:
        return "BigImg";
    case PictureList::ToughImg:
        return "ToughImg";
    case PictureList::Tanks:
        return "Tanks";
    }
    return "";
}

PictureList pictureListFor(long whole) {
    if (whole < 25) {
        return PictureList::SmallImg;
    }
    if (whole <= 40) {
        return PictureList::MediumImg;
    }
    if (whole <= 64) {
        return PictureList::BigImg;
    }
    if (whole <= 200) {
        return PictureList::ToughImg;
    }
    return PictureList::Tanks;
}

const char* gameClassName(PictureList list) {
    switch (list) {
    case PictureList::SmallImg:
        return ARROWSEL_TR_NOOP("GameClass", "Small Game");
    case PictureList::MediumImg:
        return ARROWSEL_TR_NOOP("GameClass", "Medium Game");
    case PictureList::BigImg:
        return ARROWSEL_TR_NOOP("GameClass", "Big Game");
    case PictureList::ToughImg:
        return ARROWSEL_TR_NOOP("GameClass", "Largest Game");
    case PictureList::Tanks:
        return ARROWSEL_TR_NOOP("GameClass", "Largest Game, with energy to spare");
    }
    return "";
}

int gaugePosition(long whole) {
    if (whole > 100) {
        return 100;
    }
    return whole < 0 ? 0 : static_cast<int>(whole);
}

KineticEnergy kineticEnergy(double velocity, double grains) {
    // Adding 0.005 and then cutting the text after two decimals rounds half up.
    const double energy = velocity * velocity * grains / kEnergyDivisor;

    KineticEnergy result;
    result.text = roundedText(energy, 0.005, 2);
    result.whole = wholePart(result.text);
    result.gauge = gaugePosition(result.whole);
    result.pictures = pictureListFor(result.whole);
    return result;
}

std::string momentumText(double velocity, double grains) {
    return roundedText(grains * velocity / kGrainsPerSlug, 0.0005, 3);
}

KineticEnergyRun runKineticEnergy(std::string_view velocityText, std::string_view grainText) {
    KineticEnergyRun run;
    try {
        if (engine::toInteger(velocityText) <= 0 || engine::toInteger(grainText) <= 0) {
            run.information = kZeroInvalidText;
            return run;
        }
        const double velocity = engine::toNumber(velocityText);
        const double grains = engine::toNumber(grainText);
        run.result = kineticEnergy(velocity, grains);
        run.momentum = momentumText(velocity, grains);
    } catch (const engine::EConvertError& e) {
        run.error = e.what();
    }
    return run;
}

std::string frontOfCenterText(float length, float balance) {
    if (length == 0.0f) {
        throw FloatingPointError(balance == 0.0f
                                     ? ARROWSEL_TR_NOOP("FrontOfCenter", "Invalid floating point operation")
                                     : ARROWSEL_TR_NOOP("FrontOfCenter", "Floating point division by zero"));
    }
    // The expression is evaluated wide and only its result is held in single precision, so
    // 18.3 on a 30 inch arrow lies just below 11 and shows 10.9.
    const auto percent = static_cast<float>((static_cast<double>(balance) - static_cast<double>(length) / 2.0) * 100.0 /
                                            static_cast<double>(length));
    std::string text = engine::numberText(static_cast<double>(percent));
    if (const auto dot = text.find('.'); dot != std::string::npos) {
        text.resize(std::min(text.size(), dot + 2));
    }
    return text + "%";
}

} // namespace arrowsel::calc
