#include "core/plan/PlanWalls.h"

#include "core/plan/DxfError.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_map>

namespace sonivera {

namespace {

using Interval = std::pair<double, double>;

// A line parallel to an axis, in coordinates along it (`a0` < `a1`) and across it (`c`); for a
// vertical line, a is y and c is x.
struct AxisLine {
    double c = 0.0, a0 = 0.0, a1 = 0.0;
    std::uint32_t layer = 0;
    std::vector<Interval> free; // not yet part of a wall
    std::vector<std::pair<Interval, double>>
        paired; // parts made walls, with the other face's offset
};

// `from` less `cut`.
std::vector<Interval> Subtract(const std::vector<Interval>& from, Interval cut) {
    std::vector<Interval> out;
    for (const Interval& f : from) {
        if (cut.second <= f.first || f.second <= cut.first) {
            out.push_back(f);
            continue;
        }
        if (f.first < cut.first) {
            out.emplace_back(f.first, cut.first);
        }
        if (cut.second < f.second) {
            out.emplace_back(cut.second, f.second);
        }
    }
    return out;
}

class WallBuilder {
public:
    WallBuilder(const PlanWallOptions& o)
        : m_o(o), m_tan(std::tan(o.toleranceDegrees * std::numbers::pi / 180.0)) {}

    void Shape(const FlatShape& s) {
        switch (s.kind) {
        case FlatShape::Kind::Segment:
            Segment(s.points[0], s.points[1], s.width, s.layer, "line");
            break;
        case FlatShape::Kind::Outline:
            Outline(s);
            break;
        case FlatShape::Kind::Fill:
            Fill(s);
            break;
        case FlatShape::Kind::Curve:
            if (!std::all_of(s.points.begin(), s.points.end(), [](PlanPoint p) {
                    return std::isfinite(p.x) && std::isfinite(p.y);
                })) {
                ++result.left[{"arc or circle beyond any scale", s.layer}];
                break;
            }
            // The chords already stray up to half the step from the curve.
            for (std::size_t i = 0; i + 1 < s.points.size(); ++i) {
                Staircase(s.points[i], s.points[i + 1], m_o.wallThickness, s.layer,
                          *m_o.staircase / 2.0);
            }
            ++result.taken[{"arc or circle as a staircase of rectangles", s.layer}];
            break;
        }
    }

    void Finish() {
        for (auto* lines : {&m_horizontal, &m_vertical}) {
            MergeCollinear(*lines);
            Pair(*lines, lines == &m_vertical);
        }
        IndexWalls();
        for (auto* lines : {&m_horizontal, &m_vertical}) {
            Remaining(*lines, lines == &m_vertical);
        }
    }

    PlanWalls result;

private:
    void Rect(double x0, double y0, double x1, double y1, std::uint32_t layer) {
        if (result.rects.size() >= kMaxFlatShapes) {
            throw DxfError("the drawing makes more than " + std::to_string(kMaxFlatShapes) +
                           " rectangles (a staircase step too fine for its size?)");
        }
        result.rects.push_back(
            {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1), layer});
    }

    // Which axis a line from p to q runs along: 'h', 'v', 'z' (no length) or 's' (slanted).
    char Axis(PlanPoint p, PlanPoint q) const {
        const double dx = std::fabs(q.x - p.x), dy = std::fabs(q.y - p.y);
        if (dx == 0.0 && dy == 0.0) {
            return 'z';
        }
        if (dy <= m_tan * dx) {
            return 'h';
        }
        if (dx <= m_tan * dy) {
            return 'v';
        }
        return 's';
    }

