#pragma once

#include "core/plan/RectUnion.h"

namespace sonivera {

// Where the listener goes in an imported plan: the free point inside the largest room (a free
// region the outside does not reach), the one farthest from its walls, on a raster of at most
// 256 cells along the longer side. Without a closed room, the free point farthest from every
// rectangle. `area` is the room's (0 without one). The point lies in no rectangle.
struct FreeSpot {
    double x = 0.0, y = 0.0;
    double area = 0.0;
};

FreeSpot FindFreeSpot(const std::vector<PlanRect>& rects, double width, double height);

} // namespace sonivera
