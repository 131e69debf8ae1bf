#include "core/paths/ColorMap.h"

#include <cmath>
#include <cstdint>

namespace sonivera {

namespace {

// Viridis sampled at t = 0, 1/8, …, 1; linear interpolation in between.
constexpr std::uint8_t kStops[9][3] = {
    {68, 1, 84},    {71, 44, 122}, {59, 81, 139},  {44, 113, 142}, {33, 144, 141},
    {39, 173, 129}, {92, 200, 99}, {170, 220, 50}, {253, 231, 37},
};

std::uint8_t Channel(RgbColor c, int shift) {
    return static_cast<std::uint8_t>((c >> shift) & 0xFFu);
}

std::uint8_t Mix(double a, double b, double f) {
    return static_cast<std::uint8_t>(std::lround(a + (b - a) * f));
}

} // namespace

RgbColor Viridis(double t) {
    if (!(t > 0.0)) {
        t = 0.0;
    }
    if (t > 1.0) {
        t = 1.0;
    }
    const double at = t * 8.0;
    int i = static_cast<int>(at);
    if (i > 7) {
        i = 7;
    }
    const double f = at - i;
    const auto* a = kStops[i];
    const auto* b = kStops[i + 1];
    return MakeRgb(Mix(a[0], b[0], f), Mix(a[1], b[1], f), Mix(a[2], b[2], f));
}

RgbColor OverWhite(RgbColor c, double opacity) {
    if (!(opacity > 0.0)) {
        opacity = 0.0;
    }
    if (opacity > 1.0) {
        opacity = 1.0;
    }
    return MakeRgb(Mix(255.0, Channel(c, 0), opacity), Mix(255.0, Channel(c, 8), opacity),
                   Mix(255.0, Channel(c, 16), opacity));
}

} // namespace sonivera
