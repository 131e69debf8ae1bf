#include "core/model/PixelMath.h"

#include <cmath>

namespace sonivera {

int ToPixel(double scale, double metres) {
    const double p = scale * metres;
    if (std::isnan(p)) {
        return 0;
    }
    if (p >= static_cast<double>(kPixelLimit)) {
        return kPixelLimit;
    }
    if (p <= -static_cast<double>(kPixelLimit)) {
        return -kPixelLimit;
    }
    return static_cast<int>(std::trunc(p));
}

} // namespace sonivera
