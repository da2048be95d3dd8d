// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/control_states.h"

#include "data/text.h"

#include <initializer_list>

namespace arrowsel::present {

namespace {

using engine::ColorBand;
using engine::Page;

constexpr Color kBlack = 0x000000;
constexpr Color kHuntColor = 0x808000;
constexpr Color kTargColor = 0x800000;
constexpr Color kYouthColor = 0x008000;
constexpr Color kOrvkColor = 0x000080;
constexpr Color kGreyFont = 0x808080;

// Writes control properties in the order the run's steps take; a later write wins.
class Writer {
public:
    explicit Writer(ControlStates& out) : out_(out) {}

    void visible(std::initializer_list<Control> cs, bool v) {
        for (Control c : cs) {
            out_[c].visible = v;
        }
    }
    void enabled(std::initializer_list<Control> cs, bool v) {
        for (Control c : cs) {
            out_[c].enabled = v;
        }
    }
    void color(std::initializer_list<Control> cs, Color v) {
        for (Control c : cs) {
            out_[c].color = v;
        }
    }
    void font(std::initializer_list<Control> cs, Color v) {
        for (Control c : cs) {
            out_[c].fontColor = v;
        }
    }

    void resets() {
        font({Control::Label6, Control::WheelType, Control::ReleaseType, Control::OverDraw, Control::BraceHt,
              Control::PointWtSpin, Control::HuntCamType},
             kBlack);
        enabled({Control::WheelType, Control::ReleaseType, Control::HuntCamType, Control::OverDraw, Control::UpDown4},
                true);
        out_.resetsApplied = true;
    }

    void adultEditsShown(Color fontColor) {
        font({Control::BowWeightSpin, Control::ArrowLengthSpin, Control::PointWtSpin}, fontColor);
        visible({Control::BowWeightSpin, Control::UpDown1, Control::ArrowLengthSpin, Control::UpDown2}, true);
        visible({Control::YouthBowWtSpin, Control::UpDown3, Control::YouthArrowLenSpin, Control::UpDown5}, false);
        enabled({Control::PointWtSpin, Control::UpDown4}, true);
    }

    void hunting(int bowType) {
        visible({Control::BowType}, true);
        enabled({Control::BowType}, true);
        visible({Control::TargBowType, Control::WheelType}, false);
        visible({Control::HuntCamType, Control::BraceHt}, true);
        color({Control::BowType, Control::HuntCamType, Control::ReleaseType, Control::OverDraw, Control::BraceHt},
              kHuntColor);
        adultEditsShown(kHuntColor);
        if (bowType == 0) {
            visible({Control::BraceHt, Control::HuntCamType}, true);
            enabled({Control::HuntCamType, Control::ReleaseType, Control::BraceHt, Control::OverDraw}, true);
            font({Control::HuntCamType, Control::ReleaseType, Control::BraceHt, Control::OverDraw}, kBlack);
        } else if (bowType == 1 || bowType == 2) {
            enabled({Control::HuntCamType, Control::ReleaseType, Control::BraceHt, Control::OverDraw}, false);
        }
    }

    void target(int bowType) {
        visible({Control::BowType, Control::HuntCamType}, false);
        visible({Control::TargBowType, Control::WheelType}, true);
        enabled({Control::TargBowType, Control::WheelType}, true);
        color({Control::TargBowType, Control::WheelType, Control::ReleaseType, Control::OverDraw, Control::BraceHt},
              kTargColor);
        adultEditsShown(kTargColor);
        if (bowType == 0) {
            enabled({Control::BraceHt}, true);
        } else if (bowType == 1) {
            enabled({Control::BraceHt, Control::WheelType, Control::ReleaseType, Control::OverDraw, Control::UpDown4},
                    false);
            font({Control::PointWtSpin}, kGreyFont);
        }
    }

    void youth() {
        enabled({Control::BowType, Control::TargBowType, Control::HuntCamType, Control::WheelType, Control::ReleaseType,
                 Control::OverDraw, Control::BraceHt, Control::PointWtSpin, Control::UpDown4},
                false);
        visible({Control::HuntCamType}, true);
        visible({Control::WheelType}, false);
        font({Control::YouthBowWtSpin, Control::YouthArrowLenSpin}, kYouthColor);
        visible({Control::BowWeightSpin, Control::UpDown1, Control::ArrowLengthSpin, Control::UpDown2}, false);
        visible({Control::YouthBowWtSpin, Control::UpDown3, Control::YouthArrowLenSpin, Control::UpDown5}, true);
    }

