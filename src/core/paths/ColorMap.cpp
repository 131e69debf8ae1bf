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

RgbColor Diverging(double t) {
    // Sampled from a blue–white–red map of even lightness steps; linear in between.
    static constexpr std::uint8_t kDiverging[9][3] = {
        {5, 48, 97},     {33, 102, 172}, {67, 147, 195}, {146, 197, 222}, {247, 247, 247},
        {244, 165, 130}, {214, 96, 77},  {178, 24, 43},  {103, 0, 31},
    };
    if (!(t >= 0.0 && t <= 1.0)) {
        t = std::isnan(t) ? 0.5 : (t < 0.0 ? 0.0 : 1.0);
    }
    const double at = t * 8.0;
    int i = static_cast<int>(at);
    if (i > 7) {
        i = 7;
    }
    const double f = at - i;
    const auto* a = kDiverging[i];
    const auto* b = kDiverging[i + 1];
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
