#pragma once

#include <cstdint>
#include <vector>

namespace sonivera {

// An axis-parallel rectangle of the plan, [x0, x1] × [y0, y1], with the index of what it is made
// of (a lower index wins where two overlap).
struct PlanRect {
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
    std::uint32_t material = 0;
};

// The union of the rectangles as rectangles that do not overlap (they may touch), each with the
// material of the lowest index that covers it: slabs between consecutive y coordinates are swept
// and equal pieces of consecutive slabs joined. Every coordinate of the result is one of the
// input's, so touching pieces touch exactly. Empty rectangles are left out. Time grows with the
// number of slabs times the rectangles active in each, memory with the input and output.
std::vector<PlanRect> UnionOfRects(const std::vector<PlanRect>& rects);

} // namespace sonivera
