#pragma once

#include "core/analysis/EffectFigures.h"

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace sonivera {

// The limits a reverberation figure must meet to be printed unmarked.
//  - At least four bin edges inside the fit range: the curve between bin edges is the even-spread
//    assumption, not data; with fewer than four data points a line's fit says nothing about
//    whether the decay is straight (two fix any line, three leave one residual). The measurement
//    standard sets no count, so this is our choice, tested at its boundary.
//  - A non-linearity ξ = 1000·(1 − r²) of at most 10 ‰ for T20 and T30, the standard's limit above
//    which a decay counts as curved. EDT measures the initial slope of a decay that is often
//    curved, so its ξ is reported and not marked.
//  - At least 10 dB between the fit range's lower end and the level at which the decay curve is cut
//    off (by the stop time, the end of the recorded echoes, or a floor), as the standard asks.
constexpr std::size_t kMinFitPoints = 4;
constexpr double kMaxNonLinearityPermille = 10.0;
constexpr double kTruncationRoomDb = 10.0;

// The decay curve of the model: the energy still to come from the onset, which falls linearly
// across each bin because a bin's energy is spread evenly over its width.
class ContinuousDecay {
public:
    // `energies` from the onset bin on; groupTime in ms.
    ContinuousDecay(std::span<const double> energies, double groupTime);

    bool Empty() const { return !(m_remaining.front() > 0.0); }
    // The level at `ms` after the onset relative to the total, in dB (−inf once nothing remains).
    double LevelAt(double ms) const;
    // The first time at which the level is `db` or lower (db ≤ 0); none when it never is.
    std::optional<double> TimeAtLevel(double db) const;
    // Whether the curve reaches `db` at a bin edge before its last bin with energy (a range whose
    // lower level is met only inside the last bin is no decay at all: the curve falls to −inf
    // there by construction).
    bool ReachesBeforeEnd(double db) const;
    // The level at which the decay is cut off: the energy density of the last tenth of the
    // recorded decay (at least one bin, ending at the last bin with energy), extended by an
    // exponential decay with time constant `tauMs`, relative to the total. −inf without energy.
    double CutOffLevel(double tauMs) const;
    double GroupTime() const { return m_groupTime; }
    std::size_t BinCount() const { return m_energies.size(); }

private:
    std::vector<double> m_energies;
    std::vector<double> m_remaining; // at the bin edges k·g, k = 0 .. n
    double m_groupTime;
    double m_tailDensity = 0.0; // energy per ms at the end of the recorded decay
};

// EDT/T20/T30: the least-squares line through the continuous curve between `high` and `low` dB
// (evaluated at evenly spaced times across the range), with its points, correlation,
// non-linearity and mark. `markNonLinear` says whether ξ above the limit marks the figure.
DecayFigure FitDecay(const ContinuousDecay& curve, double high, double low, bool markNonLinear);

} // namespace sonivera
