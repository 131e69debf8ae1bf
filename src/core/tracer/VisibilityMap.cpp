#include "core/tracer/VisibilityMap.h"

#include <algorithm>
#include <atomic>
#include <cmath>

// Why an answer of the map is the exact visibility search's answer.
//
// Notation. M ≥ 1 bounds every rectangle and source coordinate (|·| ≤ M ≤ 2^16, all finite);
// m = rounding · M (2^-30 · M) is the rounding margin; u = 2^-53. A node's point P is a double
// on rectangle q; the search runs from source S along (ex/dist, ey/dist), ex = Px − Sx,
// ey = Py − Sy, dist = sqrt(ex² + ey²), and IntersectRect gives each rectangle's nearest
// crossing parameter t. Every quantity in that computation (ex, ey, dist, the direction, an
// edge's crossing parameter |(o − edge)/d| and crossing point o' + t·d') is a few correctly
// rounded operations on values of magnitude ≤ 4M whose real counterparts are bounded the same
// way, so each is within 2^-46 · M ("tiny") of its real value: the computed ray is the real line
// S→P turned by at most 2u, a reported crossing is a real crossing of the edge's line moved by
// at most tiny, and dist is |SP| ± tiny. The map's own predicates below are evaluated with the
// same kind of error, far below m (2^16 · tiny): each is tested with a further m of slack.
//
// A cell covers the points W of a box: along the side, the cell's stretch widened by m at each
// end (the lookup's index arithmetic errs by far less than m), across, the side's line ± band
// with band = 2^-44 · M.
//
// kHidden, witnessed by an edge e of some rectangle k (q itself included): S lies outside e's
// line by more than m, and every corner Z of the box B = W grown by δ = seenWithin + 2m lies
// beyond e's line by at least m, with the line S→Z crossing e's line within e's extent shrunk by
// 2m. The shadow {S + s·(Q − S): Q ∈ I, s ≥ 1} of the segment I (e shrunk by m) is convex
// (a combination of such points is S + s̄·(Q̄ − S) with s̄ the combined s ≥ 1 and Q̄ ∈ I a
// convex combination), so it holds all of B. For P ∈ W, the point X = P − δ·(P − S)/|SP| lies
// in B, so the segment S→X crosses I at some E with |SE| ≤ |SP| − δ. The search's test of e is
// then not "behind" (S is outside by m and the ray moves across the line), its crossing point
// lies within tiny of E's and so within e's extent, and its parameter is at most |SE| + tiny:
// t_k − dist ≤ −seenWithin − 2m + 2·tiny < −seenWithin. The search says hidden.
//
// kSeen, for side σ of q: S lies outside σ's line by at least h = sourceClear · M (2^-10 · M),
// W lies within σ's extent shrunk by 2m, and every other rectangle grown by m is separated
// from the hull of S and W's corners (a separating axis: x, y, or the normal of S→corner).
// Then:
//  - the segment S→P stays in σ's outer open half-plane until it crosses σ's line at C with
//    |C − P| ≤ band · |SP| / h ≤ 3 · 2^-34 · M < m/4, within σ's extent: the first point of q
//    on the ray. The search reports q with t_q ≤ |SC| + tiny and t_q ≥ |SC| − tiny (every
//    reported crossing is a real one moved by tiny, and C is the first), so
//    |t_q − dist| < m/4 + 2·tiny < seenWithin (m ≤ 2^-14);
//  - any other rectangle k is at least m − tiny from the hull, which holds the segment S→P, so
//    the ray's points up to |SP| + m/2 are farther than tiny from k: a crossing it reports has
//    t_k > |SP| + m/2 − tiny > t_q. Nothing blocks, q is the nearest: seen on q.
//
// Everything else is kUndecided and runs the exact search. The margins' parts that only cover
// rounding are larger than the errors by factors of 2^10 and more; the depth's seenWithin is the
// exact test's own boundary, which the tests probe from both sides.

namespace sonivera {

namespace {

// Sources × sides × rectangles above which a single calculation builds no map: building would
// cost more than it saves (bench/README.md). A map over many listener points allows more.
constexpr double kBuildWorkForEffect = 4e6;
constexpr double kBuildWorkForMap = 4e8;
// The cells' bytes in all.
constexpr double kMaxStateBytes = 32.0 * 1024 * 1024;
constexpr std::uint32_t kMaxCellsPerSide = 1u << 16;
// Sources × rectangles from which a calculation shares the filling out (WorthSharing). Below it
// the thread started early cost more than it saved on a fan too short for a pool (room-10: 30,
// 0.6 → 0.7 ms), and gave nothing measurable on those with one (bench/README.md).
constexpr double kShareFromPairs = 40.0;

double BuildWork(std::size_t sources, std::size_t rects) {
    return static_cast<double>(sources) * 4.0 * static_cast<double>(rects) *
           static_cast<double>(rects);
}

struct Box {
    double x0, y0, x1, y1;
};

} // namespace

class VisibilityMapBuilder {
public:
    VisibilityMapBuilder(VisibilityMap& map, const TraceScene& scene, double bound,
                         const VisibilityMargins& margins)
        : m_map(map), m_sc(scene), m_m(margins.rounding * bound),
          m_delta(margins.seenWithin + 2.0 * margins.rounding * bound),
          m_clear(margins.sourceClear * bound) {}

