#pragma once

#include "core/tracer/IndexSupport.h"
#include "core/tracer/TraceScene.h"

#include <cstdint>
#include <vector>

namespace sonivera {

struct SearchHit;

// A uniform grid over the rectangles, walked cell by cell along a ray, for scenes with many of
// them. Like RectTree it only decides which rectangles need testing; each tested rectangle gets
// the exact intersection of IntersectRect and the winner is the smallest parameter with ties to
// the lower index, as the walk over the whole list gives it.
//
// Why nothing that could win is missed:
//  - A rectangle is listed in every cell its box (grown by 1e-9 of the largest coordinate, far
//    more than the rounding of a computed hit point) overlaps, and in the ring of cells around
//    those. Rounding in the cell walk can only skip a cell that shares a corner with cells it
//    visits, and the ring puts that cell's rectangles into the visited ones.
//  - The walk stops once the best parameter found is no more than the exit parameter of the
//    current cell. A rectangle not met so far is listed in none of the visited cells, so its box
//    lies at least a whole cell beyond them, and its hit lies well beyond that exit.
// Rays the error bound does not cover are not accepted (see RectTree::Accepts) and go to the
// plain walk.
class RectGrid : private index_support::IndexBase {
public:
    void Build(const TraceScene& scene);
    bool Empty() const { return m_cells.empty(); }
    bool Accepts(const SceneRay& ray) const;
    // The memory the cell lists hold.
    std::size_t Bytes() const { return (m_cells.size() + m_entries.size()) * sizeof(std::int32_t); }

    // As RectTree::Search. The walk also stops once the current cell's exit parameter is at or
    // beyond `beyond` (for callers to which a crossing there is as good as none): a rectangle not
    // met so far is then crossed beyond that exit, if at all, as above.
    bool Search(const TraceScene& scene, const SceneRay& ray, int skip, bool visibility,
                double pointDist, SearchHit& hit, double beyond = kNoHit) const;

    // The most rectangle entries the cell lists may hold (16 MiB).
    static constexpr std::int64_t kMaxEntries = 4 << 20;

private:
    bool Fill(const TraceScene& scene, double margin, double cells, double w, double h);

    double m_x0 = 0.0, m_y0 = 0.0, m_x1 = 0.0, m_y1 = 0.0; // the grid's box
    double m_cellW = 0.0, m_cellH = 0.0;
    double m_bound = 0.0; // the largest magnitude of a side coordinate (SlabFilter)
    std::int32_t m_nx = 0, m_ny = 0;
    std::vector<std::int32_t> m_cells;   // per cell: offset of its list in m_entries (+1 at end)
    std::vector<std::int32_t> m_entries; // rectangle indices, ascending within a cell
};

} // namespace sonivera
