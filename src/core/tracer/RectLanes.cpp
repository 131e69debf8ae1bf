#include "core/tracer/RectLanes.h"

#include "core/tracer/SlabFilter.h"
#include "core/tracer/TraceConstants.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <unordered_map>

namespace sonivera {

// The helpers below take and return vectors wider than the baseline's registers; they are all
// inlined into the one function per instruction set, so no vector crosses a call and the warning
// about the calling convention of such vectors does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

using Lanes = RectLanes;

template <class V> __attribute__((always_inline)) inline V Load(const double* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class V> __attribute__((always_inline)) inline V Broadcast(double x) {
    V v;
    for (std::size_t i = 0; i < sizeof(V) / sizeof(double); ++i) {
        v[i] = x;
    }
    return v;
}

// |v|: the sign bit cleared, as std::fabs does.
template <class V, class M> __attribute__((always_inline)) inline V Abs(V v) {
    M bits;
    std::memcpy(&bits, &v, sizeof v);
    bits &= Broadcast<M>(0) + std::numeric_limits<std::int64_t>::max();
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// Whether every lane of a mask is set.
template <class M> __attribute__((always_inline)) inline bool AllSet(const M& m) {
    std::int64_t all = -1;
    for (std::size_t i = 0; i < sizeof(M) / sizeof(std::int64_t); ++i) {
        all &= m[i];
    }
    return all == -1;
}

// One edge of every lane: on the horizontal line `level` over [lo, hi] (or the vertical one, with
// the axes swapped). Behind when the ray moves away from the line (the direction's sign is the
// same for every lane); otherwise ti = |(origin − level) / d| and the crossing origin' + ti·d'
// must lie within the edge; then ti replaces the best parameter when it is below it.
template <class V, class M>
__attribute__((always_inline)) inline void Edge(const V& level, const V& origin, double d,
                                                const V& dv, const V& across, const V& lo,
                                                const V& hi, const V& dAcross, V& best, M& any) {
    const M none = Broadcast<M>(0);
    const M behind = d > 0.0 ? M(origin > level) : (d < 0.0 ? M(origin < level) : none);
    const V ti = Abs<V, M>((origin - level) / dv);
    const V h = across + ti * dAcross;
    const M ok = ~behind & M(lo <= h) & M(h <= hi);
    const M take = ok & M(ti < best);
    best = take ? ti : best;
    any |= ok;
}

// One group of lanes: the edge tests of IntersectRect in its order (top, bottom, left, right),
// lane by lane (see RectLanes.h). V holds doubles, M the matching 64-bit masks (all ones where a
// comparison holds).
template <class V, class M>
__attribute__((always_inline)) inline void Group(const double* left, const double* top,
                                                 const double* right, const double* bottom,
                                                 const SceneRay& r, double* t, std::int64_t* hit) {
    const V X = Load<V>(left);
    const V Y = Load<V>(top);
    const V R = Load<V>(right);
    const V B = Load<V>(bottom);
    const V x0 = Broadcast<V>(r.x0);
    const V y0 = Broadcast<V>(r.y0);
    const V dx = Broadcast<V>(r.dx);
    const V dy = Broadcast<V>(r.dy);
    V best = Broadcast<V>(kNoHit);
    M any = Broadcast<M>(0);
    // IntersectRect's shortcut, for the whole group: a rectangle wholly behind the origin along
    // one axis is missed by every edge test (its condition is taken here word for word), and a
    // padding lane (NaN sides) is missed by every edge test too. When every lane is one or the
    // other, the edge tests would give (no hit, no-hit distance) in every lane: answer that
    // without the divisions.
    M away = M(X != X);
    if (r.dx > 0.0) {
        away |= M(x0 > R) & M(x0 > X);
    } else if (r.dx < 0.0) {
        away |= M(x0 < X) & M(x0 < R);
    }
    if (r.dy > 0.0) {
        away |= M(y0 > B) & M(y0 > Y);
    } else if (r.dy < 0.0) {
        away |= M(y0 < Y) & M(y0 < B);
    }
    if (AllSet(away)) {
        std::memcpy(t, &best, sizeof best);
        std::memcpy(hit, &any, sizeof any);
        return;
    }
    if (!(r.dy == 0.0)) {
        Edge<V, M>(Y, y0, r.dy, dy, x0, X, R, dx, best, any);
        Edge<V, M>(B, y0, r.dy, dy, x0, X, R, dx, best, any);
    }
    if (!(r.dx == 0.0)) {
        Edge<V, M>(X, x0, r.dx, dx, y0, Y, B, dy, best, any);
        Edge<V, M>(R, x0, r.dx, dx, y0, Y, B, dy, best, any);
    }
    std::memcpy(t, &best, sizeof best);
    // Masks are 0 or −1; the block reports 0 or 1.
    const M one = any & Broadcast<M>(1);
    std::memcpy(hit, &one, sizeof one);
}

template <class V, class M>
__attribute__((always_inline)) inline void Block(const Lanes& lanes, std::size_t block,
                                                 const SceneRay& r, double* t, std::int64_t* hit) {
    constexpr std::size_t n = sizeof(V) / sizeof(double);
    const std::size_t base = block * Lanes::kBlock;
    for (std::size_t g = 0; g < Lanes::kBlock; g += n) {
        Group<V, M>(lanes.Left() + base + g, lanes.Top() + base + g, lanes.Right() + base + g,
                    lanes.Bottom() + base + g, r, t + g, hit + g);
    }
}

// Lanes::Search over every block with the block code `block`; see RectLanes.h.
template <class BlockFn>
__attribute__((always_inline)) inline bool
SearchBlocks(const Lanes& lanes, std::size_t first, std::size_t end, const SceneRay& r, int skip,
             bool visibility, double pointDist, int& index, double& dist, BlockFn block) {
    index = -1;
    dist = kNoHit;
    const std::int32_t* rectOf = lanes.RectOrder();
    for (std::size_t b = first; b < end; ++b) {
        double t[Lanes::kBlock];
        std::int64_t crossed[Lanes::kBlock];
        block(lanes, b, r, t, crossed);
        const std::size_t base = b * Lanes::kBlock;
        for (std::size_t i = 0; i < Lanes::kBlock; ++i) {
            const int k = rectOf[base + i];
            // In list order the first rectangle with the smallest t wins; with the lanes in
            // another order that is the smallest (t, k). No t is NaN (a lane's t is the no-hit
            // distance or an edge's ti taken by a strict <), so this is a strict total order.
            if (crossed[i] != 0 && k != skip && (t[i] < dist || (t[i] == dist && k < index))) {
                dist = t[i];
                index = k;
                // The final distance can only be smaller, and rounding is monotonic, so
                // |final − pointDist| ≥ kSeenWithin already holds: the point is hidden. Which
                // hiding rectangle is named depends on the lane order; that the point is hidden
                // does not: it holds exactly when the smallest t of all passes the test.
                if (visibility && t[i] - pointDist <= -kSeenWithin) {
                    return false;
                }
            }
        }
    }
    return true;
}

typedef double V4 __attribute__((vector_size(32)));
typedef std::int64_t M4 __attribute__((vector_size(32)));

void BlockScalar(const Lanes& lanes, std::size_t block, const SceneRay& r, double* t,
                 std::int64_t* hit) {
    const TraceScene& scene = lanes.Scene();
    for (std::size_t i = 0; i < Lanes::kBlock; ++i) {
        const std::int32_t k = lanes.RectOrder()[block * Lanes::kBlock + i];
        if (k >= 0) {
            hit[i] = IntersectRect(scene, static_cast<std::size_t>(k), r, t[i]) ? 1 : 0;
        } else {
            hit[i] = 0;
            t[i] = kNoHit;
        }
    }
}

__attribute__((target("avx2"))) void BlockAvx2(const Lanes& lanes, std::size_t block,
                                               const SceneRay& r, double* t, std::int64_t* hit) {
    Block<V4, M4>(lanes, block, r, t, hit);
}

bool SearchScalar(const Lanes& lanes, std::size_t first, std::size_t end, const SceneRay& r,
                  int skip, bool visibility, double pointDist, int& index, double& dist) {
    return SearchBlocks(lanes, first, end, r, skip, visibility, pointDist, index, dist,
                        BlockScalar);
}

__attribute__((target("avx2"))) bool SearchAvx2(const Lanes& lanes, std::size_t first,
                                                std::size_t end, const SceneRay& r, int skip,
                                                bool visibility, double pointDist, int& index,
                                                double& dist) {
    return SearchBlocks(
        lanes, first, end, r, skip, visibility, pointDist, index, dist,
        [](const Lanes& l, std::size_t b, const SceneRay& ray, double* t, std::int64_t* hit)
            __attribute__((always_inline)) { Block<V4, M4>(l, b, ray, t, hit); });
}

// The walk over the lanes with the division-free filter (SlabFilter, whose argument this
// follows): a vector pass decides from products alone which lanes the ray can cross and from
// which scaled parameter on; only those get IntersectRect's exact test, nearest bound first, and
// a lane certainly farther than the nearest taken so far gets none. The result is the walk's
// (SearchBlocks): the same (t, list index) minimum over the exact tests, as every lane left out
// is certainly not crossed or certainly farther. The vector pass is SlabFilter::Keeps, four lanes
// at a time; padding lanes (NaN sides) fail its comparisons.
constexpr std::size_t kFilterBuffer = 64;

struct Candidate {
    double lb;
    std::int32_t lane;
};

// The exact tests of the buffered candidates, nearest bound first, leaving out those certainly
// farther than the nearest taken. Returns false as SearchBlocks does for a hidden point.
inline bool TestCandidates(const Lanes& lanes, Candidate* c, std::size_t n, const SceneRay& r,
                           const SlabFilter& filter, int skip, bool visibility, double pointDist,
                           int& index, double& dist) {
    for (std::size_t i = 1; i < n; ++i) { // insertion sort: a handful of candidates
        const Candidate v = c[i];
        std::size_t j = i;
        while (j > 0 && c[j - 1].lb > v.lb) {
            c[j] = c[j - 1];
            --j;
        }
        c[j] = v;
    }
    const TraceScene& scene = lanes.Scene();
    const std::int32_t* rectOf = lanes.RectOrder();
    for (std::size_t i = 0; i < n; ++i) {
        if (index >= 0 && filter.Farther(c[i].lb, dist)) {
            break; // this and every later candidate is certainly farther
        }
        const int k = rectOf[c[i].lane];
        if (k == skip) {
            continue;
        }
        double t;
        if (IntersectRectAtOnce(scene, static_cast<std::size_t>(k), r, t) &&
            (t < dist || (t == dist && k < index))) {
            dist = t;
            index = k;
            if (visibility && t - pointDist <= -kSeenWithin) {
                return false;
            }
        }
    }
    return true;
}

__attribute__((target("avx2"))) bool SearchFilteredAvx2(const Lanes& lanes, std::size_t first,
                                                        std::size_t end, const SceneRay& r,
                                                        int skip, bool visibility, double pointDist,
                                                        int& index, double& dist) {
    const SlabFilter filter(r, lanes.Bound(), lanes.FilterMargin());
    if (!filter.on) {
        return SearchAvx2(lanes, first, end, r, skip, visibility, pointDist, index, dist);
    }
    index = -1;
    dist = kNoHit;
    // (Vectors are made here rather than by the helpers above: a call that returns a vector
    // between this AVX2 function and one without it would change the calling convention.)
    const V4 x0 = {filter.x0, filter.x0, filter.x0, filter.x0};
    const V4 y0 = {filter.y0, filter.y0, filter.y0, filter.y0};
    const V4 sx = {filter.sx, filter.sx, filter.sx, filter.sx};
    const V4 sy = {filter.sy, filter.sy, filter.sy, filter.sy};
    const double s1 = filter.slack;
    const double s2 = 2.0 * filter.slack;
    const V4 slack1 = {s1, s1, s1, s1};
    const V4 slack2 = {s2, s2, s2, s2};
    const V4 minusSlack = {-s1, -s1, -s1, -s1};
    Candidate buffer[kFilterBuffer];
    std::size_t count = 0;
    for (std::size_t lane = first * Lanes::kBlock; lane < end * Lanes::kBlock; lane += 4) {
        V4 left, top, right, bottom;
        __builtin_memcpy(&left, lanes.Left() + lane, sizeof left);
        __builtin_memcpy(&top, lanes.Top() + lane, sizeof top);
        __builtin_memcpy(&right, lanes.Right() + lane, sizeof right);
        __builtin_memcpy(&bottom, lanes.Bottom() + lane, sizeof bottom);
        const V4 tx1 = (left - x0) * sx;
        const V4 tx2 = (right - x0) * sx;
        const V4 ty1 = (top - y0) * sy;
        const V4 ty2 = (bottom - y0) * sy;
        // Smaller and larger of each pair (vminpd/vmaxpd; on the finite values of real lanes any
        // correct choice will do, and a padding lane's NaN sides fail the comparisons below).
        const V4 nearX = __builtin_ia32_minpd256(tx1, tx2);
        const V4 farX = __builtin_ia32_maxpd256(tx1, tx2);
        const V4 nearY = __builtin_ia32_minpd256(ty1, ty2);
        const V4 farY = __builtin_ia32_maxpd256(ty1, ty2);
        const V4 nearAll = __builtin_ia32_maxpd256(nearX, nearY);
        const V4 farAll = __builtin_ia32_minpd256(farX, farY);
        const M4 keep = M4(nearAll <= farAll + slack2) & M4(farAll >= minusSlack);
        int bits = __builtin_ia32_movmskpd256(__builtin_bit_cast(V4, keep));
        if (bits == 0) {
            continue;
        }
        const V4 lb = nearAll - slack1;
        while (bits != 0) {
            const int i = __builtin_ctz(static_cast<unsigned>(bits));
            bits &= bits - 1;
            if (count == kFilterBuffer) {
                if (!TestCandidates(lanes, buffer, count, r, filter, skip, visibility, pointDist,
                                    index, dist)) {
                    return false;
                }
                count = 0;
            }
            buffer[count++] = {lb[i], static_cast<std::int32_t>(lane + static_cast<std::size_t>(i))};
        }
    }
    return TestCandidates(lanes, buffer, count, r, filter, skip, visibility, pointDist, index,
                          dist);
}

bool Supports(RectLanes::Isa isa) {
    switch (isa) {
    case RectLanes::Isa::kScalar:
        return true;
    case RectLanes::Isa::kAvx2:
    case RectLanes::Isa::kAvx2Filter:
        return __builtin_cpu_supports("avx2");
    }
    return false;
}

} // namespace

namespace {

// Spreads the low 16 bits of v over the even bits.
std::uint32_t Spread(std::uint32_t v) {
    v &= 0xffffu;
    v = (v | (v << 8)) & 0x00ff00ffu;
    v = (v | (v << 4)) & 0x0f0f0f0fu;
    v = (v | (v << 2)) & 0x33333333u;
    v = (v | (v << 1)) & 0x55555555u;
    return v;
}

// Orders the rectangles along a Z curve through their centres, so that the rectangles of a group
// of lanes lie near each other and a ray more often leaves a whole group behind it (answered
// without the divisions). Rectangles with sides that are not finite go last. Which order is
// chosen changes no result (see SearchBlocks).
void SortSpatially(const TraceScene& s, std::int32_t* rects, std::size_t n) {
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
    bool any = false;
    const auto finite = [&](std::size_t k) {
        return std::isfinite(s.left[k]) && std::isfinite(s.right[k]) && std::isfinite(s.top[k]) &&
               std::isfinite(s.bottom[k]);
    };
    for (std::size_t k = 0; k < n; ++k) {
        if (!finite(k)) {
            continue;
        }
        x0 = any ? std::min(x0, s.left[k]) : s.left[k];
        x1 = any ? std::max(x1, s.right[k]) : s.right[k];
        y0 = any ? std::min(y0, s.top[k]) : s.top[k];
        y1 = any ? std::max(y1, s.bottom[k]) : s.bottom[k];
        any = true;
    }
    std::vector<std::uint64_t> key(n);
    for (std::size_t k = 0; k < n; ++k) {
        if (!finite(k)) {
            key[k] = ~std::uint64_t{0};
            continue;
        }
        const auto cell = [](double v, double lo, double hi) {
            const double f = hi > lo ? (v - lo) / (hi - lo) : 0.0;
            return static_cast<std::uint32_t>(std::clamp(f, 0.0, 1.0) * 65535.0);
        };
        const double cx = s.left[k] * 0.5 + s.right[k] * 0.5;
        const double cy = s.top[k] * 0.5 + s.bottom[k] * 0.5;
        key[k] = (Spread(cell(cy, y0, y1)) << 1) | Spread(cell(cx, x0, x1));
    }
    std::stable_sort(rects, rects + n, [&](std::int32_t a, std::int32_t b) {
        return key[static_cast<std::size_t>(a)] < key[static_cast<std::size_t>(b)];
    });
}

} // namespace

RectLanes::RectLanes(const TraceScene& scene, Isa isa, LaneOrder order, double filterMargin)
    : m_scene(scene), m_isa(isa), m_filterMargin(filterMargin) {
    if (!Supports(m_isa)) {
        m_isa = Isa::kScalar;
    }
    const std::size_t n = scene.RectCount();
    m_blocks = (n + kBlock - 1) / kBlock;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    m_left.assign(m_blocks * kBlock, nan);
    m_top.assign(m_blocks * kBlock, nan);
    m_right.assign(m_blocks * kBlock, nan);
    m_bottom.assign(m_blocks * kBlock, nan);
    m_rect.assign(m_blocks * kBlock, -1);
    for (std::size_t k = 0; k < n; ++k) {
        m_rect[k] = static_cast<std::int32_t>(k);
    }
    if (order == LaneOrder::kSpatial) {
        SortSpatially(scene, m_rect.data(), n);
    }
    m_bound = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
        for (double v : {scene.left[k], scene.top[k], scene.right[k], scene.bottom[k]}) {
            m_bound = std::isfinite(v) ? std::max(m_bound, std::fabs(v))
                                       : std::numeric_limits<double>::infinity();
        }
    }
    for (std::size_t lane = 0; lane < n; ++lane) {
        const auto k = static_cast<std::size_t>(m_rect[lane]);
        m_left[lane] = scene.left[k];
        m_top[lane] = scene.top[k];
        m_right[lane] = scene.right[k];
        m_bottom[lane] = scene.bottom[k];
    }
    // The block and whole-search kernels of each instruction set, in the order of Isa.
    static constexpr Kernel kKernels[] = {BlockScalar, BlockAvx2, BlockAvx2};
    static constexpr SearchKernel kSearches[] = {SearchScalar, SearchAvx2, SearchFilteredAvx2};
    m_kernel = kKernels[static_cast<int>(m_isa)];
    m_search = kSearches[static_cast<int>(m_isa)];
    m_ranges.push_back({0, m_blocks});
}

void RectLanes::AppendLane(std::int32_t k) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const bool padding = k < 0;
    const auto r = static_cast<std::size_t>(k);
    m_left.push_back(padding ? nan : m_scene.left[r]);
    m_top.push_back(padding ? nan : m_scene.top[r]);
    m_right.push_back(padding ? nan : m_scene.right[r]);
    m_bottom.push_back(padding ? nan : m_scene.bottom[r]);
    m_rect.push_back(k);
}

