#include "core/plan/PlanFlatten.h"

#include "core/plan/DxfError.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_map>

namespace sonivera {

namespace {

// x' = a·x + b·y + c, y' = d·x + e·y + f.
struct Affine {
    double a = 1, b = 0, c = 0, d = 0, e = 1, f = 0;

    PlanPoint Apply(double x, double y) const { return {a * x + b * y + c, d * x + e * y + f}; }
    // This after `inner`.
    Affine After(const Affine& inner) const {
        return {a * inner.a + b * inner.d,     a * inner.b + b * inner.e,
                a * inner.c + b * inner.f + c, d * inner.a + e * inner.d,
                d * inner.b + e * inner.e,     d * inner.c + e * inner.f + f};
    }
    double MaxScale() const { return std::max(std::hypot(a, d), std::hypot(b, e)); }
    static Affine Translate(double x, double y) { return {1, 0, x, 0, 1, y}; }
    static Affine Scale(double sx, double sy) { return {sx, 0, 0, 0, sy, 0}; }
    static Affine Rotate(double degrees) {
        const double r = degrees * std::numbers::pi / 180.0;
        return {std::cos(r), -std::sin(r), 0, std::sin(r), std::cos(r), 0};
    }
};

class Flattener {
public:
    Flattener(const DxfDrawing& drawing, const std::function<bool(std::uint32_t)>& taken,
              std::optional<double> tolerance, const std::function<bool(double)>& progress)
        : m_drawing(drawing), m_taken(taken), m_tolerance(tolerance), m_progress(progress) {
        for (std::size_t i = 0; i < drawing.blocks.size(); ++i) {
            m_blocks.emplace(drawing.blocks[i].name, i);
        }
    }

    void Entities(const std::vector<DxfEntity>& entities, const Affine& m, bool top) {
        for (std::size_t i = 0; i < entities.size(); ++i) {
            Entity(entities[i], m);
            if (top && m_progress && (i & 1023) == 0 &&
                !m_progress(static_cast<double>(i) / static_cast<double>(entities.size()))) {
                throw DxfCancelled();
            }
        }
    }

    FlatPlan plan;

private:
    void Leave(const std::string& what, std::uint32_t layer) { ++plan.left[{what, layer}]; }

    void Push(FlatShape shape) {
        if (plan.shapes.size() >= kMaxFlatShapes) {
            throw DxfError("the drawing's blocks expand to more than " +
                           std::to_string(kMaxFlatShapes) + " shapes");
        }
        plan.shapes.push_back(std::move(shape));
    }

    // Points along the arc about (cx, cy) from angle a0 (radians) turning by `sweep` (counter-
    // clockwise when positive), mapped by m: as many as keep every chord within the tolerance.
    std::vector<PlanPoint> Arc(double cx, double cy, double r, double a0, double sweep,
                               const Affine& m) const {
        const double radius = r * m.MaxScale();
        if (!std::isfinite(radius)) {
            return {{NAN, NAN}, {NAN, NAN}}; // left out by the walls as beyond any scale
        }
        const double tolerance = std::max(*m_tolerance, radius * 1e-6);
        // The chord of angle θ strays r·(1 − cos(θ/2)) from its arc.
        const double step =
            radius > tolerance ? 2.0 * std::acos(1.0 - tolerance / radius) : std::numbers::pi / 2.0;
        const auto n =
            static_cast<std::size_t>(std::clamp(std::ceil(std::fabs(sweep) / step), 1.0, 100000.0));
        std::vector<PlanPoint> points;
        for (std::size_t k = 0; k <= n; ++k) {
            const double t = a0 + sweep * static_cast<double>(k) / static_cast<double>(n);
            points.push_back(m.Apply(cx + r * std::cos(t), cy + r * std::sin(t)));
        }
        return points;
    }

