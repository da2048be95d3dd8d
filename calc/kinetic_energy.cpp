// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/kinetic_energy.h"

#include "engine/conversions.h"

#include <charconv>

namespace arrowsel::calc {

namespace {

// The foot-pound constant: twice the standard gravity in feet per second squared times the grains
// in a pound (2 x 32.16 x 7000).
constexpr double kEnergyDivisor = 450240.0;

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

int gaugePosition(long whole) {
    if (whole > 100) {
        return 100;
    }
    return whole < 0 ? 0 : static_cast<int>(whole);
}

KineticEnergy kineticEnergy(double velocity, double grains) {
    // Adding 0.005 and then cutting the text after two decimals rounds half up.
    const double energy = velocity * velocity * grains / kEnergyDivisor;
    const double shifted = energy + 0.005;

    KineticEnergy result;
    result.text = engine::numberText(shifted);
    if (const auto dot = result.text.find('.'); dot != std::string::npos) {
        result.text.resize(std::min(result.text.size(), dot + 3));
    }
    result.whole = wholePart(result.text);
    result.gauge = gaugePosition(result.whole);
    result.pictures = pictureListFor(result.whole);
    return result;
}

KineticEnergyRun runKineticEnergy(std::string_view velocityText, std::string_view grainText) {
    KineticEnergyRun run;
    try {
        if (engine::toInteger(velocityText) <= 0 || engine::toInteger(grainText) <= 0) {
            run.information = kZeroInvalidText;
            return run;
        }
        run.result = kineticEnergy(engine::toNumber(velocityText), engine::toNumber(grainText));
    } catch (const engine::EConvertError& e) {
        run.error = e.what();
    }
    return run;
}

std::string frontOfCenterText(float length, float balance) {
    if (length == 0.0f) {
        throw FloatingPointError(balance == 0.0f ? "Invalid floating point operation"
                                                 : "Floating point division by zero");
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