    // Source s's answers on the sides of rectangle q (which has cells). Each source and
    // rectangle is decided on its own, so the rectangles may be shared out among threads.
    void Build(std::size_t s, std::size_t q) {
        m_s = s;
        m_sx = m_sc.sourceX[s];
        m_sy = m_sc.sourceY[s];
        const std::size_t n = m_sc.RectCount();
        for (std::uint32_t side = 0; side < 4; ++side) {
            const std::uint32_t cells = side < 2 ? m_map.m_cellsY[q] : m_map.m_cellsX[q];
            const Box whole = CellBox(q, side, 0, cells);
            // Candidates: the other rectangles whose box comes near the hull of the source and
            // the whole side.
            const Box hull{std::min(m_sx, whole.x0) - m_delta, std::min(m_sy, whole.y0) - m_delta,
                           std::max(m_sx, whole.x1) + m_delta, std::max(m_sy, whole.y1) + m_delta};
            m_pool.clear();
            for (std::size_t k = 0; k < n; ++k) {
                if (k != q && m_sc.left[k] <= hull.x1 && m_sc.right[k] >= hull.x0 &&
                    m_sc.top[k] <= hull.y1 && m_sc.bottom[k] >= hull.y0) {
                    m_pool.push_back(static_cast<std::uint32_t>(k));
                }
            }
            Classify(q, side, 0, cells, 0, m_pool.size());
        }
    }

private:
    // The box of cells [i0, i1) of side `side` of q: along the side widened by m, across the
    // side's line ± band.
    Box CellBox(std::size_t q, std::uint32_t side, std::uint32_t i0, std::uint32_t i1) const {
        const double band = m_map.m_band;
        if (side < 2) {
            const double c = side == 0 ? m_sc.left[q] : m_sc.right[q];
            const double per = m_map.m_perCellY[q];
            return {c - band, m_sc.top[q] + static_cast<double>(i0) / per - m_m, c + band,
                    m_sc.top[q] + static_cast<double>(i1) / per + m_m};
        }
        const double c = side == 2 ? m_sc.top[q] : m_sc.bottom[q];
        const double per = m_map.m_perCellX[q];
        return {m_sc.left[q] + static_cast<double>(i0) / per - m_m, c - band,
                m_sc.left[q] + static_cast<double>(i1) / per + m_m, c + band};
    }

    void Fill(std::size_t q, std::uint32_t side, std::uint32_t i0, std::uint32_t i1,
              VisibilityMap::State state) {
        const std::uint32_t first = m_map.FirstCell(q, side);
        for (std::uint32_t i = i0; i < i1; ++i) {
            m_map.m_states[static_cast<std::size_t>(first + i) * m_map.m_sources + m_s] = state;
        }
    }

    // Cells [i0, i1) against the candidates pool[c0, c1): hidden when some rectangle's edge
    // witnesses it, seen when no candidate comes near and q's side faces the source, otherwise
    // halved down to single cells with the candidates that still matter.
    void Classify(std::size_t q, std::uint32_t side, std::uint32_t i0, std::uint32_t i1,
                  std::size_t c0, std::size_t c1) {
        const Box w = CellBox(q, side, i0, i1);
        if (HiddenBy(q, w)) {
            Fill(q, side, i0, i1, VisibilityMap::kHidden);
            return;
        }
        const std::size_t mine = m_pool.size();
        for (std::size_t c = c0; c < c1; ++c) {
            const std::uint32_t k = m_pool[c];
            if (Separated(k, w)) {
                continue;
            }
            if (HiddenBy(k, w)) {
                m_pool.resize(mine);
                Fill(q, side, i0, i1, VisibilityMap::kHidden);
                return;
            }
            m_pool.push_back(k);
        }
        if (m_pool.size() == mine && SideSeen(q, side, w)) {
            Fill(q, side, i0, i1, VisibilityMap::kSeen);
        } else if (i1 - i0 > 1) {
            const std::uint32_t mid = i0 + (i1 - i0) / 2;
            const std::size_t end = m_pool.size();
            Classify(q, side, i0, mid, mine, end);
            Classify(q, side, mid, i1, mine, end);
        }
        m_pool.resize(mine);
    }

