#pragma once

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

// The settings one calculation reads, checked and derived once.
struct TraceParameters {
    std::int32_t rayCount = 0;
    std::int32_t binCount = 0;
    double groupTime = 0.0;    // ms
    double stopDistance = 0.0; // m: stopTime × 0.3
    double stopAmplitude = 0.0;
    double passAbsorptionLimit = 0.0;
    double mediumAbsorption = 0.0;
    bool noTransmission = false;
    bool noReflection = false;
    bool normalize = false;
};

// Checks the scene's settings and derives the parameters of a calculation. Throws
// EffectParameterError naming the field when a value would make the calculation unsafe: a ray
// count not above 0, a grouping width not finite or not above 0, a stop time not finite or below 0,
// or more than kMaxBinCount bins.
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
