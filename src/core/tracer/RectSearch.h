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
        m_indexed = UsesIndex();
        if (!m_indexed) {
            BuildSubsets();
        }
    }

    // The nearest rectangle along the ray, leaving out rectangle `skip` (-1 leaves out none).
    SearchHit Nearest(const SceneRay& ray, int skip) const {
        SearchHit hit;
        if (m_indexed && m_grid.Accepts(ray)) {
            m_grid.Search(m_scene, ray, skip, false, 0.0, hit);
            return hit;
        }
        if (m_indexed && m_tree.Accepts(ray)) {
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
        if (m_indexed && m_grid.Accepts(ray)) {
            return m_grid.Search(m_scene, ray, -1, true, pointDist, hit);
        }
        if (m_indexed && m_tree.Accepts(ray)) {
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
    static constexpr std::size_t kSubsetLaneBudget = std::size_t{1} << 18; // 9 MiB of lanes

    // Rectangle k lies wholly behind an origin at coordinate o on the axis of (lo, hi) for a ray
    // moving towards + (up = true) or − along it: IntersectRect's condition.
    static bool Behind(double o, bool up, double lo, double hi) {
        return up ? (o > hi && o > lo) : (o < lo && o < hi);
    }

    // The choices per axis for a search leaving out q: no rectangle left out on this axis, or
    // moving towards + from at least q's low or high side, or towards − from at most its high or
    // low side.
    enum Bound : std::size_t { kNoBound, kUpFromLow, kUpFromHigh, kDownFromHigh, kDownFromLow };
    static constexpr std::size_t kBounds = 5;

    // Whether rectangle (lo, hi) is behind every origin the choice `bound` on q's sides
    // (qLo, qHi) admits.
    static bool BehindBound(std::size_t bound, double qLo, double qHi, double lo, double hi) {
        switch (bound) {
        case kUpFromLow:
            return Behind(qLo, true, lo, hi);
        case kUpFromHigh:
            return Behind(qHi, true, lo, hi);
        case kDownFromHigh:
            return Behind(qHi, false, lo, hi);
        case kDownFromLow:
            return Behind(qLo, false, lo, hi);
        default:
            return false;
        }
    }

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

    // Every subset's membership first, one byte per rectangle, then all lanes at once.
    void BuildSubsets() {
        const TraceScene& s = m_scene;
        const std::size_t n = s.RectCount();
        const std::size_t blockLanes =
            (n + RectLanes::kBlock - 1) / RectLanes::kBlock * RectLanes::kBlock;
        if (s.sourceX.empty() || kBounds * kBounds * n * blockLanes > kSubsetLaneBudget) {
            // Without sources no ray is traced. Past about 100 rectangles only scenes made to
            // skip the index (tests) get here.
            return;
        }
        std::vector<char> keep;
        keep.reserve(n * n * kBounds * kBounds);
        std::vector<char> behindX(kBounds * n);
        std::vector<char> behindY(kBounds * n);
        for (std::size_t q = 0; q < n; ++q) {
            for (std::size_t b = 0; b < kBounds; ++b) {
                for (std::size_t k = 0; k < n; ++k) {
                    behindX[b * n + k] =
                        BehindBound(b, s.left[q], s.right[q], s.left[k], s.right[k]) ? 1 : 0;
                    behindY[b * n + k] =
                        BehindBound(b, s.top[q], s.bottom[q], s.top[k], s.bottom[k]) ? 1 : 0;
                }
            }
            for (std::size_t bx = 0; bx < kBounds; ++bx) {
                for (std::size_t by = 0; by < kBounds; ++by) {
                    for (std::size_t k = 0; k < n; ++k) {
                        keep.push_back(
                            k != q && behindX[bx * n + k] == 0 && behindY[by * n + k] == 0 ? 1 : 0);
                    }
                }
            }
        }
        m_sideBase = m_lanes.AddSubsets(keep, n * kBounds * kBounds);
        // Sources while the lanes stay within the budget (each takes at most 4 · (n + 7) lanes).
        const std::size_t perSource = 4 * (n + RectLanes::kBlock - 1);
        const std::size_t room =
            kSubsetLaneBudget > m_lanes.ExtraLanes() ? kSubsetLaneBudget - m_lanes.ExtraLanes() : 0;
        m_sourcesWithSubsets = std::min(s.sourceX.size(), room / perSource);
        keep.clear();
        for (std::size_t src = 0; src < m_sourcesWithSubsets; ++src) {
            for (int quadrant = 0; quadrant < 4; ++quadrant) {
                const bool right = quadrant / 2 == 1;
                const bool down = quadrant % 2 == 1;
                for (std::size_t k = 0; k < n; ++k) {
                    keep.push_back(!Behind(s.sourceX[src], right, s.left[k], s.right[k]) &&
                                           !Behind(s.sourceY[src], down, s.top[k], s.bottom[k])
                                       ? 1
                                       : 0);
                }
            }
        }
        m_sourceBase = m_lanes.AddSubsets(keep, 4 * m_sourcesWithSubsets);
        m_subsets = true;
    }

    // The subset for a ray from sound source `source` (see above), or every rectangle.
    RectLanes::Subset SourceSubset(const SceneRay& ray, int source) const {
        const auto src = static_cast<std::size_t>(source);
        if (source < 0 || src >= m_sourcesWithSubsets || !(ray.dx > 0.0 || ray.dx < 0.0) ||
            !(ray.dy > 0.0 || ray.dy < 0.0) || !(ray.x0 == m_scene.sourceX[src]) ||
            !(ray.y0 == m_scene.sourceY[src])) {
            return RectLanes::kAll;
        }
        return m_sourceBase + static_cast<RectLanes::Subset>(4 * src + (ray.dx > 0.0 ? 2 : 0) +
                                                             (ray.dy > 0.0 ? 1 : 0));
    }

    // The subset for a ray that leaves out rectangle `skip` (see above), or every rectangle.
    RectLanes::Subset SideSubset(const SceneRay& ray, int skip) const {
        if (skip < 0 || !m_subsets) {
            return RectLanes::kAll;
        }
        const auto q = static_cast<std::size_t>(skip);
        const std::size_t bx = ChooseBound(ray.x0, ray.dx, m_scene.left[q], m_scene.right[q]);
        const std::size_t by = ChooseBound(ray.y0, ray.dy, m_scene.top[q], m_scene.bottom[q]);
        return m_sideBase + static_cast<RectLanes::Subset>((q * kBounds + bx) * kBounds + by);
    }

    const TraceScene& m_scene;
    RectLanes m_lanes;
    RectTree m_tree;
    RectGrid m_grid;
    bool m_indexed = false; // the grid or the tree was built (the walks above ask them first)
    bool m_subsets = false; // the subsets below were built
    RectLanes::Subset m_sideBase = 0;     // 25 per rectangle from here
    RectLanes::Subset m_sourceBase = 0;   // 4 per source from here
    std::size_t m_sourcesWithSubsets = 0; // the first sources, within the lane budget
};

} // namespace sonivera
