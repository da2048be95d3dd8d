// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The presentation table of the main window, above the engine and free of Qt: it turns the domain
// result of a selection run into the states of the window's input controls and the colours of its
// cells. The window applies them to its widgets; arrowsel-cli prints the colours. Control names
// are the windows' object names.

#include "engine/selection.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace arrowsel::present {

// A 24-bit colour in blue-green-red order (0x00BBGGRR).
using Color = std::uint32_t;

// Input controls whose states a run sets.
enum class Control {
    BowType,
    TargBowType,
    HuntCamType,
    WheelType,
    ReleaseType,
    OverDraw,
    BraceHt,
    BowWeightSpin,
    UpDown1,
    ArrowLengthSpin,
    UpDown2,
    PointWtSpin,
    UpDown4,
    YouthBowWtSpin,
    UpDown3,
    YouthArrowLenSpin,
    UpDown5,
    Label6,
};
inline constexpr int kControlCount = 18;
const char* controlName(Control control); // the control's object name, e.g. "BowWeightSpin"

// What a run wrote into one control; a property left nullopt was not touched by the run and keeps
// what the window shows. `color` is a radio group's ColorChecked and ColorLineFocus.
struct ControlState {
    std::optional<bool> visible;
    std::optional<bool> enabled;
    std::optional<Color> color;
    std::optional<Color> fontColor;
};

struct ControlStates {
    std::array<ControlState, kControlCount> states;
    // True when the resets of a guarded run happened: the size buttons' hint "Click for Weight
    // Calculation" (all but HSzBtn9 and HSzBtn17) and TSpBtn1 to TSpBtn13 made visible. The cells'
    // flags of those resets are already part of the grids.
    bool resetsApplied = false;

    ControlState& operator[](Control c) { return states[static_cast<std::size_t>(c)]; }
    const ControlState& operator[](Control c) const { return states[static_cast<std::size_t>(c)]; }
};

// The control states a run wrote, in the order the run's steps wrote them, from the steps the run
// took and the setup it ran on.
ControlStates controlStates(const engine::SelectionResult& result, const engine::BowSetup& setup);

// The colour of a Hunting cell's colour band, and the name arrowsel-cli prints for it.
Color bandColor(engine::ColorBand band);
const char* bandColorName(engine::ColorBand band);
// What the band says of the shafts in it, as the Hunting page's colour legend explains it
// ("Lightest and fastest").
const char* bandMeaning(engine::ColorBand band);
// For screen readers, who cannot see the face: "Pale yellow: lightest and fastest."
std::string bandDescription(engine::ColorBand band);

} // namespace arrowsel::present
