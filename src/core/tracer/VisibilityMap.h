#pragma once

#include "core/tracer/TraceScene.h"

#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sonivera {

// The margins the map's proofs rest on (VisibilityMap.cpp), and the length of its cells. Tests
// plant a fault by halving one.
struct VisibilityMargins {
    // The depth by which a hiding rectangle must be crossed before the point: the exact test's
    // kSeenWithin (a rounding margin is added to it).
    double seenWithin = kSeenWithin;
    // The rounding margin m, as a multiple of the coordinates' bound.
    double rounding = 0x1p-30;
    // The least distance of a source from the line of a side it is proved to see, as a multiple
    // of the coordinates' bound.
    double sourceClear = 0x1p-10;
    // The length of a cell in metres (coarser when the cells would exceed the memory bound).
    double cellLength = 0.02;

    bool operator==(const VisibilityMargins&) const = default;
};

// What each sound source's visibility search would answer for a point on a rectangle's side,
// known before any ray is traced. Every side of every rectangle is cut into cells of equal
// length; per cell and source the map holds one of three answers, proved for every point of the
// cell (and of a thin band around the side's line, since a node's point is a rounded product):
//  - kHidden: the search from the source towards the point meets a rectangle nearer than the
//    point by kSeenWithin or more, so the point is hidden;
//  - kSeen: the search meets no rectangle but the point's own one, within kSeenWithin of the
//    point, so the point is seen on its own rectangle (the contribution's reflection and
//    cosine are then those of the node's rectangle and point, computed as before);
//  - kUndecided: anything else (near a shadow edge, near a corner, near the 0.001 boundary, a
//    source close to the side's line, rectangles of zero width or height): the exact search
//    must run.
// It depends on the rectangles and sources only, not on the listener, so a map over many
// listener points builds it once. The proof of each answer is beside the builder in
// VisibilityMap.cpp.
class VisibilityMap {
public:
    enum State : std::uint8_t { kUndecided = 0, kHidden = 1, kSeen = 2 };

    // Builds nothing (every answer undecided) for scenes whose coordinates are not all finite
    // and within ±2^16, for scenes without sources or rectangles, and when the work of building
    // (sources × sides × rectangles) would outweigh what a single calculation saves
    // (`forMap` raises that bound: a map reuses it for every listener point).
    explicit VisibilityMap(const TraceScene& scene, bool forMap = false,
                           const VisibilityMargins& margins = {});
    // An empty map: every answer undecided.
    VisibilityMap() = default;

    // Whether filling a calculation's map is long enough to be shared out among helper threads
    // (the first calculation of a process starts them, 0.07–0.2 ms each; a source's answers on a
    // rectangle take 5–12 µs).
    static bool WorthSharing(const TraceScene& scene);

    // The map laid out with every answer still undecided (which is always a sound answer): the
    // answers come from Fill, on one thread or shared out among several.
    enum Unfilled { kUnfilled };
    VisibilityMap(const TraceScene& scene, bool forMap, const VisibilityMargins& margins, Unfilled);
    // Decides the answers of rectangle next++, and again, until no rectangle is left. Threads
    // calling it at once with the same counter fill the map between them; the answers are the
    // same whichever thread decides which rectangle.
    void Fill(std::atomic<std::size_t>& next);

    bool Empty() const { return m_states.empty(); }
    // The same layout and answers for the same scene.
    bool operator==(const VisibilityMap&) const = default;
    // The memory the map holds.
    std::size_t Bytes() const {
        return m_states.size() + 3 * m_cellBase.size() * sizeof(std::uint32_t) +
               2 * m_perCellX.size() * sizeof(double);
    }

    // The cell of rectangle q's side that (px, py) lies on, or -1 when the map has none (the
    // point is on no side's band, or beyond a side's ends).
    std::int64_t CellAt(std::size_t q, double px, double py) const {
        if (m_states.empty() || m_cellBase[q] == kNoCells) {
            return -1;
        }
        const double X = m_scene->left[q];
        const double Y = m_scene->top[q];
        const double R = m_scene->right[q];
        const double B = m_scene->bottom[q];
        // Sides in the order left, right, upper, lower; a corner is undecided on every side.
        std::uint32_t side;
        double along;
        if (std::fabs(px - X) <= m_band) {
            side = 0;
            along = (py - Y) * m_perCellY[q];
        } else if (std::fabs(px - R) <= m_band) {
            side = 1;
            along = (py - Y) * m_perCellY[q];
        } else if (std::fabs(py - Y) <= m_band) {
            side = 2;
            along = (px - X) * m_perCellX[q];
        } else if (std::fabs(py - B) <= m_band) {
            side = 3;
            along = (px - X) * m_perCellX[q];
        } else {
            return -1;
        }
        const std::uint32_t cells = side < 2 ? m_cellsY[q] : m_cellsX[q];
        if (!(along >= 0.0 && along < static_cast<double>(cells))) {
            return -1;
        }
        return static_cast<std::int64_t>(FirstCell(q, side) + static_cast<std::uint32_t>(along));
    }

    // The answer for source s at a cell CellAt gave.
    State At(std::int64_t cell, std::size_t s) const {
        return static_cast<State>(m_states[static_cast<std::size_t>(cell) * m_sources + s]);
    }

    // Cells per answer, for the benchmarks and tests: undecided, hidden, seen.
    void Count(std::uint64_t counts[3]) const;

private:
    static constexpr std::uint32_t kNoCells = 0xffffffffu;

    // The first cell of rectangle q's side (0 left, 1 right, 2 upper, 3 lower).
    std::uint32_t FirstCell(std::size_t q, std::uint32_t side) const {
        const std::uint32_t cy = m_cellsY[q];
        return m_cellBase[q] + (side == 0   ? 0u
                                : side == 1 ? cy
                                : side == 2 ? 2u * cy
                                            : 2u * cy + m_cellsX[q]);
    }

    const TraceScene* m_scene = nullptr;
    std::size_t m_sources = 0;
    double m_band = 0.0;
    std::vector<std::uint32_t> m_cellBase; // per rectangle: its first cell, or kNoCells
    std::vector<std::uint32_t> m_cellsX,
        m_cellsY; // per rectangle: cells of an upper/lower, left/right side
    std::vector<double> m_perCellX, m_perCellY; // per rectangle: cells per metre along x, y
    std::vector<std::uint8_t> m_states;         // cell × source
    double m_bound = 0.0;                       // the coordinates' bound M of the proofs
    VisibilityMargins m_margins;

    friend class VisibilityMapBuilder;
};

} // namespace sonivera