namespace {

// For each of `count` subsets of n rectangles (keep as in AddSubsets), the first subset that
// holds the same rectangles: itself when no earlier one does.
std::vector<std::size_t> FirstAlike(const std::vector<char>& keep, std::size_t count,
                                    std::size_t n) {
    std::vector<std::size_t> first(count);
    std::unordered_map<std::string_view, std::size_t> seen;
    seen.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        first[i] = seen.emplace(std::string_view(keep.data() + i * n, n), i).first->second;
    }
    return first;
}

// The lanes of the subsets that are the first of their kind, each padded to whole blocks.
std::size_t LanesOfFirsts(const std::vector<char>& keep, const std::vector<std::size_t>& first,
                          std::size_t n) {
    std::size_t lanes = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (first[i] != i) {
            continue;
        }
        std::size_t kept = 0;
        for (std::size_t k = 0; k < n; ++k) {
            kept += keep[i * n + k] != 0 ? 1 : 0;
        }
        lanes += (kept + RectLanes::kBlock - 1) / RectLanes::kBlock * RectLanes::kBlock;
    }
    return lanes;
}

} // namespace

std::size_t RectLanes::SubsetLanes(const std::vector<char>& keep, std::size_t count,
                                   std::size_t n) {
    return LanesOfFirsts(keep, FirstAlike(keep, count, n), n);
}

