// Writes examples/click-chirp.wav, the dry sound for listening to an effect: made here from
// formulas, no recording. 48 kHz mono 16-bit: 0.1 s of silence, a click (one full-scale sample),
// 0.9 s of silence to hear the click's echoes die away, a rising sweep from 100 Hz to 8 kHz over
// one second (exponential, 10 ms fades), and 0.5 s of silence.
//
//   sonivera_make_click_chirp examples/click-chirp.wav
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.wav\n", argv[0]);
        return 2;
    }
    constexpr int kRate = 48000;
    constexpr double kLow = 100.0, kHigh = 8000.0, kSweep = 1.0, kFade = 0.01;
    std::vector<float> samples(static_cast<std::size_t>(kRate * 2.5), 0.0f);

    const std::size_t click = kRate / 10;
    samples[click] = 0.9f;

    const std::size_t sweepStart = click + static_cast<std::size_t>(kRate * 0.9);
    const double growth = std::log(kHigh / kLow);
    for (std::size_t i = 0; i < static_cast<std::size_t>(kRate * kSweep); ++i) {
        const double t = static_cast<double>(i) / kRate;
        // The phase of a sweep whose frequency rises as kLow·e^(growth·t/kSweep).
        const double phase = 2.0 * std::numbers::pi * kLow * kSweep / growth *
                             (std::exp(growth * t / kSweep) - 1.0);
        const double fade = std::min({1.0, t / kFade, (kSweep - t) / kFade});
        samples[sweepStart + i] = static_cast<float>(0.5 * fade * std::sin(phase));
    }

    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(argv[1], SFM_WRITE, &info);
    if (file == nullptr) {
        std::fprintf(stderr, "%s: %s\n", argv[1], sf_strerror(nullptr));
        return 1;
    }
    const auto frames = static_cast<sf_count_t>(samples.size());
    const bool written = sf_writef_float(file, samples.data(), frames) == frames;
    sf_close(file);
    return written ? 0 : 1;
}
