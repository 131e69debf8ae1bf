// sonivera_bench_comb RESPONSE.wav [PERIOD_HZ]: how deep a comb an impulse response carries.
//
// A response made from an effect file is a pulse train on the grid of the grouping time g, so its
// spectrum repeats every 1000/g Hz (100 Hz at 10 ms). The spectrum's power is folded onto that
// period: every frequency from 50 Hz to 10 kHz goes into one of 50 phase buckets by where it lies
// within its period, and each bucket's mean power is taken. A response without the comb has
// (nearly) the same mean power in every bucket; the comb shows as the spread between the loudest
// and the quietest bucket. Printed: the peak and the trough relative to the mean, and peak−trough,
// all in dB.
#include "audio/AudioFile.h"

#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s RESPONSE.wav [PERIOD_HZ]\n", argv[0]);
        return 2;
    }
    const double period = argc > 2 ? std::atof(argv[2]) : 100.0;
    const sonivera::AudioBuffer sound = sonivera::ReadAudioFile(argv[1]);
    // At least 0.25 Hz resolution, and room for the whole response.
    std::size_t n = 1;
    while (n < sound.Frames() || static_cast<double>(n) < 4.0 * sound.rate) {
        n *= 2;
    }
    std::vector<float> time(n, 0.0f);
    for (std::size_t i = 0; i < sound.Frames(); ++i) {
        time[i] = sound.samples[i * static_cast<std::size_t>(sound.channels)];
    }
    std::vector<kiss_fft_cpx> spectrum(n / 2 + 1);
    kiss_fftr_cfg cfg = kiss_fftr_alloc(static_cast<int>(n), 0, nullptr, nullptr);
    kiss_fftr(cfg, time.data(), spectrum.data());
    kiss_fftr_free(cfg);

    constexpr int kBuckets = 50;
    std::vector<double> power(kBuckets, 0.0);
    std::vector<double> count(kBuckets, 0.0);
    for (std::size_t k = 0; k < spectrum.size(); ++k) {
        const double f = static_cast<double>(k) * sound.rate / static_cast<double>(n);
        if (f < 50.0 || f > 10000.0) {
            continue;
        }
        const double phase = std::fmod(f, period) / period;
        const int b = std::min(kBuckets - 1, static_cast<int>(phase * kBuckets));
        power[b] += double(spectrum[k].r) * spectrum[k].r + double(spectrum[k].i) * spectrum[k].i;
        count[b] += 1.0;
    }
    double mean = 0.0, peak = 0.0, trough = 1e300;
    for (int b = 0; b < kBuckets; ++b) {
        power[b] /= count[b];
        mean += power[b] / kBuckets;
        peak = std::max(peak, power[b]);
        trough = std::min(trough, power[b]);
    }
    std::printf("%s: comb at %g Hz: peak %+.1f dB, trough %+.1f dB, depth %.1f dB\n", argv[1],
                period, 10.0 * std::log10(peak / mean), 10.0 * std::log10(trough / mean),
                10.0 * std::log10(peak / trough));
    return 0;
}
