#pragma once

#include "core/tracer/TraceConstants.h"

namespace sonivera {

// The nearest rectangle along a ray: the smallest intersection parameter, ties going to the
// rectangle earlier in the object list, the left-out rectangle skipped. A rectangle whose
// parameter is not below the no-hit distance is never taken. What every search (the plain walk,
// the grid, the tree) gives back.
struct SearchHit {
    int index = -1;       // the rectangle met, or -1
    double dist = kNoHit; // its parameter; the no-hit distance when none
};

} // namespace sonivera
