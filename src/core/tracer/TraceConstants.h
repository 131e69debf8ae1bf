#pragma once

#include "core/model/SceneObject.h"

namespace sonivera {

// The fixed numbers of the tracer, each defined once. Every one of them takes part in an exact
// comparison or in a rounded product or sum whose result ends up in the bins, so each must be
// this very double: a neighbouring value, or the same value computed differently (0.3 as 3/10 is
// the same double, 1/300 computed at run time is not guaranteed to be), would move echoes between
// bins or in and out of the recorded set.

// The no-hit distance is kNoHit (model/FiniteInfinity.h): searches take a rectangle only when its
// parameter is strictly below it.

// A passing ray first steps this far into the rectangle it met, then looks for its far side. The
// step enters the leg length (0.001 + exit parameter + what follows).
constexpr double kPassageStepIn = 0.001;

// Beyond the far side, a rectangle met less than this far ahead (one touching the rectangle just
// passed, typically) is stepped over ...
constexpr double kStepOverBelow = 0.001;
// ... by moving the origin its distance plus this much further along the ray; the same amount is
// added to the walked distance.
constexpr double kStepOverExtra = 0.001;

// A source sees a point when the first rectangle on the way from the source is met within this
// distance of the point (|hit − distance| < it), i.e. the point lies on that rectangle's outline.
// A rectangle met nearer than the point by this much or more hides the point whatever else lies
// nearer.
constexpr double kSeenWithin = 0.001;

// A reflected ray is not followed when it meets the next rectangle with a cosine of at least this
// against that side's normal (within about 2.56 degrees of head-on).
constexpr double kHeadOnCosine = 0.999;

// Sound travels 300 m/s. Stop distance (m) = stop time (ms) × 0.3; delay (s) = length (m) × the
// double nearest 1/300. Both are products with these literal doubles.
constexpr double kMetresPerMillisecond = 0.3;
constexpr double kSecondsPerMetre = 0.0033333333333333335;

} // namespace sonivera
