#pragma once

#include <cstdint>

namespace vortiquo {

// The one record of a simulation window. Created zeroed with the window and
// freed with it; every handler reads or writes named fields of it.
struct SimulationState {
    // Current point and next point (z, zNext only in the flows).
    double x = 0, y = 0, z = 0;
    double xNext = 0, yNext = 0, zNext = 0;
    // The flow's derivative at the current point, used only inside StepModel.
    double dx = 0, dy = 0, dz = 0;
    // Drawing coordinates of the last plotted flow point (whole numbers).
    double screenX = 0, screenY = 0;
    // Outer size of the drawing area in twips, captured once at load.
    float plotHeight = 0, plotWidth = 0;
    // Trace colour scheme, 1 to 6.
    std::int16_t colourScheme = 0;
    // Model parameters and the flows' time increment.
    double a = 0, b = 0, c = 0;
    double dt = 0;
    // View angle of the flows: alpha = pi * num / den, with its cosine and sine.
    double num = 0, den = 0;
    double alpha = 0, cosAlpha = 0, sinAlpha = 0;
    // Run flags and the optional step limit.
    bool stopRequested = false;
    bool limitOn = false;
    std::int32_t stepLimit = 0;
};

// The angle constant: the decimal 3.14159265358979, seven units in the last
// place below the double nearest to pi.
inline constexpr double AngleConstant = 3.14159265358979;

}  // namespace vortiquo
