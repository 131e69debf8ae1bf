#pragma once

#include <span>
#include <vector>

namespace sonivera {

// The effect as a sampled impulse response: bin i's value at sample round(i·g·rate/1000), g the
// grouping time in milliseconds, zeros elsewhere; the response ends with the last bin's sample.
//
// Throws AudioError when the rate is outside [kMinSampleRate, kMaxSampleRate], the grouping time
// is not a finite positive number, there are no bins, a bin is not finite or too large for a float
// sample, the response would exceed kMaxSamples, or the rate is so low for the grouping time that
// two bins would fall on the same sample (summing them would hide the effect's timing).
std::vector<float> ImpulseResponseFromBins(std::span<const double> bins, double groupTimeMs,
                                           int rate);

// The lowest sample rate at which bins of this grouping time fall on distinct samples: one sample
// per grouping time, ceil(1000 / g) hertz, at least 1.
long long LowestDistinctRate(double groupTimeMs);

} // namespace sonivera