    // The source faces side σ of q from at least the clearance away, and the box keeps 2m from
    // the side's ends.
    bool SideSeen(std::size_t q, std::uint32_t side, const Box& w) const {
        const double m2 = 2.0 * m_m;
        switch (side) {
        case 0:
            return m_sx <= m_sc.left[q] - m_clear && w.y0 >= m_sc.top[q] + m2 &&
                   w.y1 <= m_sc.bottom[q] - m2;
        case 1:
            return m_sx >= m_sc.right[q] + m_clear && w.y0 >= m_sc.top[q] + m2 &&
                   w.y1 <= m_sc.bottom[q] - m2;
        case 2:
            return m_sy <= m_sc.top[q] - m_clear && w.x0 >= m_sc.left[q] + m2 &&
                   w.x1 <= m_sc.right[q] - m2;
        default:
            return m_sy >= m_sc.bottom[q] + m_clear && w.x0 >= m_sc.left[q] + m2 &&
                   w.x1 <= m_sc.right[q] - m2;
        }
    }

    // Whether an axis separates the hull of the source and the box's corners from rectangle k
    // grown by m.
    bool Separated(std::uint32_t k, const Box& w) const {
        const double kx0 = m_sc.left[k] - m_m;
        const double ky0 = m_sc.top[k] - m_m;
        const double kx1 = m_sc.right[k] + m_m;
        const double ky1 = m_sc.bottom[k] + m_m;
        if (std::max(m_sx, w.x1) < kx0 || std::min(m_sx, w.x0) > kx1 ||
            std::max(m_sy, w.y1) < ky0 || std::min(m_sy, w.y0) > ky1) {
            return true;
        }
        const double cx[4] = {w.x0, w.x1, w.x0, w.x1};
        const double cy[4] = {w.y0, w.y0, w.y1, w.y1};
        const double hx = 0.5 * (kx1 - kx0);
        const double hy = 0.5 * (ky1 - ky0);
        const double mx = 0.5 * (kx0 + kx1);
        const double my = 0.5 * (ky0 + ky1);
        for (int i = 0; i < 4; ++i) {
            double nx = -(cy[i] - m_sy);
            double ny = cx[i] - m_sx;
            const double len = std::sqrt(nx * nx + ny * ny);
            if (!(len > m_m)) {
                continue;
            }
            nx = nx / len;
            ny = ny / len;
            double lo = m_sx * nx + m_sy * ny;
            double hi = lo;
            for (int j = 0; j < 4; ++j) {
                const double p = cx[j] * nx + cy[j] * ny;
                lo = std::min(lo, p);
                hi = std::max(hi, p);
            }
            const double centre = mx * nx + my * ny;
            const double reach = hx * std::fabs(nx) + hy * std::fabs(ny);
            if (hi < centre - reach || lo > centre + reach) {
                return true;
            }
        }
        return false;
    }

    // Whether one edge of rectangle k witnesses that every point of the box is hidden.
    bool HiddenBy(std::size_t k, const Box& w) const {
        const Box b{w.x0 - m_delta, w.y0 - m_delta, w.x1 + m_delta, w.y1 + m_delta};
        const double l = m_sc.left[k];
        const double t = m_sc.top[k];
        const double r = m_sc.right[k];
        const double bo = m_sc.bottom[k];
        return EdgeHides(m_sx, m_sy, l, t, bo, b.x0, b.x1, b.y0, b.y1, true) ||
               EdgeHides(m_sx, m_sy, r, t, bo, b.x0, b.x1, b.y0, b.y1, false) ||
               EdgeHides(m_sy, m_sx, t, l, r, b.y0, b.y1, b.x0, b.x1, true) ||
               EdgeHides(m_sy, m_sx, bo, l, r, b.y0, b.y1, b.x0, b.x1, false);
    }

    // An edge on the line (coordinate `line` on the first axis) spanning [lo, hi] on the second,
    // met by a source at (o, oAcross) moving towards + (up) or − on the first axis; the box is
    // [a0, a1] on the first axis and [b0, b1] on the second.
    bool EdgeHides(double o, double oAcross, double line, double lo, double hi, double a0,
                   double a1, double b0, double b1, bool up) const {
        const double m = m_m;
        if (up ? !(o < line - m) || !(a0 >= line + m) : !(o > line + m) || !(a1 <= line - m)) {
            return false;
        }
        const double a[2] = {a0, a1};
        const double b[2] = {b0, b1};
        const double from = lo + 2.0 * m;
        const double to = hi - 2.0 * m;
        for (double za : a) {
            const double f = (line - o) / (za - o); // in (0, 1): the corner lies beyond the line
            for (double zb : b) {
                const double cross = oAcross + (zb - oAcross) * f;
                if (!(cross >= from && cross <= to)) {
                    return false;
                }
            }
        }
        return true;
    }

