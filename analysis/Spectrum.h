#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "analysis/Lyapunov.h"

namespace vortiquo {

// The whole Lyapunov spectrum of what the program iterates: two exponents
// for a map, three for a flow's Euler step at the state's dt. A basis of
// tangent vectors is carried along the orbit by the step's Jacobian and
// made orthonormal again by Gram–Schmidt every k steps; exponent i is the
// mean logarithm of the i-th diagonal entry of the triangular factor, per
// step for the maps and per unit of time for the flows.
//
// It checks itself: the exponents add up to the mean of log |det J| along
// the same orbit, since the triangular factors' diagonals multiply to the
// determinants' product. Both are computed and reported; they differ only by
// rounding.
//
// A singular Jacobian collapses a vector of the basis (the recurrence map at
// x = 0, where the maps start by default): within the transient the basis
// starts afresh; after it, the collapse is a fault with its step, never a
// number.

struct SpectrumSettings {
    std::int64_t transientSteps = 0;
    // Steps measured: at least 20 times orthonormaliseEvery.
    std::int64_t measuredSteps = 0;
    // k: steps between two re-orthonormalisations.
    std::int64_t orthonormaliseEvery = 1;
};

// The defaults of a model: the transient and the steps of its largest
// exponent (defaultLyapunovSettings), and the interval of its twin (1 step
// for the maps, 10 for the flows).
SpectrumSettings defaultSpectrumSettings(const Dynamics& dynamics, const SimulationState& state);

inline constexpr int MaxExponents = 3;

struct SpectrumResult {
    Outcome outcome = Outcome::Invalid;
    // On a fault: Orbit when the orbit overflowed, Tangent when the
    // Jacobian collapsed the basis after the transient (or its determinant
    // was 0 there); the step, counted from 1 at the first step from the start.
    FaultSource faultSource = FaultSource::None;
    std::int64_t faultStep = 0;
    int count = 0;  // exponents: the model's coordinates
    // In the order Gram–Schmidt gives them, the largest first; the
    // uncertainty of each is the standard error of 20 blocks' means.
    std::array<Estimate, MaxExponents> exponents;
    Estimate sum;             // of the exponents
    Estimate logDeterminant;  // the mean of log |det J|, in the same unit
    Estimate kaplanYorke;     // from the exponents; its error from the blocks' own dimensions
    double stepDuration = 1;  // dt for the flows, 1 for the maps
    // Times the basis collapsed within the transient and started afresh.
    std::int64_t transientRestarts = 0;
};

// Measures from `start` with the model's parameters and dt. Estimates are
// set only when the outcome is Finished. Same inputs, same bits.
SpectrumResult lyapunovSpectrum(const Model& model, const SimulationState& start, const SpectrumSettings& settings,
                                const AnalysisControl& control = {});

// The Kaplan–Yorke dimension j + (λ₁ + … + λⱼ) / |λⱼ₊₁|, where j is the most
// exponents (largest first, in any order given) whose sum is not negative:
// 0 when the largest is negative, the number of exponents when their sum is
// not negative. NaN when an exponent is not finite.
double kaplanYorkeDimension(std::span<const double> exponents);

}  // namespace vortiquo
