#pragma once

#include "core/tracer/TraceConstants.h"
#include "core/model/SceneRay.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace sonivera {

struct SceneSettings;

// The scene as the tracer reads it: the listener's position, the rectangles in list order as flat
// arrays (so the nearest-hit search runs without virtual calls or list walking) and the sound
// sources in list order. A rectangle is identified by its index, which is its rank among the
// rectangles of the object list; a lower index means earlier in the list.
struct TraceScene {
    bool hasListener = false;
    double listenerX = 0.0;
    double listenerY = 0.0;

    // Rectangles: left x, top y, right x (= x + width), bottom y (= y + height), absorption α,
    // reflection R.
    std::vector<double> left, top, right, bottom, absorption, reflection;
    // Sound sources: position and power.
    std::vector<double> sourceX, sourceY, sourcePower;

    std::size_t RectCount() const { return left.size(); }
};

// Reads the scene's objects in list order. The list ends at its end or at an empty entry.
TraceScene SnapshotScene(const SceneSettings& scene);

// One edge of a rectangle: the line `edge` across the axis the ray moves along with origin o and
// step d (d ≠ 0), spanning [lo, hi] on the other axis (origin oAcross, step dAcross). An edge behind
// the origin is skipped; otherwise the crossing parameter |(o − edge) / d| and the crossing point
// oAcross + t·dAcross are computed in this order, and a point on the edge, ends included, makes the
// parameter a candidate for the nearest.
__attribute__((always_inline)) inline void CrossEdge(double o, double d, double edge, double oAcross,
                                                     double dAcross, double lo, double hi,
                                                     bool& hit, double& best) {
    if (!((d > 0.0 && o > edge) || (d < 0.0 && o < edge))) {
        const double ti = std::fabs((o - edge) / d);
        const double h = oAcross + ti * dAcross;
        if (lo <= h && h <= hi) {
            hit = true;
            best = ti < best ? ti : best;
        }
    }
}

// The intersection of a ray with rectangle k, computed edge by edge as the rectangle itself does
// it (top, bottom, left, right; both ends of an edge included). t receives the nearest edge
// parameter, or the no-hit distance when no edge is crossed.
inline bool IntersectRect(const TraceScene& s, std::size_t k, const SceneRay& r, double& t) {
    const double X = s.left[k];
    const double Y = s.top[k];
    const double R = s.right[k];
    const double B = s.bottom[k];
    double best = kNoHit;
    bool hit = false;
    // A rectangle wholly behind the origin along one axis is missed by every edge test: the
    // vertical edges fail their behind check, and a horizontal edge's crossing x0 + t·dx (t ≥ 0)
    // cannot come back to it (and the same with the axes swapped). Answer at once, without the
    // divisions.
    if ((r.dx > 0.0 && r.x0 > R && r.x0 > X) || (r.dx < 0.0 && r.x0 < X && r.x0 < R) ||
        (r.dy > 0.0 && r.y0 > B && r.y0 > Y) || (r.dy < 0.0 && r.y0 < Y && r.y0 < B)) {
        t = best;
        return false;
    }
    if (!(r.dy == 0.0)) {
        CrossEdge(r.y0, r.dy, Y, r.x0, r.dx, X, R, hit, best); // top
        CrossEdge(r.y0, r.dy, B, r.x0, r.dx, X, R, hit, best); // bottom
    }
    if (!(r.dx == 0.0)) {
        CrossEdge(r.x0, r.dx, X, r.y0, r.dy, Y, B, hit, best); // left
        CrossEdge(r.x0, r.dx, R, r.y0, r.dy, Y, B, hit, best); // right
    }
    t = best;
    return hit;
}