    void Curve(std::vector<PlanPoint> points, std::uint32_t layer) {
        FlatShape shape{FlatShape::Kind::Curve, std::move(points), 0.0, layer};
        Push(std::move(shape));
    }

    void Polyline(const DxfEntity& e, const Affine& m) {
        const std::size_t n = e.vertices.size();
        if (n < 2) {
            Leave("polyline with fewer than two vertices", e.layer);
            return;
        }
        const double width = e.width * m.MaxScale();
        const std::size_t edges = e.closed ? n : n - 1;
        const bool curved = std::any_of(e.vertices.begin(), e.vertices.begin() + edges,
                                        [](const DxfVertex& v) { return v.bulge != 0.0; });
        if (e.closed && !curved && width == 0.0) {
            FlatShape outline{FlatShape::Kind::Outline, {}, 0.0, e.layer};
            for (const DxfVertex& v : e.vertices) {
                outline.points.push_back(m.Apply(v.x, v.y));
            }
            Push(std::move(outline));
            return;
        }
        for (std::size_t i = 0; i < edges; ++i) {
            const DxfVertex& a = e.vertices[i];
            const DxfVertex& b = e.vertices[(i + 1) % n];
            if (a.bulge == 0.0) {
                Push({FlatShape::Kind::Segment,
                      {m.Apply(a.x, a.y), m.Apply(b.x, b.y)},
                      width,
                      e.layer});
                continue;
            }
            if (!m_tolerance) {
                Leave("polyline arc", e.layer);
                continue;
            }
            // The arc from a to b turning by 4·atan(bulge): its centre lies on the chord's
            // perpendicular bisector, (chord/2)·(1 − bulge²)/(2·bulge) to the chord's left.
            const double chord = std::hypot(b.x - a.x, b.y - a.y);
            if (chord == 0.0) {
                continue;
            }
            const double bulge = a.bulge;
            const double offset = chord / 2.0 * (1.0 - bulge * bulge) / (2.0 * bulge);
            const double cx = (a.x + b.x) / 2.0 - (b.y - a.y) / chord * offset;
            const double cy = (a.y + b.y) / 2.0 + (b.x - a.x) / chord * offset;
            const double r = std::hypot(a.x - cx, a.y - cy);
            std::vector<PlanPoint> points =
                Arc(cx, cy, r, std::atan2(a.y - cy, a.x - cx), 4.0 * std::atan(bulge), m);
            Curve(std::move(points), e.layer);
        }
    }

    // A SOLID's corners or each loop of a HATCH, as a filled outline.
    void Fills(const DxfEntity& e, const Affine& m) {
        if (e.unsupported || e.vertices.size() < 3) {
            Leave(e.kind == DxfKind::Hatch ? "hatch with curved or spline edges"
                                           : "solid with fewer than three corners",
                  e.layer);
            return;
        }
        std::vector<std::uint32_t> starts = e.loopStarts;
        if (starts.empty()) {
            starts.push_back(0);
        }
        for (std::size_t k = 0; k < starts.size(); ++k) {
            const std::size_t from = starts[k];
            const std::size_t to = k + 1 < starts.size() ? starts[k + 1] : e.vertices.size();
            FlatShape fill{FlatShape::Kind::Fill, {}, 0.0, e.layer};
            for (std::size_t v = from; v < to; ++v) {
                fill.points.push_back(m.Apply(e.vertices[v].x, e.vertices[v].y));
            }
            if (fill.points.size() >= 3) {
                Push(std::move(fill));
            }
        }
    }

    void ArcOrCircle(const DxfEntity& e, const Affine& m) {
        const char* what = e.kind == DxfKind::Arc ? "arc" : "circle";
        if (!m_tolerance || !(e.radius > 0.0)) {
            Leave(what, e.layer);
            return;
        }
        double a0 = 0.0, sweep = 2.0 * std::numbers::pi;
        if (e.kind == DxfKind::Arc) {
            a0 = e.startAngle * std::numbers::pi / 180.0;
            sweep = std::fmod(e.endAngle - e.startAngle, 360.0);
            sweep = (sweep <= 0.0 ? sweep + 360.0 : sweep) * std::numbers::pi / 180.0;
        }
        Curve(Arc(e.x, e.y, e.radius, a0, sweep, m), e.layer);
    }