    void Segment(PlanPoint p, PlanPoint q, double width, std::uint32_t layer, const char* what) {
        // Insertions scaled past a double's range give points that are no numbers.
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(q.x) ||
            !std::isfinite(q.y) || !std::isfinite(width)) {
            ++result.left[{"line beyond any scale", layer}];
            return;
        }
        const char axis = Axis(p, q);
        if (axis == 'z') {
            ++result.left[{"line of no length", layer}];
            return;
        }
        if (axis == 's') {
            if (!m_o.staircase) {
                ++result.left[{"slanted line", layer}];
                return;
            }
            Staircase(p, q, width > 0.0 ? width : m_o.wallThickness, layer, *m_o.staircase);
            ++result.taken[{"slanted line as a staircase of rectangles", layer}];
            return;
        }
        const bool h = axis == 'h';
        const double c = h ? (p.y + q.y) / 2.0 : (p.x + q.x) / 2.0;
        const double a0 = std::min(h ? p.x : p.y, h ? q.x : q.y);
        const double a1 = std::max(h ? p.x : p.y, h ? q.x : q.y);
        if (width > 0.0) {
            const double w = width / 2.0;
            if (h) {
                Rect(a0 - w, c - w, a1 + w, c + w, layer);
            } else {
                Rect(c - w, a0 - w, c + w, a1 + w, layer);
            }
            ++result.taken[{"wide polyline edge", layer}];
            return;
        }
        (h ? m_horizontal : m_vertical).push_back({c, a0, a1, layer, {{a0, a1}}, {}});
        ++result.taken[{std::string(what) == "line" ? "line (a wall's face or centre line)"
                                                    : "outline edge (a wall's face)",
                        layer}];
    }

    void Staircase(PlanPoint p, PlanPoint q, double thickness, std::uint32_t layer, double step) {
        const double dx = q.x - p.x, dy = q.y - p.y;
        const double length = std::hypot(dx, dy);
        if (length == 0.0) {
            return;
        }
        // A piece's box strays |dx·dy|/length from the line at its far corners.
        const double pieces = std::ceil(std::fabs(dx * dy) / (length * step));
        const auto n = static_cast<std::size_t>(std::clamp(pieces, 1.0, 1000000.0));
        const double w = thickness / 2.0;
        for (std::size_t k = 0; k < n; ++k) {
            const double t0 = static_cast<double>(k) / static_cast<double>(n);
            const double t1 = static_cast<double>(k + 1) / static_cast<double>(n);
            const double x0 = p.x + dx * t0, y0 = p.y + dy * t0;
            const double x1 = p.x + dx * t1, y1 = p.y + dy * t1;
            Rect(std::min(x0, x1) - w, std::min(y0, y1) - w, std::max(x0, x1) + w,
                 std::max(y0, y1) + w, layer);
        }
    }

    // Whether every point lies on an axis-parallel rectangle's corners (to a billionth of its
    // size, so a block turned by 90° still counts), and that rectangle.
    static bool IsBox(const std::vector<PlanPoint>& points, double& x0, double& y0, double& x1,
                      double& y1) {
        x0 = x1 = points[0].x;
        y0 = y1 = points[0].y;
        for (const PlanPoint& p : points) {
            x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
            y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
        }
        const double eps =
            1e-9 * std::max({1.0, std::fabs(x0), std::fabs(x1), std::fabs(y0), std::fabs(y1)});
        const auto near = [eps](double a, double b) { return std::fabs(a - b) <= eps; };
        return x0 < x1 && y0 < y1 && std::all_of(points.begin(), points.end(), [&](PlanPoint p) {
                   return (near(p.x, x0) || near(p.x, x1)) && (near(p.y, y0) || near(p.y, y1));
               });
    }

    void Outline(const FlatShape& s) {
        double x0, y0, x1, y1;
        if (IsBox(s.points, x0, y0, x1, y1) && x1 - x0 <= m_o.maxColumn &&
            y1 - y0 <= m_o.maxColumn) {
            Rect(x0, y0, x1, y1, s.layer);
            ++result.taken[{"closed outline (a column)", s.layer}];
            return;
        }
        for (std::size_t i = 0; i < s.points.size(); ++i) {
            Segment(s.points[i], s.points[(i + 1) % s.points.size()], 0.0, s.layer, "outline");
        }
    }

