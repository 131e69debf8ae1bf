#include "audio/ImpulseResponse.h"

#include "audio/AudioError.h"
#include "audio/AudioLimits.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace sonivera {

namespace {

std::string Number(double value) {
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

} // namespace

long long LowestDistinctRate(double groupTimeMs) {
    double rate = std::ceil(1000.0 / groupTimeMs);
    return rate < 1.0 ? 1 : static_cast<long long>(rate);
}

std::vector<float> ImpulseResponseFromBins(std::span<const double> bins, double groupTimeMs,
                                           int rate) {
    if (!IsSupportedRate(rate))
        throw AudioError("The sample rate " + std::to_string(rate) + " Hz is outside " +
                         std::to_string(kMinSampleRate) + "–" + std::to_string(kMaxSampleRate) +
                         " Hz.");
    if (!std::isfinite(groupTimeMs) || groupTimeMs <= 0.0)
        throw AudioError("The grouping time must be a positive number of milliseconds.");
    if (bins.empty())
        throw AudioError("The effect has no bins.");

    // The sample of every bin, in the order the formula gives: i·g, then ·rate, then /1000.
    auto sampleOf = [&](std::size_t i) {
        return std::round(static_cast<double>(i) * groupTimeMs * static_cast<double>(rate) /
                          1000.0);
    };
    double last = sampleOf(bins.size() - 1);
    if (!(last < static_cast<double>(kMaxSamples)))
        throw AudioError("The impulse response would be too long (" + Number(last + 1.0) +
                         " samples; at most " + std::to_string(kMaxSamples) + ").");

    std::vector<float> response(static_cast<std::size_t>(last) + 1, 0.0f);
    double previous = -1.0;
    for (std::size_t i = 0; i < bins.size(); ++i) {
        double value = bins[i];
        if (!std::isfinite(value))
            throw AudioError("Bin " + std::to_string(i) + " of the effect is not a finite number.");
        if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
            throw AudioError("Bin " + std::to_string(i) +
                             " of the effect is too large for a float sample.");
        double sample = sampleOf(i);
        if (sample <= previous) {
            long long lowest = LowestDistinctRate(groupTimeMs);
            std::string advice = lowest <= kMaxSampleRate
                                     ? "use a rate of at least " + std::to_string(lowest) + " Hz."
                                     : "no supported rate is high enough.";
            throw AudioError("At " + std::to_string(rate) + " Hz two bins of " +
                             Number(groupTimeMs) + " ms would share a sample; " + advice);
        }
        previous = sample;
        response[static_cast<std::size_t>(sample)] = static_cast<float>(value);
    }
    return response;
}

std::vector<float> ImpulseResponseFromSamples(std::span<const double> samples) {
    std::size_t end = samples.size();
    while (end > 1 && samples[end - 1] == 0.0)
        --end;
    if (end > kMaxSamples)
        throw AudioError("The impulse response would be too long (" + std::to_string(end) +
                         " samples; at most " + std::to_string(kMaxSamples) + ").");
    std::vector<float> response(std::max<std::size_t>(end, 1), 0.0f);
    for (std::size_t n = 0; n < end; ++n) {
        const double value = samples[n];
        if (!std::isfinite(value))
            throw AudioError("Sample " + std::to_string(n) +
                             " of the response is not a finite number.");
        if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
            throw AudioError("Sample " + std::to_string(n) +
                             " of the response is too large for a float sample.");
        response[n] = static_cast<float>(value);
    }
    return response;
}

std::vector<float> PlaceAtRate(std::span<const float> response, int fromRate, int toRate) {
    for (const int rate : {fromRate, toRate})
        if (!IsSupportedRate(rate))
            throw AudioError("The sample rate " + std::to_string(rate) + " Hz is outside " +
                             std::to_string(kMinSampleRate) + "–" + std::to_string(kMaxSampleRate) +
                             " Hz.");
    if (fromRate == toRate)
        return std::vector<float>(response.begin(), response.end());
    const auto target = [&](std::size_t n) {
        return static_cast<std::size_t>(std::llround(
            static_cast<double>(n) * static_cast<double>(toRate) / static_cast<double>(fromRate)));
    };
    const std::size_t length = response.empty() ? 1 : target(response.size() - 1) + 1;
    if (length > kMaxSamples)
        throw AudioError("The impulse response would be too long (" + std::to_string(length) +
                         " samples; at most " + std::to_string(kMaxSamples) + ").");
    std::vector<double> placed(length, 0.0);
    for (std::size_t n = 0; n < response.size(); ++n)
        if (response[n] != 0.0f)
            placed[target(n)] += static_cast<double>(response[n]);
    return std::vector<float>(placed.begin(), placed.end());
}

std::vector<float> ImpulseResponseAtRate(const EffectResponseSource& source, int rate) {
    if (source.fine.empty())
        return ImpulseResponseFromBins(source.bins, source.groupTime, rate);
    return PlaceAtRate(ImpulseResponseFromSamples(source.fine), source.fineRate, rate);
}

} // namespace sonivera
