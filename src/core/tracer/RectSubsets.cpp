#include "core/tracer/RectSubsets.h"

#include <algorithm>
#include <vector>

namespace sonivera {

namespace {

// The subsets' lanes in all: the rectangles' subsets fit below the index's threshold of
// rectangles; sources beyond the budget search every rectangle.
constexpr std::size_t kSubsetLaneBudget = std::size_t{1} << 18; // 9 MiB of lanes

// Rectangle (lo, hi) lies wholly behind an origin at coordinate o on that axis for a ray moving
// towards + (up = true) or − along it: IntersectRect's condition.
bool Behind(double o, bool up, double lo, double hi) {
    return up ? (o > hi && o > lo) : (o < lo && o < hi);
}

// Whether rectangle (lo, hi) is behind every origin the choice `bound` on q's sides (qLo, qHi)
// admits.
bool BehindBound(std::size_t bound, double qLo, double qHi, double lo, double hi) {
    switch (bound) {
    case RectSubsets::kUpFromLow:
        return Behind(qLo, true, lo, hi);
    case RectSubsets::kUpFromHigh:
        return Behind(qHi, true, lo, hi);
    case RectSubsets::kDownFromHigh:
        return Behind(qHi, false, lo, hi);
    case RectSubsets::kDownFromLow:
        return Behind(qLo, false, lo, hi);
    default:
        return false;
    }
}

} // namespace

// Every subset's membership first, one byte per rectangle, then all lanes at once.
void RectSubsets::Build(RectLanes& lanes) {
    const TraceScene& s = m_scene;
    const std::size_t n = s.RectCount();
    const std::size_t blockLanes =
        (n + RectLanes::kBlock - 1) / RectLanes::kBlock * RectLanes::kBlock;
    if (s.sourceX.empty() || kBounds * kBounds * n * blockLanes > kSubsetLaneBudget) {
        return; // without sources no ray is traced
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
    // Sources while the lanes stay within the budget (each takes at most 4 · (n + 7) lanes).
    // Their subsets follow the rectangles' in one call, so the lanes are laid out once.
    const std::size_t sideSubsets = n * kBounds * kBounds;
    const std::size_t perSource = 4 * (n + RectLanes::kBlock - 1);
    const std::size_t used = lanes.ExtraLanes() + RectLanes::SubsetLanes(keep, sideSubsets, n);
    const std::size_t room = kSubsetLaneBudget > used ? kSubsetLaneBudget - used : 0;
    m_sourcesWithSubsets = std::min(s.sourceX.size(), room / perSource);
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
    m_sideBase = lanes.AddSubsets(keep, sideSubsets + 4 * m_sourcesWithSubsets);
    m_sourceBase = m_sideBase + static_cast<RectLanes::Subset>(sideSubsets);
    m_built = true;
}

} // namespace sonivera
