#pragma once

#include <cstdint>
#include <vector>

namespace sonivera {

// The largest fine response a calculation makes: 2^27 samples (1 GiB of doubles), a little over
// 46 minutes at 48 kHz.
constexpr std::int64_t kMaxFineResponseSamples = std::int64_t{1} << 27;

// A request to place every echo of a calculation at its own delay at a sample rate, beside the
// bins. Echo e of path length L metres goes to sample round(L · (1/300) · rate), the nearest
// sample to its delay (no fractional-delay filter, so an echo keeps its amplitude on one sample
// and summing the samples over a bin's span gives the bin back, echoes within half a sample of
// a bin's edge aside). The amplitudes are the ones the bins sum, added in the same order, and
// divided by the same factor when the effect is normalised.
struct FineResponseRequest {
    int rate = 48000;            // samples per second, 1 or more
    std::vector<double> samples; // filled: FineResponseLength samples, sample 0 at delay 0
};

// The number of samples of the fine response of a calculation: one past the sample of the stop
// time, round(stopTime / 1000 · rate) + 1. −1 when that is not a finite count (a stop time or rate
// that is not a finite positive number), or above kMaxFineResponseSamples.
std::int64_t FineResponseLength(double stopTimeMs, int rate);

// The sample an echo of path length `length` metres falls on at `rate`.
std::int64_t FineResponseSample(double length, int rate);

} // namespace sonivera
