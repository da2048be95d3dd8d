// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/arrow_weight.h"

#include "data/text.h"
#include "engine/chart_rules.h"
#include "engine/conversions.h"

namespace arrowsel::calc {

std::string specificationKey(std::string_view tmpLbl) {
    return data::cutAtMark(std::string(tmpLbl), ' ');
}

bool usesSecondGpi(std::string_view models) {
    return engine::usesSecondGpiFigure(models);
}

double grainsPerInch(std::string_view gpiText, std::string_view models) {
    if (usesSecondGpi(models)) {
        return engine::toNumber(engine::secondGpiFigure(gpiText));
    }
    // The engine pads character fields to their width; the message shows the text without it.
    return engine::toNumber(data::trimTrailingSpaces(gpiText));
}

std::string wholePartText(double value) {
    return data::cutAtMark(engine::numberText(value), '.');
}

ArrowWeights arrowWeights(double gpi, const ArrowComponents& parts) {
    const double shaft = parts.length * gpi;
    // The half grain is added to the shaft alone: the shaft rounds, the total is cut.
    const double total = shaft + parts.nock + parts.point + parts.vanes + parts.insert;
    return {wholePartText(shaft + 0.5), wholePartText(total), total};
}

std::optional<GrainsPerPound> grainsPerPound(double totalGrains, std::string_view drawWeightText) {
    double drawWeight = 0;
    try {
        drawWeight = engine::toNumber(drawWeightText);
    } catch (const engine::EConvertError&) {
        return std::nullopt;
    }
    if (!(drawWeight > 0)) {
        return std::nullopt;
    }
    const double ratio = totalGrains / drawWeight;
    GrainsPerPound result;
    result.text = engine::numberText(ratio);
    if (const auto dot = result.text.find('.'); dot != std::string::npos) {
        result.text.resize(std::min(result.text.size(), dot + 2));
    }
    result.tooLight = ratio < kMinimumGrainsPerPound;
    return result;
}

} // namespace arrowsel::calc
