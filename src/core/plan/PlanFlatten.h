#pragma once

#include "core/plan/DxfDrawing.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sonivera {

struct PlanPoint {
    double x = 0.0, y = 0.0;
};

// A drawing's shapes in metres in the drawing's own axes (y up), every block insertion expanded.
struct FlatShape {
    enum class Kind {
        Segment, // a straight line or polyline edge; `width` 0 for a thin line
        Outline, // a closed polyline of straight edges: a column's outline, or a room's
        Fill,    // a SOLID or a HATCH loop: filled
        Curve,   // an arc, a circle or a polyline's arc edge, as a chain of points
    };
    Kind kind = Kind::Segment;
    std::vector<PlanPoint> points;
    double width = 0.0;
    std::uint32_t layer = 0;
};

struct FlatPlan {
    std::vector<FlatShape> shapes;
    // What was left out, by what it is and its layer (DxfDrawing::names).
    std::map<std::pair<std::string, std::uint32_t>, std::size_t> left;
    std::size_t entities = 0; // entities met, those in blocks once per insertion
};

// The most shapes block insertions may expand to (a block of a thousand inserted a thousand
// times inside another inserted a thousand times would otherwise never end).
constexpr std::size_t kMaxFlatShapes = 10000000;

// Expands the drawing: insertions with their scale, rotation, mirroring and arrays, nested blocks
// to any depth. `taken(layer)` says whether a layer is taken; arcs and circles become Curves
// sampled so that no chord strays more than `curveTolerance` metres from the arc, or are left out
// without it. Throws DxfError for a block that inserts itself (directly or through others) and for
// insertions expanding past kMaxFlatShapes.
FlatPlan FlattenDrawing(const DxfDrawing& drawing, double metresPerUnit,
                        const std::function<bool(std::uint32_t)>& taken,
                        std::optional<double> curveTolerance,
                        const std::function<bool(double)>& progress);

} // namespace sonivera