    void orvik(int bowType) {
        visible({Control::BowType, Control::WheelType}, false);
        enabled({Control::WheelType}, false);
        visible({Control::TargBowType, Control::HuntCamType}, true);
        enabled({Control::TargBowType, Control::OverDraw, Control::BraceHt}, true);
        color({Control::TargBowType, Control::HuntCamType, Control::ReleaseType, Control::OverDraw, Control::BraceHt},
              kOrvkColor);
        adultEditsShown(kOrvkColor);
        if (bowType == 1) {
            enabled({Control::HuntCamType, Control::ReleaseType, Control::OverDraw, Control::BraceHt}, false);
        }
    }

private:
    ControlStates& out_;
};

} // namespace

const char* controlName(Control control) {
    static constexpr const char* names[kControlCount] = {
        "BowType", "TargBowType",    "HuntCamType", "WheelType",         "ReleaseType", "OverDraw",
        "BraceHt", "BowWeightSpin",  "UpDown1",     "ArrowLengthSpin",   "UpDown2",     "PointWtSpin",
        "UpDown4", "YouthBowWtSpin", "UpDown3",     "YouthArrowLenSpin", "UpDown5",     "Label6"};
    return names[static_cast<std::size_t>(control)];
}

ControlStates controlStates(const engine::SelectionResult& result, const engine::BowSetup& setup) {
    ControlStates out;
    Writer write(out);
    if (result.resetsApplied) {
        write.resets();
    }
    if (!result.pageRulesRan) {
        return out;
    }
    switch (result.page) {
    case Page::Hunt:
        write.hunting(setup.bowType);
        break;
    case Page::Targ:
        write.target(setup.targBowType);
        break;
    case Page::Youth:
        write.youth();
        break;
    case Page::Orvk:
        write.orvik(setup.targBowType);
        break;
    }
    return out;
}

Color bandColor(ColorBand band) {
    switch (band) {
    case ColorBand::Yellow:
        return 0xD5FFFF;
    case ColorBand::Green:
        return 0xDCFFB9;
    case ColorBand::Orange:
        return 0xB3CBFF;
    case ColorBand::Plain:
        break;
    }
    return 0xFFFFFF;
}

const char* bandColorName(ColorBand band) {
    switch (band) {
    case ColorBand::Yellow:
        return "pale yellow";
    case ColorBand::Green:
        return "pale green";
    case ColorBand::Orange:
        return "pale orange";
    case ColorBand::Plain:
        break;
    }
    return "white";
}

const char* bandMeaning(ColorBand band) {
    switch (band) {
    case ColorBand::Yellow:
        return ARROWSEL_TR_NOOP("ColorBand", "Lightest and fastest");
    case ColorBand::Green:
        return ARROWSEL_TR_NOOP("ColorBand", "Medium weight offering good speed and durability");
    case ColorBand::Orange:
        return ARROWSEL_TR_NOOP("ColorBand", "Heavier weights for excellent durability and penetration");
    case ColorBand::Plain:
        break;
    }
    return ARROWSEL_TR_NOOP("ColorBand", "Aluminum/carbon and carbon");
}

// Whole sentences, so that a translation can say them in its own order.
std::string bandDescription(ColorBand band) {
    switch (band) {
    case ColorBand::Yellow:
        return ARROWSEL_TR_NOOP("ColorBand", "Pale yellow: lightest and fastest.");
    case ColorBand::Green:
        return ARROWSEL_TR_NOOP("ColorBand", "Pale green: medium weight offering good speed and durability.");
    case ColorBand::Orange:
        return ARROWSEL_TR_NOOP("ColorBand", "Pale orange: heavier weights for excellent durability and penetration.");
    case ColorBand::Plain:
        break;
    }
    return ARROWSEL_TR_NOOP("ColorBand", "White: aluminum/carbon and carbon.");
}

} // namespace arrowsel::present
