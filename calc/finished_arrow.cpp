// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/finished_arrow.h"

#include "data/dbf_table.h"
#include "data/text.h"
#include "engine/conversions.h"

#include <charconv>
#include <utility>

namespace arrowsel::calc {

namespace {

std::string trimmedField(const data::TDbfTable& table, std::string_view field) {
    return std::string(data::trimSpaces(table.fieldText(field)));
}

// Youth bows are drawn with the youth weight of their own page.
bool drawnWithYouthWeight(std::string_view pageTag) {
    return pageTag == "Youth";
}

long wholeGrains(const std::string& text) {
    long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace

bool openShaftTable(data::TDbfTable& table, const std::filesystem::path& dataFolder, const std::string& key) {
    table.open(dataFolder / "SPECS.DBF", data::TDbfTable::OpenMode::ReadOnly);
    table.openIndexFile("specs.idx");
    return !key.empty() && table.seek(key);
}

ShaftTexts shaftTexts(const data::TDbfTable& table, std::string_view clickKey, std::string size, std::string models) {
    ShaftTexts t;
    t.key = specificationKey(clickKey);
    t.size = std::move(size);
    t.models = std::move(models);
    t.spine = trimmedField(table, "SPINE");
    t.shaftType = trimmedField(table, "ARROWTYPE");
    t.grainsPerInch = trimmedField(table, "GPI");
    t.outsideDiameter = trimmedField(table, "OD");
    t.insideDiameter = trimmedField(table, "ID");
    return t;
}

ArrowComponents startingComponents(const engine::BowSetup& setup, std::string_view pageTag,
                                   const data::TDbfTable* shaft) {
    // The main window's whole numbers are read as the main window reads them: a text it would
    // refuse throws the same conversion error rather than standing for 0.
    auto mainNumber = [](const std::string& text) { return static_cast<double>(engine::toInteger(text)); };
    auto shaftDefault = [shaft](const char* field) { return shaft ? shaft->fieldFloat(field) : 0.0; };
    ArrowComponents parts;
    parts.length = mainNumber(pageTag == "Youth" ? setup.youthArrowLength : setup.arrowLength);
    parts.point = pageTag == "Hunt" ? mainNumber(setup.pointWeight) : shaftDefault("DEFPTWT");
    parts.nock = shaftDefault("DEFNOCKWT");
    parts.vanes = shaftDefault("DEFVANEWT");
    parts.insert = shaftDefault("DEFINSWT");
    return parts;
}

BowKind bowKind(const engine::BowSetup& setup, std::string_view pageTag) {
    if (pageTag == "Youth") {
        return BowKind::Youth;
    }
    // The Target and Orvik pages choose between a compound and a recurve; the Hunting page adds
    // the longbow. Only a compound carries a speed rating.
    if (pageTag == "Targ" || pageTag == "Orvk") {
        return setup.targBowType == 0 ? BowKind::Compound : BowKind::Recurve;
    }
    switch (setup.bowType) {
    case 0:
        return BowKind::Compound;
    case 2:
        return BowKind::Longbow;
    default:
        return BowKind::Recurve;
    }
}

const std::string& drawWeightText(const engine::BowSetup& setup, std::string_view pageTag) {
    return drawnWithYouthWeight(pageTag) ? setup.youthBowWeight : setup.bowWeight;
}

FinishedArrow finishArrow(double gpi, const ArrowComponents& parts, std::string_view drawWeightText, BowKind bow,
                          const SpeedInputs& speed, double balance) {
    FinishedArrow out;
    out.weights = arrowWeights(gpi, parts);
    out.perPound = grainsPerPound(out.weights.totalGrains, drawWeightText);
    std::optional<double> drawWeight;
    try {
        drawWeight = engine::toNumber(drawWeightText);
    } catch (const engine::EConvertError&) {
    }
    out.speed = arrowSpeed(speed, bow, drawWeight, wholeGrains(out.weights.total));
    if (balance > 0 && parts.length > 0) {
        out.frontOfCenter = frontOfCenterText(static_cast<float>(parts.length), static_cast<float>(balance));
    }
    return out;
}

} // namespace arrowsel::calc
