#pragma once

#include "TraceScene.h"
#include "model/SceneRay.h"

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

// Whether an index may serve the ray: an origin within the index's reach and a finite direction
// of about unit length whose components are zero or not vanishingly small (NaN and infinite
// directions are refused too). Other rays go to the plain walk.
inline bool AcceptsRay(const SceneRay& r, double originLimit) {
    if (!(std::fabs(r.x0) <= originLimit) || !(std::fabs(r.y0) <= originLimit)) {
        return false;
    }
    const double ax = std::fabs(r.dx);
    const double ay = std::fabs(r.dy);
    const double sum = ax + ay;
    if (!(sum >= 0.5 && sum <= 2.0)) {
        return false;
    }
    return (ax == 0.0 || ax >= 1e-200) && (ay == 0.0 || ay >= 1e-200);
}

} // namespace index_support
