#include "core/tracer/FineResponse.h"

#include "core/tracer/TraceConstants.h"

#include <cmath>

namespace sonivera {

std::int64_t FineResponseLength(double stopTimeMs, int rate) {
    if (!(rate > 0) || !std::isfinite(stopTimeMs) || stopTimeMs < 0.0) {
        return -1;
    }
    const double last = std::round(stopTimeMs / 1000.0 * static_cast<double>(rate));
    if (!(last + 1.0 <= static_cast<double>(kMaxFineResponseSamples))) {
        return -1;
    }
    return static_cast<std::int64_t>(last) + 1;
}

std::int64_t FineResponseSample(double length, int rate) {
    return static_cast<std::int64_t>(
        std::llround(length * kSecondsPerMetre * static_cast<double>(rate)));
}

} // namespace sonivera