RectLanes::Subset RectLanes::AddSubsets(const std::vector<char>& keep, std::size_t count) {
    const std::size_t n = m_scene.RectCount();
    const std::vector<std::size_t> first = FirstAlike(keep, count, n);
    const std::size_t lanes = m_rect.size() + LanesOfFirsts(keep, first, n);
    m_left.reserve(lanes);
    m_top.reserve(lanes);
    m_right.reserve(lanes);
    m_bottom.reserve(lanes);
    m_rect.reserve(lanes);
    m_ranges.reserve(m_ranges.size() + count);
    const auto subset = static_cast<Subset>(m_ranges.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (first[i] != i) {
            const Range same = m_ranges[subset + first[i]];
            m_ranges.push_back(same);
            continue;
        }
        const std::size_t begin = m_rect.size() / kBlock;
        for (std::size_t lane = 0; lane < m_blocks * kBlock; ++lane) {
            const std::int32_t k = m_rect[lane];
            if (k >= 0 && keep[i * n + static_cast<std::size_t>(k)] != 0) {
                AppendLane(k);
            }
        }
        while (m_rect.size() % kBlock != 0) {
            AppendLane(-1);
        }
        m_ranges.push_back({begin, m_rect.size() / kBlock});
    }
    return subset;
}

// AVX2 with the division-free filter where the processor has it, else the scalar code (the
// measurements behind that choice are in bench/README.md).
RectLanes::Isa RectLanes::Best() {
    return Supports(Isa::kAvx2) ? Isa::kAvx2Filter : Isa::kScalar;
}

std::vector<RectLanes::Isa> RectLanes::Available() {
    std::vector<Isa> result;
    for (Isa isa : {Isa::kScalar, Isa::kAvx2, Isa::kAvx2Filter}) {
        if (Supports(isa)) {
            result.push_back(isa);
        }
    }
    return result;
}

const char* RectLanes::Name(Isa isa) {
    switch (isa) {
    case Isa::kScalar:
        return "scalar";
    case Isa::kAvx2:
        return "avx2";
    case Isa::kAvx2Filter:
        return "avx2-filter";
    }
    return "?";
}

} // namespace sonivera
