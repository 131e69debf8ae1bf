#pragma once

#include "core/tracer/TraceConstants.h"
#include "core/tracer/TraceScene.h"
#include "core/model/SceneRay.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace sonivera {

// Helpers shared by the search indexes (grid and tree) over the scene's rectangles.
namespace index_support {

// Smaller and larger of two values; a NaN argument gives the other comparison's fallback.
inline double Lo(double a, double b) {
    return a < b ? a : b;
}
inline double Hi(double a, double b) {
    return a < b ? b : a;
}

// Narrows [tIn, tOut] to the part of the ray o + t·d (inv = 1/d) between lo and hi on one axis.
// Returns false when the ray runs parallel to the axis outside the slab.
__attribute__((always_inline)) inline bool ClipToSlab(double o, double d, double inv, double lo,
                                                      double hi, double& tIn, double& tOut) {
    if (d != 0.0) {
        const double a = (lo - o) * inv;
        const double b = (hi - o) * inv;
        tIn = Hi(tIn, Lo(a, b));
        tOut = Lo(tOut, Hi(a, b));
        return true;
    }
    return !(o < lo || o > hi);
}

// An axis-aligned box: smaller and larger x, smaller and larger y.
struct Box {
    double x0, y0, x1, y1;

    static Box Empty() {
        const double inf = std::numeric_limits<double>::infinity();
        return {inf, inf, -inf, -inf};
    }
    void Grow(const Box& b) {
        x0 = std::min(x0, b.x0);
        y0 = std::min(y0, b.y0);
        x1 = std::max(x1, b.x1);
        y1 = std::max(y1, b.y1);
    }
    void Widen(double margin) {
        x0 -= margin;
        y0 -= margin;
        x1 += margin;
        y1 += margin;
    }
    double Perimeter() const { return (x1 - x0) + (y1 - y0); }
};

// Rectangle k's box, its sides in order.
inline Box RectBox(const TraceScene& s, std::size_t k) {
    return {Lo(s.left[k], s.right[k]), Lo(s.top[k], s.bottom[k]), Hi(s.left[k], s.right[k]),
            Hi(s.top[k], s.bottom[k])};
}

// What every index sets up first: the margin by which its boxes are grown (1e-9 of the largest
// coordinate, far more than the rounding of a computed hit point or of a box test, about 1e-15
// relative), the farthest origin it serves (rays from farther away go to the plain walk), and the
// box around all rectangles grown by the margin.
struct IndexBounds {
    double margin = 0.0;
    double originLimit = 0.0;
    Box box = Box::Empty();
};

// The bounds of the scene's rectangles. Returns false when there are none, a side is not finite
// or the coordinates are too large for the margins (the plain walk serves then).
inline bool MakeIndexBounds(const TraceScene& scene, IndexBounds& bounds) {
    double largest = 0.0;
    bounds.box = Box::Empty();
    for (std::size_t k = 0; k < scene.RectCount(); ++k) {
        for (double v : {scene.left[k], scene.top[k], scene.right[k], scene.bottom[k]}) {
            if (!std::isfinite(v)) {
                return false;
            }
            largest = std::max(largest, std::fabs(v));
        }
        bounds.box.Grow(RectBox(scene, k));
    }
    if (scene.RectCount() == 0 || !(largest <= 1e100)) {
        return false;
    }
    bounds.margin = 1e-9 * (largest + 1.0);
    bounds.originLimit = 1e3 * (largest + 1.0);
    bounds.box.Widen(bounds.margin);
    return true;
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

// Tests rectangle k, which the index could not rule out, exactly as the plain walk does. A
// visibility search stops (false) at a rectangle nearer than the point by kSeenWithin or more;
// otherwise the nearer parameter wins, ties to the lower index, whatever order the index visits
// rectangles in. Hit is the searches' SearchHit.
template <class Hit>
__attribute__((always_inline)) inline bool OfferRect(const TraceScene& scene, std::int32_t k,
                                                     const SceneRay& r, bool visibility,
                                                     double pointDist, Hit& hit) {
    double t;
    if (!IntersectRectAtOnce(scene, static_cast<std::size_t>(k), r, t) || !(t < kNoHit)) {
        return true;
    }
    if (visibility && t - pointDist <= -kSeenWithin) {
        hit.index = k;
        hit.dist = t;
        return false;
    }
    if (t < hit.dist || (t == hit.dist && k < hit.index)) {
        hit.dist = t;
        hit.index = k;
    }
    return true;
}

// What the grid and the tree share: the reach of the rays they serve, set when they are built.
class IndexBase {
protected:
    // The bounds a build works in; none when the plain walk must serve the scene instead.
    std::optional<IndexBounds> BeginBuild(const TraceScene& scene) {
        IndexBounds bounds;
        if (!MakeIndexBounds(scene, bounds)) {
            return std::nullopt;
        }
        m_originLimit = bounds.originLimit;
        return bounds;
    }
    bool AcceptsWhenBuilt(bool built, const SceneRay& r) const {
        return built && AcceptsRay(r, m_originLimit);
    }

    double m_originLimit = 0.0;
};

} // namespace index_support

} // namespace sonivera
