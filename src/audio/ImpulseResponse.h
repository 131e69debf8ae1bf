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

// A response already placed at its rate (the fine response of a calculation) as float samples,
// ending at its last sample that is not 0 (at least one sample). Throws AudioError when a sample
// is not finite or too large for a float, or there are more than kMaxSamples.
std::vector<float> ImpulseResponseFromSamples(std::span<const double> samples);

// Moves every sample of a response made at `fromRate` to the sample nearest its time at `toRate`,
// round(n · toRate / fromRate), adding those that meet. Each echo stays within half a sample of
// the target rate of where the finer placement put it. Throws AudioError for rates outside
// [kMinSampleRate, kMaxSampleRate] or a result longer than kMaxSamples.
std::vector<float> PlaceAtRate(std::span<const float> response, int fromRate, int toRate);

// What a response can be made from: an effect's bins with their grouping time and, when the
// calculation kept it, the same echoes at their own delays at `fineRate` (`fine`, sample 0 at
// delay 0).
struct EffectResponseSource {
    std::vector<double> bins;
    double groupTime = 0.0;
    std::vector<double> fine;
    int fineRate = 0;
};

// The response at `rate`: the fine one placed at that rate when there is one, else the bins
// (ImpulseResponseFromBins). Throws AudioError as those do.
std::vector<float> ImpulseResponseAtRate(const EffectResponseSource& source, int rate);

// The lowest sample rate at which bins of this grouping time fall on distinct samples: one sample
// per grouping time, ceil(1000 / g) hertz, at least 1.
long long LowestDistinctRate(double groupTimeMs);

} // namespace sonivera