    VisibilityMap& m_map;
    const TraceScene& m_sc;
    const double m_m;
    const double m_delta;
    const double m_clear;
    std::size_t m_s = 0;
    double m_sx = 0.0;
    double m_sy = 0.0;
    std::vector<std::uint32_t> m_pool;
};

VisibilityMap::VisibilityMap(const TraceScene& scene, bool forMap, const VisibilityMargins& margins)
    : VisibilityMap(scene, forMap, margins, kUnfilled) {
    std::atomic<std::size_t> next{0};
    Fill(next);
}

VisibilityMap::VisibilityMap(const TraceScene& scene, bool forMap, const VisibilityMargins& margins,
                             Unfilled) {
    const std::size_t n = scene.RectCount();
    const std::size_t sources = scene.sourceX.size();
    if (n == 0 || sources == 0) {
        return;
    }
    if (BuildWork(sources, n) > (forMap ? kBuildWorkForMap : kBuildWorkForEffect)) {
        return;
    }
    double bound = 1.0;
    bool finite = true;
    auto take = [&](const std::vector<double>& v) {
        for (double x : v) {
            finite = finite && std::isfinite(x);
            bound = std::max(bound, std::fabs(x));
        }
    };
    take(scene.left);
    take(scene.top);
    take(scene.right);
    take(scene.bottom);
    take(scene.sourceX);
    take(scene.sourceY);
    if (!finite || bound > 0x1p16) {
        return;
    }
    // Cells per side: the side's length over the cell length, coarser until the answers fit.
    double cellLength = margins.cellLength;
    std::vector<std::uint32_t> cx(n), cy(n);
    for (;;) {
        double total = 0.0;
        for (std::size_t q = 0; q < n; ++q) {
            auto count = [&](double len) {
                const double c = std::ceil(len / cellLength);
                return static_cast<std::uint32_t>(
                    std::clamp(c, 1.0, static_cast<double>(kMaxCellsPerSide)));
            };
            cx[q] = count(scene.right[q] - scene.left[q]);
            cy[q] = count(scene.bottom[q] - scene.top[q]);
            total += 2.0 * (static_cast<double>(cx[q]) + static_cast<double>(cy[q]));
        }
        if (total * static_cast<double>(sources) <= kMaxStateBytes) {
            break;
        }
        cellLength *= 2.0;
    }
    m_scene = &scene;
    m_sources = sources;
    m_band = 0x1p-44 * bound;
    m_cellBase.assign(n, kNoCells);
    m_cellsX = cx;
    m_cellsY = cy;
    m_perCellX.assign(n, 0.0);
    m_perCellY.assign(n, 0.0);
    std::uint32_t next = 0;
    for (std::size_t q = 0; q < n; ++q) {
        const double width = scene.right[q] - scene.left[q];
        const double height = scene.bottom[q] - scene.top[q];
        if (!(width > 0.0) || !(height > 0.0)) {
            continue; // a degenerate rectangle: every point undecided
        }
        m_cellBase[q] = next;
        m_perCellX[q] = static_cast<double>(cx[q]) / width;
        m_perCellY[q] = static_cast<double>(cy[q]) / height;
        next += 2u * (cx[q] + cy[q]);
    }
    m_states.assign(static_cast<std::size_t>(next) * sources, kUndecided);
    m_bound = bound;
    m_margins = margins;
}

void VisibilityMap::Fill(std::atomic<std::size_t>& next) {
    if (m_states.empty()) {
        return;
    }
    VisibilityMapBuilder builder(*this, *m_scene, m_bound, m_margins);
    const std::size_t n = m_scene->RectCount();
    // A rectangle at a time: its cells are one stretch of the answers, so threads filling
    // different rectangles write different cache lines but at the stretches' ends.
    for (std::size_t q = next.fetch_add(1, std::memory_order_relaxed); q < n;
         q = next.fetch_add(1, std::memory_order_relaxed)) {
        if (m_cellBase[q] == kNoCells) {
            continue;
        }
        for (std::size_t s = 0; s < m_sources; ++s) {
            builder.Build(s, q);
        }
    }
}

bool VisibilityMap::WorthSharing(const TraceScene& scene) {
    const std::size_t n = scene.RectCount();
    const std::size_t sources = scene.sourceX.size();
    return static_cast<double>(sources) * static_cast<double>(n) >= kShareFromPairs &&
           BuildWork(sources, n) <= kBuildWorkForEffect;
}

void VisibilityMap::Count(std::uint64_t counts[3]) const {
    counts[0] = counts[1] = counts[2] = 0;
    for (std::uint8_t v : m_states) {
        ++counts[v];
    }
}

} // namespace sonivera