    void Insert(const DxfEntity& e, const Affine& m) {
        const auto it = m_blocks.find(e.name);
        if (it == m_blocks.end()) {
            Leave("insertion of a block that is not in the drawing", e.layer);
            return;
        }
        const DxfBlock& block = m_drawing.blocks[it->second];
        if (std::find(m_stack.begin(), m_stack.end(), it->second) != m_stack.end()) {
            throw DxfError("the block \"" + m_drawing.names[block.name] +
                           "\" inserts itself (through its own contents)");
        }
        m_stack.push_back(it->second);
        const Affine flip = e.mirrored ? Affine::Scale(-1, 1) : Affine();
        const int columns = std::clamp(e.columns, 1, 10000);
        const int rows = std::clamp(e.rows, 1, 10000);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                // Every placement counts, so arrays of empty blocks cannot run on unbounded.
                if (++m_placements > kMaxFlatShapes) {
                    throw DxfError("the drawing's blocks expand to more than " +
                                   std::to_string(kMaxFlatShapes) + " insertions");
                }
                const Affine place =
                    m.After(flip)
                        .After(Affine::Translate(e.x, e.y))
                        .After(Affine::Rotate(e.rotation))
                        .After(Affine::Translate(c * e.columnSpacing, r * e.rowSpacing))
                        .After(Affine::Scale(e.scaleX, e.scaleY))
                        .After(Affine::Translate(-block.baseX, -block.baseY));
                Entities(block.entities, place, false);
            }
        }
        m_stack.pop_back();
    }

    void Entity(const DxfEntity& e, const Affine& outer) {
        ++plan.entities;
        if (e.kind != DxfKind::Insert && !m_taken(e.layer)) {
            Leave("on a layer not taken", e.layer);
            return;
        }
        const Affine m = e.mirrored ? outer.After(Affine::Scale(-1, 1)) : outer;
        switch (e.kind) {
        case DxfKind::Line:
            Push({FlatShape::Kind::Segment,
                  {m.Apply(e.vertices[0].x, e.vertices[0].y),
                   m.Apply(e.vertices[1].x, e.vertices[1].y)},
                  0.0,
                  e.layer});
            break;
        case DxfKind::Polyline:
            if (e.unsupported) {
                Leave("3-D polyline or mesh", e.layer);
            } else {
                Polyline(e, m);
            }
            break;
        case DxfKind::Solid:
        case DxfKind::Hatch:
            Fills(e, m);
            break;
        case DxfKind::Insert:
            Insert(e, outer);
            break;
        case DxfKind::Arc:
        case DxfKind::Circle:
            ArcOrCircle(e, m);
            break;
        case DxfKind::Other:
            Leave(m_drawing.names[e.name], e.layer);
            break;
        }
    }

    const DxfDrawing& m_drawing;
    const std::function<bool(std::uint32_t)>& m_taken;
    std::optional<double> m_tolerance;
    const std::function<bool(double)>& m_progress;
    std::unordered_map<std::uint32_t, std::size_t> m_blocks;
    std::vector<std::size_t> m_stack;
    std::size_t m_placements = 0;
};

} // namespace

FlatPlan FlattenDrawing(const DxfDrawing& drawing, double metresPerUnit,
                        const std::function<bool(std::uint32_t)>& taken,
                        std::optional<double> curveTolerance,
                        const std::function<bool(double)>& progress) {
    Flattener flattener(drawing, taken, curveTolerance, progress);
    flattener.Entities(drawing.entities, Affine::Scale(metresPerUnit, metresPerUnit), true);
    return std::move(flattener.plan);
}

} // namespace sonivera
