#include "core/analysis/DecayFit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sonivera {

namespace {

constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();
constexpr std::size_t kMinSamples = 64;
constexpr std::size_t kMaxSamples = 16384;
constexpr std::size_t kSamplesPerBin = 8;

} // namespace

ContinuousDecay::ContinuousDecay(std::span<const double> energies, double groupTime)
    : m_energies(energies.begin(), energies.end()), m_remaining(energies.size() + 1, 0.0),
      m_groupTime(groupTime) {
    // From the end backwards, so small tails are not lost in a large sum.
    for (std::size_t k = m_energies.size(); k-- > 0;) {
        m_remaining[k] = m_remaining[k + 1] + m_energies[k];
    }
    std::size_t last = m_energies.size();
    while (last > 0 && !(m_energies[last - 1] > 0.0)) {
        --last;
    }
    if (last == 0) {
        return;
    }
    const std::size_t tail = std::max<std::size_t>(1, (last + 9) / 10);
    double sum = 0.0;
    for (std::size_t k = last - tail; k < last; ++k) {
        sum += m_energies[k];
    }
    m_tailDensity = sum / static_cast<double>(tail) / m_groupTime;
}

double ContinuousDecay::LevelAt(double ms) const {
    if (Empty() || !(ms >= 0.0)) {
        return ms < 0.0 ? 0.0 : kMinusInfinity;
    }
    const double position = ms / m_groupTime;
    const auto k = static_cast<std::size_t>(position);
    if (k >= m_energies.size()) {
        return kMinusInfinity;
    }
    const double remaining = m_remaining[k] - m_energies[k] * (position - static_cast<double>(k));
    if (!(remaining > 0.0)) {
        return kMinusInfinity;
    }
    return 10.0 * std::log10(remaining / m_remaining[0]);
}

std::optional<double> ContinuousDecay::TimeAtLevel(double db) const {
    if (Empty()) {
        return std::nullopt;
    }
    const double target = m_remaining[0] * std::pow(10.0, db / 10.0);
    for (std::size_t k = 0; k < m_energies.size(); ++k) {
        if (m_remaining[k] <= target) {
            return static_cast<double>(k) * m_groupTime;
        }
        if (m_remaining[k + 1] <= target && m_energies[k] > 0.0) {
            const double share = std::clamp((m_remaining[k] - target) / m_energies[k], 0.0, 1.0);
            return (static_cast<double>(k) + share) * m_groupTime;
        }
    }
    return std::nullopt;
}

bool ContinuousDecay::ReachesBeforeEnd(double db) const {
    if (Empty()) {
        return false;
    }
    const double target = m_remaining[0] * std::pow(10.0, db / 10.0);
    for (std::size_t k = 0; k < m_energies.size(); ++k) {
        if (m_remaining[k] > 0.0 && m_remaining[k] <= target) {
            return true;
        }
    }
    return false;
}

double ContinuousDecay::CutOffLevel(double tauMs) const {
    if (Empty() || !(m_tailDensity > 0.0) || !(tauMs > 0.0)) {
        return kMinusInfinity;
    }
    return 10.0 * std::log10(m_tailDensity * tauMs / m_remaining[0]);
}

DecayFigure FitDecay(const ContinuousDecay& curve, double high, double low, bool markNonLinear) {
    DecayFigure figure;
    if (!curve.ReachesBeforeEnd(low)) {
        return figure;
    }
    const auto start = curve.TimeAtLevel(high);
    const auto end = curve.TimeAtLevel(low);
    if (!start || !end || !(*end > *start)) {
        return figure;
    }
    figure.rangeStartMs = *start;
    figure.rangeEndMs = *end;
    const double g = curve.GroupTime();
    for (auto k = static_cast<std::size_t>(std::ceil(*start / g));
         static_cast<double>(k) * g <= *end; ++k) {
        ++figure.points;
    }

    // Evenly spaced samples of the continuous curve across the range, ends included.
    const double binsSpanned = (*end - *start) / g;
    const std::size_t samples = std::clamp<std::size_t>(
        static_cast<std::size_t>(binsSpanned * static_cast<double>(kSamplesPerBin)), kMinSamples,
        kMaxSamples);
    std::vector<double> t(samples), level(samples);
    double meanT = 0.0, meanL = 0.0;
    for (std::size_t j = 0; j < samples; ++j) {
        t[j] = *start + (*end - *start) * static_cast<double>(j) / static_cast<double>(samples - 1);
        level[j] = curve.LevelAt(t[j]);
        if (!std::isfinite(level[j])) {
            level[j] = low; // the range's end may fall exactly where nothing remains
        }
        meanT += t[j];
        meanL += level[j];
    }
    meanT /= static_cast<double>(samples);
    meanL /= static_cast<double>(samples);
    double stt = 0.0, sll = 0.0, stl = 0.0;
    for (std::size_t j = 0; j < samples; ++j) {
        const double dt = t[j] - meanT;
        const double dl = level[j] - meanL;
        stt += dt * dt;
        sll += dl * dl;
        stl += dt * dl;
    }
    const double slope = stl / stt; // dB per ms
    if (!(stt > 0.0) || !(slope < 0.0) || !(sll > 0.0)) {
        return figure;
    }
    figure.seconds = (-60.0 / slope) / 1000.0;
    figure.correlation = stl / std::sqrt(stt * sll);
    figure.nonLinearityPermille =
        std::max(0.0, 1000.0 * (1.0 - figure.correlation * figure.correlation));

    const double tauMs = -10.0 / (std::log(10.0) * slope);
    const double cutOff = curve.CutOffLevel(tauMs);
    if (figure.points < kMinFitPoints) {
        figure.mark = {MarkReason::FewPoints, static_cast<double>(figure.points),
                       static_cast<double>(kMinFitPoints)};
    } else if (low - kTruncationRoomDb < cutOff) {
        figure.mark = {MarkReason::Truncated, low, cutOff};
    } else if (markNonLinear && figure.nonLinearityPermille > kMaxNonLinearityPermille) {
        figure.mark = {MarkReason::NonLinear, figure.nonLinearityPermille,
                       kMaxNonLinearityPermille};
    }
    return figure;
}

} // namespace sonivera
