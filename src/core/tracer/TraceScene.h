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
        if (!((r.dy > 0.0 && r.y0 > Y) || (r.dy < 0.0 && r.y0 < Y))) {
            const double ti = std::fabs((r.y0 - Y) / r.dy);
            const double xh = r.x0 + ti * r.dx;
            if (X <= xh && xh <= R) {
                hit = true;
                best = ti < best ? ti : best;
            }
        }
        if (!((r.dy > 0.0 && r.y0 > B) || (r.dy < 0.0 && r.y0 < B))) {
            const double ti = std::fabs((r.y0 - B) / r.dy);
            const double xh = r.x0 + ti * r.dx;
            if (X <= xh && xh <= R) {
                hit = true;
                best = ti < best ? ti : best;
            }
        }
    }
    if (!(r.dx == 0.0)) {
        if (!((r.dx > 0.0 && r.x0 > X) || (r.dx < 0.0 && r.x0 < X))) {
            const double ti = std::fabs((r.x0 - X) / r.dx);
            const double yh = r.y0 + ti * r.dy;
            if (Y <= yh && yh <= B) {
                hit = true;
                best = ti < best ? ti : best;
            }
        }
        if (!((r.dx > 0.0 && r.x0 > R) || (r.dx < 0.0 && r.x0 < R))) {
            const double ti = std::fabs((r.x0 - R) / r.dx);
            const double yh = r.y0 + ti * r.dy;
            if (Y <= yh && yh <= B) {
                hit = true;
                best = ti < best ? ti : best;
            }
        }
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
