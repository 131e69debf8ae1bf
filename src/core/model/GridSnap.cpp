#include "core/model/GridSnap.h"

#include <cmath>

namespace sonivera {

double SnapToGrid(double v, double g) {
    const double c = std::floor(v / g) * g;
    if (v - c > g * 0.5) {
        return c + g;
    }
    return c;
}

} // namespace sonivera
