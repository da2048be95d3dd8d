// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace arrowsel::sampledata {

// Beam and tube formulas behind the sample catalogue. Lengths in inches, forces in pounds-force,
// moduli in pounds per square inch, densities in pounds per cubic inch, weights in grains.

// The static spine test: a weight of 1.94 lb hung at the centre of a shaft lying on supports
// 28 in apart; the spine is the deflection in inches.
inline constexpr double kSpineLoadLb = 1.94;
inline constexpr double kSpineSpanIn = 28.0;

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kGrainsPerPound = 7000.0;
inline constexpr double kLbPerCubicInchPerGramPerCc = 0.0361273; // 1 g/cm3 in lb/in3
inline constexpr double kPsiPerGpa = 145037.738;

struct Material {
    double density = 0; // lb/in3
    double modulus = 0; // psi
};

Material materialFromMetric(double gramsPerCc, double gigapascals);

// Cross-section area and second moment of area of a round tube.
double tubeArea(double od, double id);
double tubeSecondMoment(double od, double id);

// Grains per inch of a tube of the given material.
double grainsPerInch(double od, double id, const Material& m);

// Deflection under the spine test of a shaft with bending stiffness `ei` (lb in2), and the
// stiffness a given deflection needs: d = F L^3 / (48 E I).
double spineDeflection(double ei);
double stiffnessForSpine(double deflection);

// Inner diameter of a tube of outer diameter `od` whose bending stiffness is `ei`; 0 or less when
// even a solid rod of that diameter is too weak.
double innerDiameterForStiffness(double od, double ei, const Material& m);

// Outer diameter of a wrap laid over a core of outer diameter `coreOd` that adds `ei` of stiffness.
double wrapDiameterForStiffness(double coreOd, double ei, const Material& wrap);

} // namespace arrowsel::sampledata
