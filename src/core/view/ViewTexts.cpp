#include "core/view/ViewTexts.h"

#include <cstdio>
#include <vector>

namespace sonivera {

namespace {

// printf-style formatting into a string of whatever length the result needs.
template <class... Args> std::string Format(const char* format, Args... args) {
    char small[64];
    const int n = std::snprintf(small, sizeof small, format, args...);
    if (n < 0) {
        return {};
    }
    if (static_cast<std::size_t>(n) < sizeof small) {
        return std::string(small, static_cast<std::size_t>(n));
    }
    std::vector<char> big(static_cast<std::size_t>(n) + 1);
    std::snprintf(big.data(), big.size(), format, args...);
    return std::string(big.data(), static_cast<std::size_t>(n));
}

} // namespace

std::string FormatScaleText(int pixelsPerMetre) {
    return Format("Масштаб 1:%.04g", 30.0 / pixelsPerMetre);
}

std::string FormatPointerText(double x, double y) {
    return Format("x = %02.01f, y = %02.01f", x, y);
}

} // namespace sonivera
