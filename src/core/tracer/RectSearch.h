#pragma once

#include "core/tracer/RectGrid.h"
#include "core/tracer/RectLanes.h"
#include "core/tracer/RectTree.h"
#include "core/tracer/TraceConstants.h"
#include "core/tracer/TraceScene.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace sonivera {

// The nearest rectangle along a ray: the smallest intersection parameter, ties going to the
// rectangle earlier in the object list, the left-out rectangle skipped. A rectangle whose
// parameter is not below the no-hit distance is never taken.
struct SearchHit {
    int index = -1;       // the rectangle met, or -1
    double dist = kNoHit; // its parameter; the no-hit distance when none
};

// Scenes with at least this many rectangles are searched through an index. Below it the walk over
// every rectangle, eight per block, is faster (measured on the closed halls of 22 and 30
// rectangles: about 30 % less time than the grid).
constexpr std::size_t kIndexFromRects = 64;

// Which index narrows the search down: none (every rectangle is tested), a uniform grid (the
// default) or a bounding-box tree.
enum class SearchIndex { kNone, kGrid, kTree };

class RectSearch {
public:
    // indexFrom: the number of rectangles from which `index` is used (tests force it).
    // isa: the instruction set of the plain walk (tests force each one).
    explicit RectSearch(const TraceScene& scene, std::size_t indexFrom = kIndexFromRects,
                        SearchIndex index = SearchIndex::kGrid,
                        RectLanes::Isa isa = RectLanes::Best())
        : m_scene(scene), m_lanes(scene, isa) {
        if (scene.RectCount() >= indexFrom && index == SearchIndex::kTree) {
            m_tree.Build(scene);
        } else if (scene.RectCount() >= indexFrom && index == SearchIndex::kGrid) {
            m_grid.Build(scene);
            if (m_grid.Empty()) {
                m_tree.Build(scene); // the grid would take too much memory
            }
        }
        if (!UsesIndex()) {
            BuildSubsets();
        }
    }

    // The nearest rectangle along the ray, leaving out rectangle `skip` (-1 leaves out none).
    SearchHit Nearest(const SceneRay& ray, int skip) const {
        SearchHit hit;
        if (m_grid.Accepts(ray)) {
            m_grid.Search(m_scene, ray, skip, false, 0.0, hit);
            return hit;
        }
        if (m_tree.Accepts(ray)) {
            m_tree.Search(m_scene, ray, skip, false, 0.0, hit);
            return hit;
        }
        // Every rectangle that can be met, a block at a time; the choice among a block's
        // results is the scalar walk's own (strict <, so the earlier rectangle wins a tie).
        m_lanes.Search(ray, skip, false, 0.0, hit.index, hit.dist, SideSubset(ray, skip));
        return hit;
    }

    // The visibility search from a source towards a point `pointDist` away. Returns false as soon
    // as a rectangle is met nearer than the point by kSeenWithin or more: whatever else lies
    // nearer, the point is hidden then, and `hit` names that rectangle. Otherwise `hit` is the full
    // nearest-hit result, as Nearest gives it.
    // `source` names the sound source the ray starts from (-1: none), which lets the search
    // leave out what lies behind that source.
    bool NearestUnlessBlocked(const SceneRay& ray, double pointDist, SearchHit& hit,
                              int source = -1) const {
        if (m_grid.Accepts(ray)) {
            return m_grid.Search(m_scene, ray, -1, true, pointDist, hit);
        }
        if (m_tree.Accepts(ray)) {
            return m_tree.Search(m_scene, ray, -1, true, pointDist, hit);
        }
        return m_lanes.Search(ray, -1, true, pointDist, hit.index, hit.dist,
                              SourceSubset(ray, source));
    }

    bool UsesIndex() const { return !m_tree.Empty() || !m_grid.Empty(); }
    // The lanes the subsets below take (tests and benchmarks).
    std::size_t SubsetLanes() const { return m_lanes.ExtraLanes(); }

private:
    // Searches without an index test every rectangle that can be met. Which ones cannot is often
    // known before the ray is: IntersectRect answers "no hit" at once for a rectangle wholly
    // behind the ray's origin along an axis the ray moves along (ray moving right, origin right
    // of both vertical sides; and the three like it), and the lanes do the same for whole groups.
    // That condition needs only the origin's coordinate on that axis and the sign of the
    // direction on it. For origins known in advance it is evaluated once per rectangle, and the
    // rectangles it holds for are left out of the lanes searched:
    //  - a visibility search starts at a sound source: one subset per source and quadrant of the
    //    direction (both components non-zero), leaving out what is behind on either axis;
    //  - a search that leaves out rectangle q from a point whose x equals q's left or right side
    //    (or whose y equals its top or bottom) - a reflection off that side - one subset per side
    //    and sign of the direction across it, leaving out q and what is behind on that axis.
    // Exactness: a rectangle left out reports "no hit" to every ray the subset is chosen for (the
    // condition is IntersectRect's own, on the same origin coordinate, which is compared for
    // equality before the subset is chosen), and a search takes only rectangles it hits (and
    // never the skipped one); so the nearest (t, list index) over the subset is the nearest over
    // every rectangle, and "some rectangle hit nearer than the point by kSeenWithin" holds for
    // the subset exactly when it holds for all. Which hiding rectangle a visibility search names
    // may differ; the walk uses that only as a first guess (BlockedBy), which decides nothing.
    // A direction with a zero or NaN component, or an origin that matches nothing, searches every
    // rectangle as before. The subsets' lanes are bounded (kSubsetLaneBudget); sources beyond it
    // search every rectangle.
    static constexpr std::size_t kSubsetLaneBudget = std::size_t{1} << 18; // 9 MiB of lanes

