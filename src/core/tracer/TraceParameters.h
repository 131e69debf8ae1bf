#pragma once

#include "core/model/CalcParameters.h"
#include "core/tracer/TraceConstants.h"

#include <cmath>
#include <cstdint>

namespace sonivera {

struct SceneSettings;

// A chain of this many legs from the listener ends there: its last node still records its
// echoes but gets no children. Without it, legs of length 0 between touching mirrors would go on
// for ever.
constexpr int kMaxLegs = 10000;

// The largest bin count a calculation accepts.
constexpr std::int64_t kMaxBinCount = 10000000;

// The parameters of one calculation: the scene's, checked, and what is derived from them.
struct TraceParameters {
    CalcParameters calc;
    std::int32_t binCount = 0; // ceil(stopTime ÷ groupTime)
    double stopDistance = 0.0; // m: stopTime × 0.3
};

// Checks the scene's parameters and derives those of a calculation. Throws EffectParameterError
// naming the field when a value would make the calculation unsafe: the needs of the parameter
// table (a ray count not above 0, a grouping width not finite or not above 0, a stop time not
// finite or below 0; checked in that order), or more than kMaxBinCount bins.
TraceParameters MakeTraceParameters(const SceneSettings& scene);

// The bin of an echo that travelled `length` metres: floor((delay ÷ g) × 1000) with the delay in
// seconds; an index that rounding pushes to the bin count or beyond goes into the last bin.
// Needs binCount ≥ 1 and a length that passed the stop-distance test.
inline std::int32_t BinIndex(double length, double groupTime, std::int32_t binCount) {
    const double delay = length * kSecondsPerMetre;
    const double index = std::floor((delay / groupTime) * 1000.0);
    if (index >= static_cast<double>(binCount)) {
        return binCount - 1;
    }
    if (!(index >= 0.0)) {
        return 0;
    }
    return static_cast<std::int32_t>(index);
}

} // namespace sonivera
