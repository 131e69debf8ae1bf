#include "core/analysis/EffectFigures.h"

#include "core/analysis/DecayFit.h"
#include "core/analysis/SpeechTransmission.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sonivera {

namespace {

constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();
constexpr double kPlusInfinity = std::numeric_limits<double>::infinity();

// The just noticeable differences of the standard's annex: 1 dB for C50 and C80, 0.05 for D50.
// A ratio that the split of one bin could move by more is not resolved by the grouping time.
constexpr double kClarityJndDb = 1.0;
constexpr double kDefinitionJnd = 0.05;

std::optional<std::size_t> FirstWithEnergy(const std::vector<double>& energies) {
    for (std::size_t i = 0; i < energies.size(); ++i) {
        if (energies[i] > 0.0) {
            return i;
        }
    }
    return std::nullopt;
}

double ClarityDb(double early, double late) {
    if (!(late > 0.0)) {
        return early > 0.0 ? kPlusInfinity : std::numeric_limits<double>::quiet_NaN();
    }
    return early > 0.0 ? 10.0 * std::log10(early / late) : kMinusInfinity;
}

// The ratio's extremes that the bins allow. The bin the boundary splits may hold its energy on
// either side of it. And when the boundary lies less than two bins after time zero (2·g > b), the
// early energy is a bin or less, and where in the onset bin the sound that set time zero arrived
// decides the ratio: the boundary may then lie anywhere from `atBoundary` (b ms after the bin's
// start) to `atBoundaryLater` (b + g ms). The lowest value counts the split bin at b as late, the
// highest counts the one at `atBoundaryLater` as early. With a finer grouping time
// `atBoundaryLater` is `atBoundary`.
struct EnergyBounds {
    double lowEarly, lowLate, highEarly, highLate;
};

EnergyBounds Bounds(const EnergySplit& atBoundary, const EnergySplit& atBoundaryLater) {
    const double toLate = atBoundary.straddlingEarly;
    const double toEarly = atBoundaryLater.straddling - atBoundaryLater.straddlingEarly;
    return {std::max(0.0, atBoundary.early - toLate), atBoundary.late + toLate,
            atBoundaryLater.early + toEarly, std::max(0.0, atBoundaryLater.late - toEarly)};
}

// C50 or C80 at `boundaryMs`, marked when nothing comes after it or when where the boundary
// really lies could move it by more than a just noticeable difference.
MarkedValue Clarity(const EnergySplit& split, const EnergySplit& later, double boundaryMs) {
    MarkedValue c;
    if (!(split.late > 0.0)) {
        c.mark = {MarkReason::NothingBeyond, boundaryMs, 0.0};
        return c;
    }
    c.value = 10.0 * std::log10(split.early / split.late);
    const EnergyBounds b = Bounds(split, later);
    const double lowest = ClarityDb(b.lowEarly, b.lowLate);
    const double highest = ClarityDb(b.highEarly, b.highLate);
    if (!(highest - lowest <= kClarityJndDb)) {
        c.mark = {MarkReason::BoundaryUnresolved, lowest, highest};
    }
    return c;
}

MarkedValue Definition(const EnergySplit& split, const EnergySplit& later) {
    MarkedValue d;
    const double total = split.early + split.late;
    d.value = split.early / total;
    if (!(split.late > 0.0)) {
        d.mark = {MarkReason::NothingBeyond, 50.0, 0.0};
        return d;
    }
    const EnergyBounds b = Bounds(split, later);
    const double lowest = b.lowEarly / (b.lowEarly + b.lowLate);
    const double highest = b.highEarly / (b.highEarly + b.highLate);
    if (!(highest - lowest <= kDefinitionJnd)) {
        d.mark = {MarkReason::BoundaryUnresolved, lowest * 100.0, highest * 100.0};
    }
    return d;
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

std::optional<std::size_t> OnsetBin(std::span<const double> bins, const OnsetRule& rule) {
    const std::vector<double> energies = BinEnergies(bins);
    const auto first = FirstWithEnergy(energies);
    if (!first || rule.firstEnergy) {
        return first;
    }
    double peak = 0.0;
    for (const double e : energies) {
        peak = e > peak ? e : peak;
    }
    const double trigger =
        std::isfinite(rule.triggerDb) && rule.triggerDb > 0.0 ? rule.triggerDb : 0.0;
    const double threshold = peak * std::pow(10.0, -trigger / 10.0);
    for (std::size_t i = *first; i < energies.size(); ++i) {
        if (energies[i] > 0.0 && energies[i] >= threshold) {
            return i;
        }
    }
    return first; // unreachable: the peak itself meets the threshold
}

DecayCurve BackwardIntegral(std::span<const double> bins) {
    const auto first = FirstWithEnergy(BinEnergies(bins));
    return first ? BackwardIntegral(bins, *first) : DecayCurve{};
}

DecayCurve BackwardIntegral(std::span<const double> bins, std::size_t firstBin) {
    DecayCurve curve;
    if (firstBin >= bins.size()) {
        return curve;
    }
    const std::vector<double> energies = BinEnergies(bins.subspan(firstBin));
    const std::size_t count = energies.size();
    // Remaining energy from the end backwards, so small tails are not lost in a large sum.
    std::vector<double> remaining(count + 1, 0.0);
    for (std::size_t k = count; k-- > 0;) {
        remaining[k] = remaining[k + 1] + energies[k];
    }
    if (!(remaining[0] > 0.0)) {
        return curve;
    }
    curve.firstBin = firstBin;
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
            split.straddling = energies[i];
            split.straddlingEarly = energies[i] * share;
        }
    }
    return split;
}

