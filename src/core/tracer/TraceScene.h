#pragma once

#include "core/tracer/TraceConstants.h"
#include "core/model/SceneRay.h"

#include <cmath>
#include <cstdint>
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
