#pragma once

#include "core/model/SceneRay.h"
#include "core/tracer/RectLanes.h"
#include "core/tracer/TraceScene.h"

#include <cstddef>

namespace sonivera {

// The rectangles a search without an index needs to test: those that can be met. Which ones
// cannot is often known before the ray is: IntersectRect answers "no hit" at once for a rectangle
// wholly behind the ray's origin along an axis the ray moves along (ray moving right, origin right
// of both vertical sides; and the three like it), and the lanes do the same for whole groups.
// That condition needs only the origin's coordinate on that axis and the sign of the
// direction on it. For origins known in advance it is evaluated once per rectangle, and the
// rectangles it holds for are left out of the lanes searched:
//  - a visibility search starts at a sound source: one subset per source and quadrant of the
//    direction (both components non-zero), leaving out what is behind on either axis;
//  - a search that leaves out rectangle q (a reflection off q, or a passage through it) from
//    an origin at or beyond one of q's sides in the direction of travel: a ray moving right
//    from x0 ≥ c, where c is q's left or right side, misses every rectangle k with
//    c > right(k) and c > left(k), as then x0 > both; likewise moving left from x0 ≤ c, and
//    on the y axis. Per rectangle one subset for each choice on x (none; right from left or
//    right side; left from right or left side) and on y, 25 in all, leaving out q and what is
//    behind on either axis.
// Exactness: a rectangle left out reports "no hit" to every ray the subset is chosen for (the
// condition is IntersectRect's own, and the origin is compared with the coordinate it was
// evaluated for before the subset is chosen), and a search takes only rectangles it hits (and
// never the skipped one); so the nearest (t, list index) over the subset is the nearest over
// every rectangle, and "some rectangle hit nearer than the point by kSeenWithin" holds for
// the subset exactly when it holds for all. Which hiding rectangle a visibility search names
// may differ; the walk uses that only as a first guess (BlockedBy), which decides nothing.
// A zero or NaN direction component leaves nothing out on its axis (from a source: nothing
// at all), and neither does an origin short of q's sides. The subsets' lanes are bounded
// (kSubsetLaneBudget): the rectangles' subsets fit below the index's threshold of rectangles,
// and sources beyond the budget search every rectangle.
class RectSubsets {
public:
    explicit RectSubsets(const TraceScene& scene) : m_scene(scene) {}

    // Adds the subsets to `lanes` (none for a scene without sources, or past about 100
    // rectangles, which only scenes made to skip the index have).
    void Build(RectLanes& lanes);

    // The subset for a ray from sound source `source` (-1: none), or every rectangle.
    RectLanes::Subset FromSource(const SceneRay& ray, int source) const {
        const auto src = static_cast<std::size_t>(source);
        if (source < 0 || src >= m_sourcesWithSubsets || !(ray.dx > 0.0 || ray.dx < 0.0) ||
            !(ray.dy > 0.0 || ray.dy < 0.0) || !(ray.x0 == m_scene.sourceX[src]) ||
            !(ray.y0 == m_scene.sourceY[src])) {
            return RectLanes::kAll;
        }
        return m_sourceBase + static_cast<RectLanes::Subset>(4 * src + (ray.dx > 0.0 ? 2 : 0) +
                                                             (ray.dy > 0.0 ? 1 : 0));
    }

    // The subset for a ray that leaves out rectangle `skip` (-1: none), or every rectangle.
    RectLanes::Subset LeavingOut(const SceneRay& ray, int skip) const {
        if (skip < 0 || !m_built) {
            return RectLanes::kAll;
        }
        const auto q = static_cast<std::size_t>(skip);
        const std::size_t bx = ChooseBound(ray.x0, ray.dx, m_scene.left[q], m_scene.right[q]);
        const std::size_t by = ChooseBound(ray.y0, ray.dy, m_scene.top[q], m_scene.bottom[q]);
        return m_sideBase + static_cast<RectLanes::Subset>((q * kBounds + bx) * kBounds + by);
    }

    // The choices per axis for a search leaving out q: no rectangle left out on this axis, or
    // moving towards + from at least q's low or high side, or towards − from at most its high or
    // low side.
    enum Bound : std::size_t { kNoBound, kUpFromLow, kUpFromHigh, kDownFromHigh, kDownFromLow };
    static constexpr std::size_t kBounds = 5;

    // The choice for an origin o and direction d on an axis where q spans (qLo, qHi): the
    // farthest side of q the origin is at or beyond in the direction of travel.
    static std::size_t ChooseBound(double o, double d, double qLo, double qHi) {
        if (d > 0.0) {
            return o >= qHi ? kUpFromHigh : (o >= qLo ? kUpFromLow : kNoBound);
        }
        if (d < 0.0) {
            return o <= qLo ? kDownFromLow : (o <= qHi ? kDownFromHigh : kNoBound);
        }
        return kNoBound;
    }

private:
    const TraceScene& m_scene;
    bool m_built = false;
    RectLanes::Subset m_sideBase = 0;     // 25 per rectangle from here
    RectLanes::Subset m_sourceBase = 0;   // 4 per source from here
    std::size_t m_sourcesWithSubsets = 0; // the first sources, within the lane budget
};

} // namespace sonivera