    // A filled outline whose edges are all axis-parallel, as the rectangles of its inside: the
    // slabs between its corners' y, each cut where its vertical edges cross (even-odd rule).
    void Fill(const FlatShape& s) {
        const std::size_t n = s.points.size();
        double x0, y0, x1, y1;
        if (IsBox(s.points, x0, y0, x1, y1)) {
            Rect(x0, y0, x1, y1, s.layer);
            ++result.taken[{"solid or hatch", s.layer}];
            return;
        }
        std::vector<double> ys;
        for (std::size_t i = 0; i < n; ++i) {
            const PlanPoint p = s.points[i], q = s.points[(i + 1) % n];
            if (p.x != q.x && p.y != q.y) {
                ++result.left[{"solid or hatch with slanted edges", s.layer}];
                return;
            }
            ys.push_back(p.y);
        }
        std::sort(ys.begin(), ys.end());
        ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
        for (std::size_t k = 0; k + 1 < ys.size(); ++k) {
            const double mid = (ys[k] + ys[k + 1]) / 2.0;
            std::vector<double> xs;
            for (std::size_t i = 0; i < n; ++i) {
                const PlanPoint p = s.points[i], q = s.points[(i + 1) % n];
                if (p.x == q.x && std::min(p.y, q.y) < mid && mid < std::max(p.y, q.y)) {
                    xs.push_back(p.x);
                }
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
                Rect(xs[i], ys[k], xs[i + 1], ys[k + 1], s.layer);
            }
        }
        ++result.taken[{"solid or hatch", s.layer}];
    }

    // Overlapping lines on the same line are one line.
    static void MergeCollinear(std::vector<AxisLine>& lines) {
        std::sort(lines.begin(), lines.end(), [](const AxisLine& a, const AxisLine& b) {
            return a.c != b.c ? a.c < b.c : a.a0 < b.a0;
        });
        std::vector<AxisLine> merged;
        for (AxisLine& line : lines) {
            if (!merged.empty() && merged.back().c == line.c && line.a0 <= merged.back().a1) {
                merged.back().a1 = std::max(merged.back().a1, line.a1);
                merged.back().free = {{merged.back().a0, merged.back().a1}};
                continue;
            }
            merged.push_back(std::move(line));
        }
        lines = std::move(merged);
    }

    void Wall(bool vertical, double a0, double a1, double c0, double c1, std::uint32_t layer) {
        if (vertical) {
            Rect(c0, a0, c1, a1, layer);
        } else {
            Rect(a0, c0, a1, c1, layer);
        }
    }

    struct Candidate {
        double gap;
        std::size_t i, j;
    };

    // Lines are sorted by their position across, then along, and those on one position do not
    // overlap (MergeCollinear): the overlapping pairs of two positions at most maxWallGap apart
    // are found by one walk along both.
    std::vector<Candidate> OverlappingPairs(const std::vector<AxisLine>& lines) const {
        std::vector<std::pair<std::size_t, std::size_t>> groups; // [begin, end) of one position
        for (std::size_t i = 0; i < lines.size();) {
            std::size_t end = i;
            while (end < lines.size() && lines[end].c == lines[i].c) {
                ++end;
            }
            groups.emplace_back(i, end);
            i = end;
        }
        std::vector<Candidate> candidates;
        for (std::size_t g = 0; g < groups.size(); ++g) {
            for (std::size_t h = g + 1;
                 h < groups.size() &&
                 lines[groups[h].first].c - lines[groups[g].first].c <= m_o.maxWallGap;
                 ++h) {
                std::size_t i = groups[g].first, j = groups[h].first;
                while (i < groups[g].second && j < groups[h].second) {
                    if (lines[i].a1 <= lines[j].a0) {
                        ++i;
                    } else if (lines[j].a1 <= lines[i].a0) {
                        ++j;
                    } else {
                        candidates.push_back({lines[j].c - lines[i].c, i, j});
                        (lines[i].a1 < lines[j].a1 ? i : j)++;
                    }
                }
            }
        }
        return candidates;
    }

