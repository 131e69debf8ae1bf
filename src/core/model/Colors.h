#pragma once

#include <cstdint>

namespace sonivera {

// 32-bit RGB colour with red in the lowest byte, then green, then blue.
using RgbColor = std::uint32_t;

constexpr RgbColor MakeRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<RgbColor>(r) | (static_cast<RgbColor>(g) << 8) |
           (static_cast<RgbColor>(b) << 16);
}

constexpr RgbColor kColorBlack = 0;
constexpr RgbColor kColorSelected = 255; // pure red

} // namespace sonivera
