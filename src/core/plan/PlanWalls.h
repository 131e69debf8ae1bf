#pragma once

#include "core/plan/PlanFlatten.h"
#include "core/plan/RectUnion.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sonivera {

struct PlanWallOptions {
    double wallThickness = 0.2;
    double maxWallGap = 0.6;
    double maxColumn = 2.0;
    double toleranceDegrees = 0.5;
    std::optional<double> staircase;
};

struct PlanWalls {
    std::vector<PlanRect> rects; // may overlap; `material` is the shape's layer
    // What became of the shapes, by what and layer.
    std::map<std::pair<std::string, std::uint32_t>, std::size_t> taken;
    std::map<std::pair<std::string, std::uint32_t>, std::size_t> left;
};

// Walls and columns from the flattened shapes, in the drawing's axes (metres):
// - a line (or polyline edge) within the tolerance of an axis: where another such line runs
//   parallel to it at most maxWallGap away, the wall between the two (the two faces of one wall,
//   nearest pairs first); the short pieces of a face left at a junction with another wall are
//   filled to the same depth; what remains of a line is a wall of wallThickness centred on it and
//   half a thickness longer at each end, so corners close; a line lying on a wall already made
//   (a wall's end, a door's jamb) is part of that wall;
// - a polyline edge with a width: a wall of that width, half a width longer at each end;
// - a closed outline that is a rectangle of at most maxColumn on each side: a filled rectangle
//   (a column); a larger or other closed outline: its edges, as lines;
// - a SOLID or HATCH whose outline is axis-parallel: filled (rectangles of its inside);
// - slanted lines and curves: with a staircase step, small rectangles along them whose corners
//   stay within that step of the line (thickened by wallThickness); otherwise left out.
PlanWalls BuildPlanWalls(const FlatPlan& plan, const PlanWallOptions& options);

} // namespace sonivera
