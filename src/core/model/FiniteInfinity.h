#pragma once

namespace sonivera {

// The finite value that stands for infinity in the scene and the tracer. It is stored in scene
// files (a new rectangle's absorption) and compared exactly (a search takes a rectangle only when
// its parameter is strictly below the no-hit distance), so it must be this very double.
constexpr double kFiniteInfinity = 1.7e308;

// The no-hit distance: the starting value of every nearest-hit search and the distance reported
// when nothing is hit.
constexpr double kNoHit = kFiniteInfinity;

// An infinite coefficient: the absorption of a new rectangle and the upper bound of the
// coefficient fields labelled "0 - Inf".
constexpr double kInfiniteCoefficient = kFiniteInfinity;

} // namespace sonivera
