// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen/physics.h"

#include <cmath>

namespace arrowsel::sampledata {

Material materialFromMetric(double gramsPerCc, double gigapascals) {
    return {gramsPerCc * kLbPerCubicInchPerGramPerCc, gigapascals * kPsiPerGpa};
}

double tubeArea(double od, double id) {
    return kPi / 4.0 * (od * od - id * id);
}

double tubeSecondMoment(double od, double id) {
    return kPi / 64.0 * (std::pow(od, 4) - std::pow(id, 4));
}

double grainsPerInch(double od, double id, const Material& m) {
    return tubeArea(od, id) * m.density * kGrainsPerPound;
}

double spineDeflection(double ei) {
    return kSpineLoadLb * std::pow(kSpineSpanIn, 3) / (48.0 * ei);
}

double stiffnessForSpine(double deflection) {
    return kSpineLoadLb * std::pow(kSpineSpanIn, 3) / (48.0 * deflection);
}

double innerDiameterForStiffness(double od, double ei, const Material& m) {
    const double id4 = std::pow(od, 4) - 64.0 * ei / (kPi * m.modulus);
    return id4 > 0 ? std::pow(id4, 0.25) : 0.0;
}

double wrapDiameterForStiffness(double coreOd, double ei, const Material& wrap) {
    return std::pow(std::pow(coreOd, 4) + 64.0 * ei / (kPi * wrap.modulus), 0.25);
}

} // namespace arrowsel::sampledata