// Two edges of a rectangle side by side (IntersectRectAtOnce): the lines `edge` across the axis
// the ray moves along with origin o and step d, spanning [lo, hi] on the other axis. Lanes are
// all ones where CrossEdge would take the edge's parameter ti (returned in `ti`) as a hit.
typedef double EdgePair __attribute__((vector_size(16)));
typedef std::int64_t EdgePairMask __attribute__((vector_size(16)));
__attribute__((always_inline)) inline EdgePairMask CrossEdgePair(double o, double d, EdgePair edge,
                                                                 double oAcross, double dAcross,
                                                                 double lo, double hi,
                                                                 EdgePair& ti) {
    const EdgePair ov = {o, o};
    const EdgePair dv = {d, d};
    const EdgePair zero = {0.0, 0.0};
    // IntersectRect tests no edge of an axis the ray does not move along (d == 0).
    const EdgePairMask skipped = (EdgePairMask(dv > zero) & EdgePairMask(ov > edge)) |
                                 (EdgePairMask(dv < zero) & EdgePairMask(ov < edge)) |
                                 EdgePairMask(dv == zero);
    const EdgePairMask magnitude = {std::numeric_limits<std::int64_t>::max(),
                                    std::numeric_limits<std::int64_t>::max()};
    const EdgePair quotient = (ov - edge) / dv;
    ti = __builtin_bit_cast(EdgePair, __builtin_bit_cast(EdgePairMask, quotient) & magnitude);
    const EdgePair acrossV = {oAcross, oAcross};
    const EdgePair dAcrossV = {dAcross, dAcross};
    const EdgePair loV = {lo, lo};
    const EdgePair hiV = {hi, hi};
    const EdgePair h = acrossV + ti * dAcrossV;
    return ~skipped & EdgePairMask(loV <= h) & EdgePairMask(h <= hiV);
}

// IntersectRect's answer, bit for bit, with the four edge tests made side by side and no branch
// per edge: whether an edge is behind the origin and whether its crossing lies on it change from
// ray to ray and are poorly predicted, and the mispredicted branches cost more than the divisions
// IntersectRect leaves out. Why the answer is the same:
//  - each edge's ti and crossing are CrossEdge's operations on the same operands (|·| clears the
//    sign bit, as std::fabs does), and an edge counts exactly where CrossEdge would take it: not
//    behind the origin, the ray moving along its axis, the crossing on the edge, ends included;
//  - IntersectRect keeps the smallest of those ti by strict < from the no-hit distance: the
//    minimum of kNoHit and the counted ti, none of which is NaN (a NaN ti makes the crossing NaN,
//    which lies on no edge), and the order in which a minimum is taken does not change it;
//  - IntersectRect's shortcut for a rectangle wholly behind the origin answers what every edge
//    test would (its comment), so computing them instead changes nothing.
inline bool IntersectRectAtOnce(const TraceScene& s, std::size_t k, const SceneRay& r, double& t) {
    const double X = s.left[k];
    const double Y = s.top[k];
    const double R = s.right[k];
    const double B = s.bottom[k];
    EdgePair tY, tX;
    const EdgePairMask onY = CrossEdgePair(r.y0, r.dy, EdgePair{Y, B}, r.x0, r.dx, X, R, tY);
    const EdgePairMask onX = CrossEdgePair(r.x0, r.dx, EdgePair{X, R}, r.y0, r.dy, Y, B, tX);
    const EdgePair none = {kNoHit, kNoHit};
    const EdgePair cY = onY ? tY : none;
    const EdgePair cX = onX ? tX : none;
    const EdgePair c = cY < cX ? cY : cX;
    const double nearest = c[0] < c[1] ? c[0] : c[1];
    t = nearest < kNoHit ? nearest : kNoHit;
    const EdgePairMask any = onY | onX;
    return (any[0] | any[1]) != 0;
}

// Outward normal of rectangle k's side through (px, py), by exact comparison: left, right, upper,
// lower, in that order (so a corner takes the left or right side); the zero vector otherwise.
inline void SideNormal(const TraceScene& s, std::size_t k, double px, double py, double& nx,
                       double& ny) {
    nx = 0.0;
    ny = 0.0;
    if (px == s.left[k]) {
        nx = -1.0;
    } else if (px == s.right[k]) {
        nx = 1.0;
    } else if (py == s.top[k]) {
        ny = -1.0;
    } else if (py == s.bottom[k]) {
        ny = 1.0;
    }
}

} // namespace sonivera
