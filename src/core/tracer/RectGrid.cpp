#include "core/tracer/RectGrid.h"

#include "core/tracer/IndexSupport.h"
#include "core/tracer/SearchHit.h"
#include "core/tracer/SlabFilter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sonivera {

using index_support::Lo;

void RectGrid::Build(const TraceScene& scene) {
    m_cells.clear();
    m_entries.clear();
    const auto bounds = BeginBuild(scene);
    if (!bounds) {
        return;
    }
    const double margin = bounds->margin;
    const std::size_t n = scene.RectCount();
    m_bound = 0.0;
    for (std::size_t k = 0; k < n; ++k) { // finite: BeginBuild refuses other scenes
        m_bound = std::max({m_bound, std::fabs(scene.left[k]), std::fabs(scene.top[k]),
                            std::fabs(scene.right[k]), std::fabs(scene.bottom[k])});
    }
    m_x0 = bounds->box.x0;
    m_y0 = bounds->box.y0;
    m_x1 = bounds->box.x1;
    m_y1 = bounds->box.y1;
    // About sixteen cells per rectangle, in the box's proportions; coarser while the lists would
    // take too much memory (rectangles spanning most of a fine grid), and none at all if even a
    // coarse one would.
    const double w = m_x1 - m_x0;
    const double h = m_y1 - m_y0;
    for (double cells = 16.0 * static_cast<double>(n); cells >= 1.0; cells /= 16.0) {
        if (Fill(scene, margin, cells, w, h)) {
            return;
        }
    }
    m_cells.clear();
    m_entries.clear();
}

bool RectGrid::Fill(const TraceScene& scene, double margin, double cells, double w, double h) {
    const std::size_t n = scene.RectCount();
    m_nx = static_cast<std::int32_t>(std::clamp(std::sqrt(cells * w / h), 1.0, 512.0));
    m_ny = static_cast<std::int32_t>(std::clamp(cells / m_nx, 1.0, 512.0));
    m_cellW = w / m_nx;
    m_cellH = h / m_ny;
    if (!(m_cellW > 0.0) || !(m_cellH > 0.0)) {
        return false;
    }
    const auto cellRange = [&](double lo, double hi, double origin, double size, std::int32_t count,
                               std::int32_t& i0, std::int32_t& i1) {
        // The box's cells and the ring of cells around them.
        i0 = std::clamp(static_cast<std::int32_t>(std::floor((lo - origin) / size)) - 1, 0,
                        count - 1);
        i1 = std::clamp(static_cast<std::int32_t>(std::floor((hi - origin) / size)) + 1, 0,
                        count - 1);
    };
    // The cells of rectangle k's box grown by the margin, with their ring.
    const auto cellsOf = [&](std::size_t k, std::int32_t& ix0, std::int32_t& ix1, std::int32_t& iy0,
                             std::int32_t& iy1) {
        index_support::Box b = index_support::RectBox(scene, k);
        b.Widen(margin);
        cellRange(b.x0, b.x1, m_x0, m_cellW, m_nx, ix0, ix1);
        cellRange(b.y0, b.y1, m_y0, m_cellH, m_ny, iy0, iy1);
    };
    std::vector<std::int32_t> counts(static_cast<std::size_t>(m_nx) * m_ny + 1, 0);
    const auto forEachCell = [&](std::size_t k, auto&& visit) {
        std::int32_t ix0, ix1, iy0, iy1;
        cellsOf(k, ix0, ix1, iy0, iy1);
        for (std::int32_t iy = iy0; iy <= iy1; ++iy) {
            for (std::int32_t ix = ix0; ix <= ix1; ++ix) {
                visit(static_cast<std::size_t>(iy) * static_cast<std::size_t>(m_nx) +
                      static_cast<std::size_t>(ix));
            }
        }
    };
    std::int64_t total = 0;
    for (std::size_t k = 0; k < n; ++k) {
        std::int32_t ix0, ix1, iy0, iy1;
        cellsOf(k, ix0, ix1, iy0, iy1);
        total += static_cast<std::int64_t>(ix1 - ix0 + 1) * (iy1 - iy0 + 1);
        if (total > kMaxEntries) {
            return false;
        }
    }
    for (std::size_t k = 0; k < n; ++k) {
        forEachCell(k, [&](std::size_t c) { ++counts[c + 1]; });
    }
    for (std::size_t c = 1; c < counts.size(); ++c) {
        counts[c] += counts[c - 1];
    }
    m_entries.resize(static_cast<std::size_t>(counts.back()));
    std::vector<std::int32_t> fill(counts.begin(), counts.end() - 1);
    for (std::size_t k = 0; k < n; ++k) {
        forEachCell(k, [&](std::size_t c) {
            m_entries[static_cast<std::size_t>(fill[c]++)] = static_cast<std::int32_t>(k);
        });
    }
    m_cells = std::move(counts);
    return true;
}

