#pragma once

namespace sonivera {

// Converts metres to integer pixels: scale × metres truncated toward zero. Values that would not
// fit comfortably in an int (far-away objects, huge values from a file) are saturated, and NaN
// becomes 0, so the callers' further pixel arithmetic (± a few dozen pixels) cannot overflow.
int ToPixel(double scale, double metres);

constexpr int kPixelLimit = 1000000000;

} // namespace sonivera
