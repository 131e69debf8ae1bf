#include "audio/Convolution.h"

#include "audio/AudioError.h"
#include "audio/AudioLimits.h"

#include <kiss_fftr.h>

#include <cmath>
#include <memory>
#include <vector>

namespace sonivera {

namespace {

struct KissFreer {
    void operator()(kiss_fftr_state* p) const { kiss_fftr_free(p); }
};
using FftrPtr = std::unique_ptr<kiss_fftr_state, KissFreer>;

FftrPtr MakeFft(std::size_t n, bool inverse) {
    FftrPtr cfg(kiss_fftr_alloc(static_cast<int>(n), inverse ? 1 : 0, nullptr, nullptr));
    if (!cfg)
        throw AudioError("Not enough memory for the FFT.");
    return cfg;
}

// The largest FFT the convolution uses: 2^22 points (16 MiB per float buffer).
constexpr std::size_t kMaxFftLength = std::size_t{1} << 22;

} // namespace

std::size_t ChooseFftLength(std::size_t responseLength, std::size_t signalLength) {
    const std::size_t total = signalLength + responseLength - 1;
    std::size_t best = 0;
    double bestCost = 0.0;
    // From the smallest length that takes two new samples per block up to one block for all.
    std::size_t n = 2;
    while (n < responseLength + 1)
        n *= 2;
    for (; n <= kMaxFftLength; n *= 2) {
        const double block = static_cast<double>(n - responseLength + 1);
        const double blocks = std::ceil(static_cast<double>(signalLength) / block);
        const double cost = blocks * static_cast<double>(n) * std::log2(static_cast<double>(n));
        if (best == 0 || cost < bestCost) {
            best = n;
            bestCost = cost;
        }
        if (n >= total)
            break;
    }
    if (best == 0)
        throw AudioError("The impulse response is too long for the convolution.");
    return best;
}

AudioBuffer Convolve(const AudioBuffer& dry, std::span<const float> response,
                     const std::atomic<bool>* cancel) {
    AudioBuffer wet;
    wet.rate = dry.rate;
    wet.channels = dry.channels;
    const std::size_t frames = dry.Frames();
    const std::size_t m = response.size();
    if (frames == 0 || m == 0 || dry.channels <= 0)
        return wet;
    const auto channels = static_cast<std::size_t>(dry.channels);
    const std::size_t outFrames = frames + m - 1;
    if (outFrames > kMaxSamples / channels)
        throw AudioError("The result would be too long (more than " + std::to_string(kMaxSamples) +
                         " samples).");

    const std::size_t n = ChooseFftLength(m, frames);
    const std::size_t block = n - m + 1;
    const std::size_t bins = n / 2 + 1;
    FftrPtr forward = MakeFft(n, false);
    FftrPtr inverse = MakeFft(n, true);

    // The response's spectrum, with the inverse transform's 1/n folded in.
    std::vector<float> time(n, 0.0f);
    std::vector<kiss_fft_cpx> spectrum(bins);
    std::vector<kiss_fft_cpx> responseSpectrum(bins);
    std::copy(response.begin(), response.end(), time.begin());
    kiss_fftr(forward.get(), time.data(), responseSpectrum.data());
    const float scale = 1.0f / static_cast<float>(n);
    for (kiss_fft_cpx& c : responseSpectrum) {
        c.r *= scale;
        c.i *= scale;
    }

    wet.samples.assign(outFrames * channels, 0.0f);
    for (std::size_t ch = 0; ch < channels; ++ch) {
        for (std::size_t start = 0; start < frames; start += block) {
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
                throw ConvolutionCancelled();
            const std::size_t count = std::min(block, frames - start);
            for (std::size_t k = 0; k < count; ++k)
                time[k] = dry.samples[(start + k) * channels + ch];
            std::fill(time.begin() + static_cast<std::ptrdiff_t>(count), time.end(), 0.0f);
            kiss_fftr(forward.get(), time.data(), spectrum.data());
            for (std::size_t k = 0; k < bins; ++k) {
                const kiss_fft_cpx a = spectrum[k];
                const kiss_fft_cpx b = responseSpectrum[k];
                spectrum[k].r = a.r * b.r - a.i * b.i;
                spectrum[k].i = a.r * b.i + a.i * b.r;
            }
            kiss_fftri(inverse.get(), spectrum.data(), time.data());
            const std::size_t end = std::min(n, count + m - 1);
            for (std::size_t k = 0; k < end; ++k)
                wet.samples[(start + k) * channels + ch] += time[k];
        }
    }
    return wet;
}

} // namespace sonivera
