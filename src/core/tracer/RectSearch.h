#pragma once

#include "core/tracer/RectGrid.h"
#include "core/tracer/RectLanes.h"
#include "core/tracer/RectSubsets.h"
#include "core/tracer/RectTree.h"
#include "core/tracer/SearchHit.h"
#include "core/tracer/TaskThread.h"
#include "core/tracer/TraceConstants.h"
#include "core/tracer/TraceScene.h"
#include "core/tracer/VisibilityMap.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace sonivera {

// Scenes with at least this many rectangles are searched through an index. Below it the walk over
// every rectangle, a block of lanes at a time, is faster (bench/README.md has the measurement).
constexpr std::size_t kIndexFromRects = 64;

// Which index narrows the search down: none (every rectangle is tested), a uniform grid (the
// default) or a bounding-box tree.
enum class SearchIndex { kNone, kGrid, kTree };

// Whether the visibility searches are first answered from a map of what each source sees
// (VisibilityMap), and how much building it may cost: as for one calculation, or as for many
// listener points.
enum class VisibilityUse { kNone, kEffect, kMap };

class RectSearch {
public:
    // indexFrom: the number of rectangles from which `index` is used (tests force it).
    // isa: the instruction set of the plain walk (tests force each one).
    // helpers: threads that fill the visibility map beside the calling thread, which builds the
    // index or the subsets first; the search is the same with or without them.
    explicit RectSearch(const TraceScene& scene, std::size_t indexFrom = kIndexFromRects,
                        SearchIndex index = SearchIndex::kGrid,
                        RectLanes::Isa isa = RectLanes::Best(),
                        VisibilityUse visibility = VisibilityUse::kEffect,
                        std::span<TaskThread* const> helpers = {})
        : m_scene(scene), m_lanes(scene, isa), m_subsets(scene),
          m_visibility(visibility == VisibilityUse::kNone
                           ? VisibilityMap()
                           : VisibilityMap(scene, visibility == VisibilityUse::kMap, {},
                                           VisibilityMap::kUnfilled)) {
        std::atomic<std::size_t> next{0};
        ShareOut(
            helpers,
            [&] {
                if (scene.RectCount() >= indexFrom && index == SearchIndex::kTree) {
                    m_tree.Build(scene);
                } else if (scene.RectCount() >= indexFrom && index == SearchIndex::kGrid) {
                    m_grid.Build(scene);
                    if (m_grid.Empty()) {
                        m_tree.Build(scene); // the grid would take too much memory
                    }
                }
                if (!UsesIndex()) {
                    m_subsets.Build(m_lanes);
                }
            },
            [&] { m_visibility.Fill(next); });
    }

    // The nearest rectangle along the ray, leaving out rectangle `skip` (-1 leaves out none).
    // A caller for which a crossing at or beyond `beyond` is as good as none may say so: when the
    // nearest crossing is there, the result is then either it, another crossing at or beyond
    // `beyond`, or none; nearer crossings are found exactly as without it. The grid stops its
    // walk there (RectGrid::Search); the other searches do not need it (in the plain walk, a test
    // of whether a block lies beyond cost more than it saved on the benchmark scenes).
    SearchHit Nearest(const SceneRay& ray, int skip, double beyond = kNoHit) const {
        SearchHit hit;
        if (UsesIndex()) { // (checked inline: the index's own checks are calls)
            if (m_grid.Accepts(ray)) {
                m_grid.Search(m_scene, ray, skip, false, 0.0, hit, beyond);
                return hit;
            }
            if (m_tree.Accepts(ray)) {
                m_tree.Search(m_scene, ray, skip, false, 0.0, hit);
                return hit;
            }
        }
        // Every rectangle that can be met, a block at a time; the choice among a block's
        // results is the scalar walk's own (strict <, so the earlier rectangle wins a tie).
        m_lanes.Search(ray, skip, false, 0.0, hit.index, hit.dist, m_subsets.LeavingOut(ray, skip));
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
        if (UsesIndex()) {
            if (m_grid.Accepts(ray)) {
                return m_grid.Search(m_scene, ray, -1, true, pointDist, hit);
            }
            if (m_tree.Accepts(ray)) {
                return m_tree.Search(m_scene, ray, -1, true, pointDist, hit);
            }
        }
        return m_lanes.Search(ray, -1, true, pointDist, hit.index, hit.dist,
                              m_subsets.FromSource(ray, source));
    }

    // What each source is known to see before any search (empty when not built).
    const VisibilityMap& Visibility() const { return m_visibility; }

    bool UsesIndex() const { return !m_tree.Empty() || !m_grid.Empty(); }
    // The memory of the lanes, the index and the visibility map. A copy (the implicit copy
    // constructor) holds all of it anew and reads the same scene.
    std::size_t Bytes() const {
        return m_lanes.Bytes() + m_tree.Bytes() + m_grid.Bytes() + m_visibility.Bytes();
    }
    // The lanes the subsets (RectSubsets) take (tests and benchmarks).
    std::size_t SubsetLanes() const { return m_lanes.ExtraLanes(); }

private:
    const TraceScene& m_scene;
    RectLanes m_lanes;
    RectTree m_tree;
    RectGrid m_grid;
    RectSubsets m_subsets;
    VisibilityMap m_visibility;
};

// The largest search a worker thread copies for itself: about what one core's second-level cache
// holds beside the walk's own data. Two cores reading the same lines out of their caches ran
// 1–3 % slower than each reading a copy of its own (bench/README.md); larger searches are not
// read from that cache level anyway.
constexpr std::size_t kOwnSearchBytes = std::size_t{2} << 20;

// A copy of `search` for a worker thread, to be made on that thread so its memory is the worker's
// own from the first touch; null when the search is larger than kOwnSearchBytes.
inline std::unique_ptr<RectSearch> OwnCopy(const RectSearch& search) {
    return search.Bytes() <= kOwnSearchBytes ? std::make_unique<RectSearch>(search) : nullptr;
}

} // namespace sonivera
