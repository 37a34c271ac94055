#pragma once
// Head loss of one section over its 14 segments, with a given internal
// diameter: the section calculation's own coefficient formula, or
// Darcy-Weisbach with the Colebrook-White friction factor.
//
// Units at this boundary: flows in l/s, lengths and diameters in m,
// roughness in mm, losses in m of water, velocities in m/s.

#include <optional>

namespace acquenza {

// Standard acceleration of gravity, m/s² (3rd CGPM, 1901; ISO 80000-3).
inline constexpr double Gravity = 9.80665;
// Kinematic viscosity of water at 10 °C, m²/s. The IAPWS 2008 formulation
// gives a dynamic viscosity of 1.3059 mPa·s at a density of 999.70 kg/m³, so
// 1.3063e-6; hydraulics tables round it to 1.307e-6, the figure taken here
// (0.05 % apart: no loss moves by more than 0.01 %).
inline constexpr double WaterViscosity10C = 1.307e-6;

enum class LossFormula {
    // Y = (B * L / 14) * (Q / 1000)² / D⁵ per segment, B = 0.0025 for a new
    // pipe and 0.004 for a pipe in use: the section calculation's formula.
    Coefficient,
    // h = f * (L / 14) / D * v² / (2 g) per segment, f by Colebrook-White.
    DarcyWeisbach,
};

// How one section's loss is stated: the formula and the figure it needs.
struct LossModel {
    LossFormula formula = LossFormula::Coefficient;
    double coefficient = 0.0025;  // B of the coefficient formula
    double roughnessMm = 0.01;    // absolute roughness ε for Darcy-Weisbach, mm
    bool operator==(const LossModel&) const = default;
};

// Flow of segment k (1..14), taken at its upstream end as the section
// calculation takes it: q_end + q_along - (k - 1) * q_along / 14, l/s.
double SegmentFlow(double flowEnd, double flowAlong, int segment);

// Mean velocity of a flow (l/s) in a pipe of internal diameter D (m), with
// π = std::numbers::pi. (The section calculation's own velocity keeps its
// 3.14, as its printed results always had it.)
double Velocity(double flowLs, double diameterM);

// Reynolds number of a flow (l/s) in a pipe of diameter D (m), water at 10 °C.
double ReynoldsNumber(double flowLs, double diameterM);

// Colebrook-White friction factor, solved to the last bit by Newton's method
// on 1/√f: 1/√f = -2 log10(ε/(3.7 D) + 2.51 / (Re √f)). Re > 0.
double ColebrookWhite(double reynolds, double relativeRoughness);

// Darcy friction factor over every regime, as EPANET 2.2 states it in its
// manual: laminar 64/Re below Re 2000; from 2000 to 4000 the manual's cubic
// interpolation (Dunlop, 1991) of the Moody diagram; Colebrook-White above
// 4000, here solved exactly where EPANET takes the Swamee-Jain approximation
// (the two differ by about 1 %, so the factor steps by as much at Re 4000).
// 0 for Re 0.
double FrictionFactor(double reynolds, double relativeRoughness);

// Head loss (m) over the 14 segments of a section of length L (m) carrying
// q_end at its end and q_along drawn uniformly along it (l/s), in a pipe of
// internal diameter D (m). A reverse flow loses head in its own direction, so
// the loss takes the flow's sign; zero flow loses nothing. nullopt when no
// loss can be stated: no diameter (D ≤ 0), a value not finite, a
// Darcy-Weisbach roughness below 0.
std::optional<double> SectionHeadLoss(const LossModel& model, double length, double flowEnd,
                                      double flowAlong, double diameterM);

}  // namespace acquenza
