#include "core/analysis/EffectFigures.h"

#include <cmath>
#include <limits>

namespace sonivera {

namespace {

constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();

std::optional<std::size_t> FirstWithEnergy(const std::vector<double>& energies) {
    for (std::size_t i = 0; i < energies.size(); ++i) {
        if (energies[i] > 0.0) {
            return i;
        }
    }
    return std::nullopt;
}

// −60 dB over the slope of the least-squares line through the decay samples within [low, high]
// dB, in seconds; none when the curve never reaches `low` or too few samples lie in the range.
std::optional<double> DecayTime(const DecayCurve& curve, double groupTime, double high,
                                double low) {
    bool reached = false;
    double n = 0.0, sumT = 0.0, sumL = 0.0, sumTT = 0.0, sumTL = 0.0;
    for (std::size_t k = 0; k < curve.levels.size(); ++k) {
        const double level = curve.levels[k];
        if (!std::isfinite(level)) {
            continue;
        }
        if (level <= low) {
            reached = true;
        }
        if (level <= high && level >= low) {
            const double t = static_cast<double>(k) * groupTime;
            n += 1.0;
            sumT += t;
            sumL += level;
            sumTT += t * t;
            sumTL += t * level;
        }
    }
    if (!reached || n < 2.0) {
        return std::nullopt;
    }
    const double denominator = n * sumTT - sumT * sumT;
    const double slope = (n * sumTL - sumT * sumL) / denominator; // dB per ms
    if (!(denominator > 0.0) || !(slope < 0.0)) {
        return std::nullopt;
    }
    return (-60.0 / slope) / 1000.0;
}

} // namespace

std::vector<double> BinEnergies(std::span<const double> bins) {
    std::vector<double> energies(bins.size());
    for (std::size_t i = 0; i < bins.size(); ++i) {
        energies[i] = bins[i] * bins[i];
    }
    return energies;
}

std::vector<double> EchogramDb(std::span<const double> bins) {
    const std::vector<double> energies = BinEnergies(bins);
    double peak = 0.0;
    for (const double e : energies) {
        peak = e > peak ? e : peak;
    }
    std::vector<double> levels(energies.size(), kMinusInfinity);
    if (peak > 0.0) {
        for (std::size_t i = 0; i < energies.size(); ++i) {
            if (energies[i] > 0.0) {
                levels[i] = 10.0 * std::log10(energies[i] / peak);
            }
        }
    }
    return levels;
}

DecayCurve BackwardIntegral(std::span<const double> bins) {
    const std::vector<double> energies = BinEnergies(bins);
    DecayCurve curve;
    const auto first = FirstWithEnergy(energies);
    if (!first) {
        return curve;
    }
    curve.firstBin = *first;
    const std::size_t count = energies.size() - *first;
    // Remaining energy from the end backwards, so small tails are not lost in a large sum.
    std::vector<double> remaining(count + 1, 0.0);
    for (std::size_t k = count; k-- > 0;) {
        remaining[k] = remaining[k + 1] + energies[*first + k];
    }
    curve.levels.assign(count + 1, kMinusInfinity);
    for (std::size_t k = 0; k <= count; ++k) {
        if (remaining[k] > 0.0) {
            curve.levels[k] = 10.0 * std::log10(remaining[k] / remaining[0]);
        }
    }
    return curve;
}

EnergySplit SplitEnergy(std::span<const double> energies, std::size_t firstBin, double groupTime,
                        double boundaryMs) {
    EnergySplit split;
    for (std::size_t i = firstBin; i < energies.size(); ++i) {
        const double start = static_cast<double>(i - firstBin) * groupTime;
        const double end = start + groupTime;
        if (end <= boundaryMs) {
            split.early += energies[i];
        } else if (start >= boundaryMs) {
            split.late += energies[i];
        } else {
            const double share = (boundaryMs - start) / groupTime;
            split.early += energies[i] * share;
            split.late += energies[i] * (1.0 - share);
        }
    }
    return split;
}

EffectFigures AnalyzeEffect(std::span<const double> bins, double groupTime) {
    EffectFigures figures;
    const std::vector<double> energies = BinEnergies(bins);
    figures.firstBin = FirstWithEnergy(energies);
    if (!figures.firstBin) {
        return figures;
    }
    const std::size_t first = *figures.firstBin;
    std::size_t peak = first;
    double total = 0.0;
    double weighted = 0.0;
    for (std::size_t i = first; i < energies.size(); ++i) {
        if (energies[i] > energies[peak]) {
            peak = i;
        }
        total += energies[i];
        weighted += energies[i] * ((static_cast<double>(i - first) + 0.5) * groupTime);
    }
    figures.peakBin = peak;
    figures.firstArrivalMs = static_cast<double>(first) * groupTime;
    figures.peakMs = static_cast<double>(peak) * groupTime;
    figures.peakValue = bins[peak];

    const DecayCurve curve = BackwardIntegral(bins);
    figures.edtSeconds = DecayTime(curve, groupTime, 0.0, -10.0);
    figures.t20Seconds = DecayTime(curve, groupTime, -5.0, -25.0);
    figures.t30Seconds = DecayTime(curve, groupTime, -5.0, -35.0);

    const EnergySplit at50 = SplitEnergy(energies, first, groupTime, 50.0);
    const EnergySplit at80 = SplitEnergy(energies, first, groupTime, 80.0);
    if (at50.late > 0.0) {
        figures.c50Db = 10.0 * std::log10(at50.early / at50.late);
    }
    if (at80.late > 0.0) {
        figures.c80Db = 10.0 * std::log10(at80.early / at80.late);
    }
    figures.d50 = at50.early / (at50.early + at50.late);
    figures.centreTimeMs = weighted / total;
    return figures;
}

} // namespace sonivera
