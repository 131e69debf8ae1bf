#pragma once

#include "TraceScene.h"

#include <algorithm>
#include <cmath>

// Helpers shared by the search indexes (grid and tree) over the scene's rectangles.
namespace index_support {

// The distance a search reports when it meets nothing.
constexpr double kNoHitDistance = 1.7e308;

// Smaller and larger of two values; a NaN argument gives the other comparison's fallback.
inline double Lo(double a, double b) {
    return a < b ? a : b;
}
inline double Hi(double a, double b) {
    return a < b ? b : a;
}

// The largest absolute coordinate of the rectangles' sides. Returns false when a side is not
// finite or the coordinates are too large for an index's margins (the plain walk serves then).
inline bool LargestCoordinate(const TraceScene& scene, double* largest) {
    *largest = 0.0;
    for (std::size_t k = 0; k < scene.RectCount(); ++k) {
        for (double v : {scene.left[k], scene.top[k], scene.right[k], scene.bottom[k]}) {
            if (!std::isfinite(v)) {
                return false;
            }
            *largest = std::max(*largest, std::fabs(v));
        }
    }
    return scene.RectCount() != 0 && *largest <= 1e100;
}

} // namespace index_support