    // The faces of walls: nearest parallel pairs first, each part of a line used once.
    void Pair(std::vector<AxisLine>& lines, bool vertical) {
        std::vector<Candidate> candidates = OverlappingPairs(lines);
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const Candidate& a, const Candidate& b) { return a.gap < b.gap; });
        for (const Candidate& k : candidates) {
            AxisLine& a = lines[k.i];
            AxisLine& b = lines[k.j];
            std::vector<Interval> common;
            for (const Interval& fa : a.free) {
                for (const Interval& fb : b.free) {
                    const double from = std::max(fa.first, fb.first);
                    const double to = std::min(fa.second, fb.second);
                    if (from < to) {
                        common.emplace_back(from, to);
                    }
                }
            }
            for (const Interval& part : common) {
                Wall(vertical, part.first, part.second, a.c, b.c, a.layer);
                m_walls.push_back(result.rects.back());
                a.free = Subtract(a.free, part);
                b.free = Subtract(b.free, part);
                a.paired.push_back({part, k.gap});
                b.paired.push_back({part, -k.gap});
            }
        }
    }

    // The walls made from pairs in cells of a grid, so a short piece finds those near it.
    using Cell = std::pair<long long, long long>;
    struct CellHash {
        std::size_t operator()(const Cell& c) const {
            return std::hash<long long>()(c.first * 1000003LL ^ c.second);
        }
    };
    double CellSize() const { return std::max(4.0 * m_o.maxWallGap, 1.0); }
    // Clamped far inside long long's range, whatever the coordinate (cells that far apart are
    // never near each other anyway).
    long long CellOf(double v) const {
        return static_cast<long long>(std::clamp(std::floor(v / CellSize()), -1e15, 1e15));
    }

    void IndexWalls() {
        for (std::size_t k = 0; k < m_walls.size(); ++k) {
            const PlanRect& r = m_walls[k];
            const long long cx0 = CellOf(r.x0), cx1 = CellOf(r.x1);
            const long long cy0 = CellOf(r.y0), cy1 = CellOf(r.y1);
            if (static_cast<double>(cx1 - cx0 + 1) * static_cast<double>(cy1 - cy0 + 1) > 10000.0) {
                m_bigWalls.push_back(k);
                continue;
            }
            for (long long x = cx0; x <= cx1; ++x) {
                for (long long y = cy0; y <= cy1; ++y) {
                    m_cells[{x, y}].push_back(k);
                }
            }
        }
    }

    // Whether a piece of a line lies on a wall made from a pair (its end or a jamb).
    bool OnAWall(bool vertical, double c, Interval piece) const {
        const auto on = [&](std::size_t k) {
            const PlanRect& r = m_walls[k];
            const double c0 = vertical ? r.x0 : r.y0, c1 = vertical ? r.x1 : r.y1;
            const double a0 = vertical ? r.y0 : r.x0, a1 = vertical ? r.y1 : r.x1;
            return c0 <= c && c <= c1 && a0 <= piece.first && piece.second <= a1;
        };
        if (std::any_of(m_bigWalls.begin(), m_bigWalls.end(), on)) {
            return true;
        }
        const double x = vertical ? c : piece.first, y = vertical ? piece.first : c;
        const auto it = m_cells.find({CellOf(x), CellOf(y)});
        return it != m_cells.end() && std::any_of(it->second.begin(), it->second.end(), on);
    }

    void Remaining(std::vector<AxisLine>& lines, bool vertical) {
        const double w = m_o.wallThickness / 2.0;
        for (const AxisLine& line : lines) {
            for (const Interval& piece : line.free) {
                // A short piece next to a paired part: the junction, filled to the same depth.
                const double length = piece.second - piece.first;
                const auto next =
                    std::find_if(line.paired.begin(), line.paired.end(), [&](const auto& p) {
                        return p.first.second == piece.first || p.first.first == piece.second;
                    });
                if (length <= m_o.maxWallGap && next != line.paired.end()) {
                    Wall(vertical, piece.first, piece.second, line.c, line.c + next->second,
                         line.layer);
                    continue;
                }
                if (length <= m_o.maxWallGap && OnAWall(vertical, line.c, piece)) {
                    continue;
                }
                Wall(vertical, piece.first - w, piece.second + w, line.c - w, line.c + w,
                     line.layer);
            }
        }
    }

    const PlanWallOptions& m_o;
    double m_tan;
    std::vector<AxisLine> m_horizontal, m_vertical;
    std::vector<PlanRect> m_walls; // the walls made from pairs
    std::vector<std::size_t> m_bigWalls;
    std::unordered_map<Cell, std::vector<std::size_t>, CellHash> m_cells;
};

} // namespace

PlanWalls BuildPlanWalls(const FlatPlan& plan, const PlanWallOptions& options) {
    WallBuilder builder(options);
    for (const FlatShape& shape : plan.shapes) {
        builder.Shape(shape);
    }
    builder.Finish();
    return std::move(builder.result);
}

} // namespace sonivera
