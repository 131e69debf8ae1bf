#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace sonivera {

// The room-acoustic reading of an effect, derived from its bins alone.
//
// Conventions (the README repeats them for users):
//  - The energy of a bin is the square of its value.
//  - Bin i covers the delays [i·g, (i+1)·g) ms, g the grouping width the effect was computed with;
//    its energy is taken as spread evenly over that width.
//  - Times are measured from the start of the first bin with non-zero energy (the direct sound).
//  - A boundary such as 50 ms that falls inside a bin splits that bin's energy in proportion to
//    the part of its width on either side; the centre time places each bin's energy at its middle.
//  - The decay curve is the backward integral of the energies (the energy still to come), in dB
//    relative to the total, sampled at bin starts. EDT, T20 and T30 are −60 dB ÷ the slope of the
//    least-squares line through the samples between 0 and −10, −5 and −25, −5 and −35 dB.
//  - A figure whose range the decay curve does not reach (no sample at or below the lower level,
//    or fewer than two samples in the range), or whose ratio has nothing below it (C50 when no
//    energy comes after 50 ms), is not available: the optional is empty.

// The energies: the square of each bin.
std::vector<double> BinEnergies(std::span<const double> bins);

// The echogram in dB: each bin's energy relative to the largest, 10·log10(e / e_max). Bins of zero
// energy (and every bin of an effect without energy) give −infinity.
std::vector<double> EchogramDb(std::span<const double> bins);

// The backward-integrated decay curve from the first bin with energy: levels[k] is the energy
// from k·g ms after the direct sound onwards relative to the total, in dB, for k = 0 .. n − first
// (the last sample, after the last bin, is −infinity; so is every sample after the last energy).
// Empty when no bin has energy.
struct DecayCurve {
    std::size_t firstBin = 0;
    std::vector<double> levels;
};
DecayCurve BackwardIntegral(std::span<const double> bins);

struct EffectFigures {
    std::optional<std::size_t> firstBin; // the first bin with energy (the direct sound)
    std::optional<std::size_t> peakBin;  // the bin of the largest energy (the earliest of equals)
    double firstArrivalMs = 0.0;         // start of the first bin with energy
    double peakMs = 0.0;                 // start of the peak bin
    double peakValue = 0.0;              // the peak bin's value
    std::optional<double> edtSeconds;
    std::optional<double> t20Seconds;
    std::optional<double> t30Seconds;
    std::optional<double> c50Db;
    std::optional<double> c80Db;
    std::optional<double> d50;          // fraction of the energy in the first 50 ms, 0..1
    std::optional<double> centreTimeMs; // energy-weighted mean time after the direct sound
};

// Every figure of the effect. groupTime must be finite and above 0.
EffectFigures AnalyzeEffect(std::span<const double> bins, double groupTime);

// The energy before and after `boundaryMs` after the direct sound (bin `firstBin`), the bin the
// boundary falls into split in proportion (exposed for the tests of that choice). Each side is
// summed on its own, so a side without energy is exactly 0.
struct EnergySplit {
    double early = 0.0;
    double late = 0.0;
};
EnergySplit SplitEnergy(std::span<const double> energies, std::size_t firstBin, double groupTime,
                        double boundaryMs);

} // namespace sonivera