EffectFigures AnalyzeEffect(std::span<const double> bins, double groupTime,
                            const OnsetRule& onset) {
    EffectFigures figures;
    const std::vector<double> energies = BinEnergies(bins);
    figures.firstBin = FirstWithEnergy(energies);
    if (!figures.firstBin) {
        return figures;
    }
    const std::size_t first = *figures.firstBin;
    std::size_t peak = first;
    for (std::size_t i = first; i < energies.size(); ++i) {
        if (energies[i] > energies[peak]) {
            peak = i;
        }
    }
    const std::size_t zero = *OnsetBin(bins, onset);
    double total = 0.0;
    double weighted = 0.0;
    for (std::size_t i = zero; i < energies.size(); ++i) {
        total += energies[i];
        weighted += energies[i] * ((static_cast<double>(i - zero) + 0.5) * groupTime);
    }
    figures.onsetBin = zero;
    figures.peakBin = peak;
    figures.firstArrivalMs = static_cast<double>(first) * groupTime;
    figures.onsetMs = static_cast<double>(zero) * groupTime;
    figures.peakMs = static_cast<double>(peak) * groupTime;
    figures.peakValue = bins[peak];

    const ContinuousDecay curve(std::span<const double>(energies).subspan(zero), groupTime);
    figures.edt = FitDecay(curve, 0.0, -10.0, false);
    figures.t20 = FitDecay(curve, -5.0, -25.0, true);
    figures.t30 = FitDecay(curve, -5.0, -35.0, true);
    if (figures.t20.seconds && figures.t30.seconds) {
        figures.curvaturePercent = 100.0 * (*figures.t30.seconds / *figures.t20.seconds - 1.0);
    }

    const EnergySplit at50 = SplitEnergy(energies, zero, groupTime, 50.0);
    const EnergySplit at80 = SplitEnergy(energies, zero, groupTime, 80.0);
    const auto later = [&](const EnergySplit& at, double boundaryMs) {
        return 2.0 * groupTime > boundaryMs
                   ? SplitEnergy(energies, zero, groupTime, boundaryMs + groupTime)
                   : at;
    };
    const EnergySplit after50 = later(at50, 50.0);
    const EnergySplit after80 = later(at80, 80.0);
    figures.c50Db = Clarity(at50, after50, 50.0);
    figures.c80Db = Clarity(at80, after80, 80.0);
    figures.d50 = Definition(at50, after50);
    figures.centreTimeMs.value = weighted / total;
    if (const auto sti = SpeechTransmissionOf(bins, zero, groupTime)) {
        figures.sti = sti->index;
    }
    return figures;
}

} // namespace sonivera
