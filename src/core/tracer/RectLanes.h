#pragma once

#include "core/model/SceneRay.h"
#include "core/tracer/SlabFilter.h"
#include "core/tracer/TraceScene.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sonivera {

// The rectangles' sides as flat arrays padded to whole blocks, and the intersection of one ray
// with a block of them at a time, several rectangles per instruction. By default the lanes hold
// the rectangles in the order of a curve through their centres rather than in list order, so
// that a group of lanes holds near rectangles and is more often wholly behind a ray; the search
// over all blocks then compares (t, list index), which picks what the list-order walk picks.
//
// Each lane performs exactly the operations of IntersectRect (the rectangle's own edge tests:
// top, bottom, left, right), on the same values and in the same order: the same subtraction,
// division, absolute value, product and sum per edge, each rounded on its own (no fused
// multiply-add: the build forbids contraction and no target below enables it), the same
// comparisons, and the same "take ti when it is below the best so far" per edge. What differs is
// only that an edge's arithmetic is carried out in every lane and its result then kept or dropped
// by the edge's condition, where the scalar code branches around it; a value computed and then
// dropped has no effect (IEEE operations have no side effects here, and no traps are enabled).
// The scalar code's shortcut for rectangles wholly behind the origin is not taken; it answers what
// the edge tests answer (see IntersectRect), so both give the same (hit, t).
//
// The padding rectangles have NaN sides: every comparison with them is false, so they are never
// hit and report the no-hit distance.
class RectLanes {
public:
    // The instruction sets a block can be computed with. kScalar calls IntersectRect per rectangle;
    // kAvx2 computes four lanes at a time where the processor has it; kAvx2Filter first decides
    // from products alone which lanes can matter and tests only those exactly (the search's
    // result is the same; see SearchFilteredAvx2).
    enum class Isa { kScalar, kAvx2, kAvx2Filter };
    static constexpr std::size_t kBlock = 4;
    // Which rectangle goes into which lane: list order, or near rectangles side by side.
    enum class LaneOrder { kList, kSpatial };

    explicit RectLanes(const TraceScene& scene, Isa isa = Best(),
                       LaneOrder order = LaneOrder::kSpatial,
                       double filterMargin = SlabFilter::kMargin);

    // The instruction set used by default on this processor, and all it offers (kScalar first).
    static Isa Best();
    static std::vector<Isa> Available();
    static const char* Name(Isa isa);

    Isa Used() const { return m_isa; }
    // The blocks of every rectangle (the subset kAll); the blocks of other subsets follow them.
    std::size_t Blocks() const { return m_blocks; }

    // A subset of the rectangles in lanes of their own, for searches that are known to miss
    // every rectangle left out (see RectSearch). kAll holds every rectangle.
    using Subset = std::uint32_t;
    static constexpr Subset kAll = 0;
    // Adds `count` subsets: subset i holds the rectangles k with keep[i · n + k] != 0 (n
    // rectangles), in the lane order of kAll. Returns the first; the others follow it. Subsets
    // that hold the same rectangles share one set of lanes (about half of a hall's do).
    Subset AddSubsets(const std::vector<char>& keep, std::size_t count);
    // The lanes AddSubsets(keep, count) would add for a scene of n rectangles.
    static std::size_t SubsetLanes(const std::vector<char>& keep, std::size_t count,
                                   std::size_t n);
    // The lanes all subsets other than kAll take together.
    std::size_t ExtraLanes() const { return m_rect.size() - m_blocks * kBlock; }

    // For the lanes kBlock·block … kBlock·block + kBlock − 1: hit[i] is 1 when the ray crosses
    // the rectangle of lane i of the block (RectOrder) and 0 otherwise, t[i] the parameter
    // IntersectRect reports.
    void Intersect(std::size_t block, const SceneRay& ray, double* t, std::int64_t* hit) const {
        m_kernel(*this, block, ray, t, hit);
    }

    // The nearest rectangle along the ray over every block, leaving out rectangle `skip` (-1:
    // none): index and dist start at -1 and the no-hit distance, and a rectangle replaces them
    // when it is crossed and its t is strictly below dist, in rectangle order (so the earlier one
    // wins a tie). With `visibility`, returns false as soon as a rectangle so taken lies nearer
    // than pointDist by kSeenWithin or more; otherwise returns true. The blocks and the choice
    // among their results run in one call of the instruction set's code: the choice is the same
    // comparisons in the same order as a scan of Intersect's results, only without the call and
    // the round trip through memory per block.
    // With a subset, only its rectangles are searched.
    bool Search(const SceneRay& ray, int skip, bool visibility, double pointDist, int& index,
                double& dist, Subset subset = kAll) const {
        const Range& range = m_ranges[subset];
        if (range.first == range.end) {
            // What every kernel answers over no lanes, without the call: a subset that leaves
            // out every rectangle is common (a passage out through an outer wall).
            index = -1;
            dist = kNoHit;
            return true;
        }
        return m_search(*this, range.first, range.end, ray, skip, visibility, pointDist, index,
                        dist);
    }

    // The padded sides (kBlock values per block, the blocks of every subset one after another)
    // and the scene they were taken from.
    const double* Left() const { return m_left.data(); }
    const double* Top() const { return m_top.data(); }
    const double* Right() const { return m_right.data(); }
    const double* Bottom() const { return m_bottom.data(); }
    const TraceScene& Scene() const { return m_scene; }
    // The largest magnitude of a rectangle's side coordinate (infinite when one is not finite).
    double Bound() const { return m_bound; }
    // The relative margin of the division-free filter of kAvx2Filter (SlabFilter; tests plant a
    // smaller one to see the fault caught).
    double FilterMargin() const { return m_filterMargin; }
    // The rectangle of each lane (kBlock values per block; -1 for the padding).
    const std::int32_t* RectOrder() const { return m_rect.data(); }
    // The memory the lanes and their subsets hold.
    std::size_t Bytes() const {
        return 4 * m_left.size() * sizeof(double) + m_rect.size() * sizeof(std::int32_t) +
               m_ranges.size() * sizeof(Range);
    }

    using Kernel = void (*)(const RectLanes&, std::size_t, const SceneRay&, double*, std::int64_t*);
    using SearchKernel = bool (*)(const RectLanes&, std::size_t, std::size_t, const SceneRay&, int,
                                  bool, double, int&, double&);

private:
    struct Range {
        std::size_t first, end; // blocks
    };
    void AppendLane(std::int32_t k);

    const TraceScene& m_scene;
    std::size_t m_blocks = 0;
    std::vector<Range> m_ranges;
    std::vector<double> m_left, m_top, m_right, m_bottom;
    std::vector<std::int32_t> m_rect;
    Isa m_isa;
    double m_bound = 0.0;
    double m_filterMargin;
    Kernel m_kernel;
    SearchKernel m_search;
};

} // namespace sonivera
