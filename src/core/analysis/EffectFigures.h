#pragma once

#include "core/analysis/FigureMark.h"

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
//  - Time zero is the start of the onset bin: by default the first bin whose energy is within
//    kDefaultOnsetDb of the peak bin's (a level trigger, as room-acoustic measurements start an
//    impulse response), or the first bin with any energy. Energy before the onset is left out.
//  - A boundary such as 50 ms that falls inside a bin splits that bin's energy in proportion to
//    the part of its width on either side; the centre time places each bin's energy at its middle.
//  - The decay curve is the backward integral of the energies from the onset (the energy still to
//    come), in dB relative to the total. Since a bin's energy is spread evenly, the remaining
//    energy falls linearly across each bin: the curve is known between bin starts, not only at
//    them, and EDT, T20 and T30 are −60 dB ÷ the slope of the least-squares line through that
//    continuous curve between 0 and −10, −5 and −25, −5 and −35 dB (DecayFit.h).
//  - A figure whose range the decay curve does not reach before its last bin, or whose ratio has
//    nothing below it (C50 when no energy comes after 50 ms), is not available: the optional is
//    empty. A figure that has a value but too thin a basis carries a mark (FigureMark.h).

// The default level trigger of the onset: the first bin within 20 dB of the peak bin.
constexpr double kDefaultOnsetDb = 20.0;

// How time zero is chosen.
struct OnsetRule {
    bool firstEnergy = false;           // the first bin with any energy
    double triggerDb = kDefaultOnsetDb; // else the first bin within this many dB of the peak
};

// The energies: the square of each bin.
std::vector<double> BinEnergies(std::span<const double> bins);

// The echogram in dB: each bin's energy relative to the largest, 10·log10(e / e_max). Bins of zero
// energy (and every bin of an effect without energy) give −infinity.
std::vector<double> EchogramDb(std::span<const double> bins);

// The onset bin under a rule: none when no bin has energy. A trigger that is not a finite number
// of at least 0 dB is treated as 0 dB (the peak bin).
std::optional<std::size_t> OnsetBin(std::span<const double> bins, const OnsetRule& rule);

// The backward-integrated decay curve from `firstBin`: levels[k] is the energy from k·g ms after
// that bin onwards relative to the total, in dB, for k = 0 .. n − firstBin (the last sample,
// after the last bin, is −infinity; so is every sample after the last energy). Empty when no bin
// from `firstBin` on has energy. The one-argument form starts at the first bin with energy.
struct DecayCurve {
    std::size_t firstBin = 0;
    std::vector<double> levels;
};
DecayCurve BackwardIntegral(std::span<const double> bins);
DecayCurve BackwardIntegral(std::span<const double> bins, std::size_t firstBin);

// One reverberation figure and how it was obtained.
struct DecayFigure {
    std::optional<double> seconds;
    std::size_t points = 0;            // bin edges inside the fit range (the data the curve has)
    double correlation = 0.0;          // r of the least-squares line (negative for a decay)
    double nonLinearityPermille = 0.0; // ξ = 1000·(1 − r²)
    double rangeStartMs = 0.0;         // where the curve crosses the range's upper and lower level
    double rangeEndMs = 0.0;
    FigureMark mark;
};

// A ratio or time figure with its mark.
struct MarkedValue {
    std::optional<double> value;
    FigureMark mark;
};

struct EffectFigures {
    std::optional<std::size_t> firstBin; // the first bin with energy
    std::optional<std::size_t> onsetBin; // time zero (OnsetRule)
    std::optional<std::size_t> peakBin;  // the bin of the largest energy (the earliest of equals)
    double firstArrivalMs = 0.0;         // start of the first bin with energy
    double onsetMs = 0.0;                // start of the onset bin
    double peakMs = 0.0;                 // start of the peak bin
    double peakValue = 0.0;              // the peak bin's value
    double truncationDb = 0.0;           // the decay curve's cut-off or floor level (−inf: none)
    DecayFigure edt;
    DecayFigure t20;
    DecayFigure t30;
    std::optional<double> curvaturePercent; // 100·(T30/T20 − 1)
    MarkedValue c50Db;
    MarkedValue c80Db;
    MarkedValue d50;          // fraction of the energy in the first 50 ms, 0..1
    MarkedValue centreTimeMs; // energy-weighted mean time after the onset
    std::optional<double> sti; // speech transmission index from the onset (SpeechTransmission.h)
};

// Every figure of the effect. groupTime must be finite and above 0.
EffectFigures AnalyzeEffect(std::span<const double> bins, double groupTime,
                            const OnsetRule& onset = {});

// The energy before and after `boundaryMs` after the onset (bin `firstBin`), the bin the
// boundary falls into split in proportion (exposed for the tests of that choice). Each side is
// summed on its own, so a side without energy is exactly 0. `straddling` is the energy of the bin
// the boundary splits (0 when it falls on a bin edge or beyond the last bin).
struct EnergySplit {
    double early = 0.0;
    double late = 0.0;
    double straddling = 0.0;
    double straddlingEarly = 0.0; // the part of it counted as early
};
EnergySplit SplitEnergy(std::span<const double> energies, std::size_t firstBin, double groupTime,
                        double boundaryMs);

} // namespace sonivera