bool RectGrid::Accepts(const SceneRay& r) const {
    return AcceptsWhenBuilt(!m_cells.empty(), r);
}

bool RectGrid::Search(const TraceScene& scene, const SceneRay& r, int skip, bool visibility,
                      double pointDist, SearchHit& hit, double beyond) const {
    hit = SearchHit{};
    const double inf = std::numeric_limits<double>::infinity();
    const double invDx = r.dx != 0.0 ? 1.0 / r.dx : 0.0;
    const double invDy = r.dy != 0.0 ? 1.0 / r.dy : 0.0;
    // The part of the ray inside the grid's box.
    double tIn = 0.0;
    double tOut = inf;
    if (!index_support::ClipToSlab(r.x0, r.dx, invDx, m_x0, m_x1, tIn, tOut) ||
        !index_support::ClipToSlab(r.y0, r.dy, invDy, m_y0, m_y1, tIn, tOut)) {
        return true;
    }
    if (tIn > tOut) {
        return true;
    }
    const double px = r.x0 + tIn * r.dx;
    const double py = r.y0 + tIn * r.dy;
    std::int32_t ix =
        std::clamp(static_cast<std::int32_t>(std::floor((px - m_x0) / m_cellW)), 0, m_nx - 1);
    std::int32_t iy =
        std::clamp(static_cast<std::int32_t>(std::floor((py - m_y0) / m_cellH)), 0, m_ny - 1);
    const std::int32_t stepX = r.dx > 0.0 ? 1 : (r.dx < 0.0 ? -1 : 0);
    const std::int32_t stepY = r.dy > 0.0 ? 1 : (r.dy < 0.0 ? -1 : 0);
    const SlabFilter filter(r, m_bound);
    // The last few rectangles tested, so a rectangle listed in consecutive cells is tested once.
    std::int32_t recent[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    unsigned next = 0;
    for (;;) {
        const std::size_t c = static_cast<std::size_t>(iy) * static_cast<std::size_t>(m_nx) +
                              static_cast<std::size_t>(ix);
        for (std::int32_t e = m_cells[c]; e < m_cells[c + 1]; ++e) {
            const std::int32_t k = m_entries[static_cast<std::size_t>(e)];
            if (k == skip || std::find(recent, recent + 8, k) != recent + 8) {
                continue;
            }
            recent[next++ & 7u] = k;
            double lb;
            if (filter.on && (!filter.Keeps(scene.left[static_cast<std::size_t>(k)],
                                            scene.top[static_cast<std::size_t>(k)],
                                            scene.right[static_cast<std::size_t>(k)],
                                            scene.bottom[static_cast<std::size_t>(k)], lb) ||
                              (hit.index >= 0 && filter.Farther(lb, hit.dist)))) {
                continue; // certainly missed, or certainly farther than the nearest so far
            }
            if (!index_support::OfferRect(scene, k, r, visibility, pointDist, hit)) {
                return false;
            }
        }
        // The parameters at which the ray leaves this cell through its x and y sides.
        const double exitX =
            stepX == 0
                ? inf
                : (m_x0 + static_cast<double>(ix + (stepX > 0 ? 1 : 0)) * m_cellW - r.x0) * invDx;
        const double exitY =
            stepY == 0
                ? inf
                : (m_y0 + static_cast<double>(iy + (stepY > 0 ? 1 : 0)) * m_cellH - r.y0) * invDy;
        const double exit = Lo(exitX, exitY);
        if (hit.dist <= exit || exit >= tOut || exit >= beyond) {
            return true;
        }
        if (exitX < exitY) {
            ix += stepX;
        } else {
            iy += stepY;
        }
        if (ix < 0 || ix >= m_nx || iy < 0 || iy >= m_ny) {
            return true;
        }
    }
}

} // namespace sonivera
