#pragma once

#include "core/model/Colors.h"

namespace sonivera {

// The viridis colour map (dark blue-violet → teal → yellow): perceptually uniform, readable by
// people with the common colour-vision deficiencies, and light enough at its end to stay visible
// against black outlines. t is clamped to 0..1; NaN gives the start of the map.
RgbColor Viridis(double t);

// A diverging colour map for signed differences: blue (t = 0) through white (t = 0.5) to red
// (t = 1), with lightness changing evenly on either side, so zero is white and equal differences
// either way look equally strong. t is clamped to 0..1; NaN gives white.
RgbColor Diverging(double t);

// The colour `c` seen with the given opacity (clamped to 0..1) over a white background, so a
// surface without transparency shows it exactly.
RgbColor OverWhite(RgbColor c, double opacity);

} // namespace sonivera
