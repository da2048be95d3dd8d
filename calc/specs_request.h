// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the specifications window opens with, as plain values: the shaft the main window's last
// size click chose, the page its last selection run showed and the setup its inputs hold. The
// main window keeps the chosen shaft itself (its hidden labels TmpLbl, SpcLbl, Mods and TmpLbl2
// only show the same texts), and the window is modal, so nothing it shows can change while it is
// open: it reads the main window no more once it is made.

#include "engine/selection.h"

#include <filesystem>
#include <string>

namespace arrowsel::calc {

// The shaft of the last size click as the click wrote it. `clickKey` is the cell's size and chart
// detail run together (the specification key is cut from it at its first blank); `size` and
// `models` are the cell's captions. `pageTag` is the tag of the page the last run showed ("Hunt",
// "Targ", "Youth" or "Orvk"): it decides the bow, the draw weight and the starting point weight.
// All are empty before the first click and run; an Orvik spine or model click keeps the shaft of
// the click before it.
struct ShaftChoice {
    std::string clickKey;
    std::string size;
    std::string models;
    std::string pageTag;
};

struct SpecsRequest {
    std::filesystem::path dataFolder; // holds SPECS.DBF and its index specs.idx
    ShaftChoice shaft;
    engine::BowSetup setup; // the main window's inputs as they stand when the window opens
};

} // namespace arrowsel::calc
