#include "cli/NumberText.h"

#include <charconv>

namespace sonivera {

std::string RoundTripText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace sonivera