    // Rectangle k lies wholly behind an origin at coordinate o on the axis of (lo, hi) for a ray
    // moving towards + (up = true) or − along it: IntersectRect's condition.
    static bool Behind(double o, bool up, double lo, double hi) {
        return up ? (o > hi && o > lo) : (o < lo && o < hi);
    }

    void BuildSubsets() {
        const TraceScene& s = m_scene;
        const std::size_t n = s.RectCount();
        std::vector<char> keep(n);
        // Sides: left, right (x), top, bottom (y); then the sign of the direction across.
        for (std::size_t q = 0; q < n; ++q) {
            const double side[4] = {s.left[q], s.right[q], s.top[q], s.bottom[q]};
            for (int i = 0; i < 8; ++i) {
                const bool alongX = i / 2 < 2;
                const bool up = i % 2 == 1;
                for (std::size_t k = 0; k < n; ++k) {
                    keep[k] = k != q && !(alongX ? Behind(side[i / 2], up, s.left[k], s.right[k])
                                                 : Behind(side[i / 2], up, s.top[k], s.bottom[k]));
                }
                m_sideSubset.push_back(m_lanes.AddSubset(keep));
            }
        }
        for (std::size_t src = 0; src < s.sourceX.size(); ++src) {
            if (m_lanes.ExtraLanes() + 4 * n + 4 * RectLanes::kBlock > kSubsetLaneBudget) {
                break;
            }
            for (int quadrant = 0; quadrant < 4; ++quadrant) {
                const bool right = quadrant / 2 == 1;
                const bool down = quadrant % 2 == 1;
                for (std::size_t k = 0; k < n; ++k) {
                    keep[k] = !Behind(s.sourceX[src], right, s.left[k], s.right[k]) &&
                              !Behind(s.sourceY[src], down, s.top[k], s.bottom[k]);
                }
                m_sourceSubset.push_back(m_lanes.AddSubset(keep));
            }
        }
    }

    // The subset for a ray from sound source `source` (see above), or every rectangle.
    RectLanes::Subset SourceSubset(const SceneRay& ray, int source) const {
        const auto src = static_cast<std::size_t>(source);
        if (source < 0 || 4 * src >= m_sourceSubset.size() || !(ray.dx > 0.0 || ray.dx < 0.0) ||
            !(ray.dy > 0.0 || ray.dy < 0.0) || !(ray.x0 == m_scene.sourceX[src]) ||
            !(ray.y0 == m_scene.sourceY[src])) {
            return RectLanes::kAll;
        }
        return m_sourceSubset[4 * src + (ray.dx > 0.0 ? 2 : 0) + (ray.dy > 0.0 ? 1 : 0)];
    }

    // The subset for a ray from a side of the left-out rectangle (see above), or every rectangle.
    RectLanes::Subset SideSubset(const SceneRay& ray, int skip) const {
        if (skip < 0 || m_sideSubset.empty()) {
            return RectLanes::kAll;
        }
        const auto q = static_cast<std::size_t>(skip);
        const std::size_t base = 8 * q;
        if (ray.dx > 0.0 || ray.dx < 0.0) {
            const std::size_t up = ray.dx > 0.0 ? 1 : 0;
            if (ray.x0 == m_scene.left[q]) {
                return m_sideSubset[base + up];
            }
            if (ray.x0 == m_scene.right[q]) {
                return m_sideSubset[base + 2 + up];
            }
        }
        if (ray.dy > 0.0 || ray.dy < 0.0) {
            const std::size_t up = ray.dy > 0.0 ? 1 : 0;
            if (ray.y0 == m_scene.top[q]) {
                return m_sideSubset[base + 4 + up];
            }
            if (ray.y0 == m_scene.bottom[q]) {
                return m_sideSubset[base + 6 + up];
            }
        }
        return RectLanes::kAll;
    }

    const TraceScene& m_scene;
    RectLanes m_lanes;
    RectTree m_tree;
    RectGrid m_grid;
    std::vector<RectLanes::Subset> m_sideSubset;   // 8 per rectangle
    std::vector<RectLanes::Subset> m_sourceSubset; // 4 per source, for the first sources
};

} // namespace sonivera
