// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calc/arrow_speed.h"
#include "calc/arrow_weight.h"
#include "engine/selection.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace arrowsel::data {
class TDbfTable;
}

namespace arrowsel::calc {

// The shaft a size click chose: the click's texts (key, size, models) and the fields of its
// specification record, blanks trimmed.
struct ShaftTexts {
    std::string key;
    std::string size;
    std::string models;
    std::string spine;
    std::string shaftType;
    std::string grainsPerInch; // the field's text, both figures when it holds two
    std::string outsideDiameter;
    std::string insideDiameter;
};
// Opens the specification table of `dataFolder` with its index "specs.idx" and seeks `key`, as
// the specifications window does (an empty key is not sought: every key begins with it). True when
// the key was found; a miss leaves the table where the seek left it. Throws data::ETableError when
// the table or its index cannot be opened.
bool openShaftTable(data::TDbfTable& table, const std::filesystem::path& dataFolder, const std::string& key);

// The fields of `table`'s current record, with the texts of the size click that chose the shaft:
// the key it formed (TmpLbl), the size (SpcLbl) and the models (Mods).
ShaftTexts shaftTexts(const data::TDbfTable& table, std::string_view clickKey, std::string size, std::string models);

// The length and component weights the specifications window starts from: the setup's arrow
// length (the youth length on the Youth page), its point weight on the Hunting page and the
// shaft's default weights otherwise; `shaft` null (no shaft chosen) gives components of 0.
// Throws engine::EConvertError when the setup's length or point weight is no whole number.
// `pageTag` is the page the shaft was chosen on (TmpLbl2).
ArrowComponents startingComponents(const engine::BowSetup& setup, std::string_view pageTag,
                                   const data::TDbfTable* shaft);

// The bow of the setup for the page the shaft was chosen on, and the text of its draw weight (the
// setup's field that holds it).
BowKind bowKind(const engine::BowSetup& setup, std::string_view pageTag);
const std::string& drawWeightText(const engine::BowSetup& setup, std::string_view pageTag);

// What the finished arrow comes to.
struct FinishedArrow {
    ArrowWeights weights;
    std::optional<GrainsPerPound> perPound;   // nullopt: the draw weight is no positive number
    std::optional<std::string> frontOfCenter; // "10.9%"; nullopt without a balance point
    ArrowSpeed speed;
};

// `balance`: the balance point's distance from the nock groove in inches, 0 when none is given.
FinishedArrow finishArrow(double gpi, const ArrowComponents& parts, std::string_view drawWeightText, BowKind bow,
                          const SpeedInputs& speed, double balance);

// Everything the build sheet prints besides the main window's setup and the shop.
struct BuildSheet {
    std::string customer; // may be empty
    std::string pageTag;
    ShaftTexts shaft;
    ArrowComponents parts;
    SpeedInputs speedInputs;
    double balance = 0;
    FinishedArrow arrow;
};

} // namespace arrowsel::calc
