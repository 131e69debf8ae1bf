// Auralisation speed: one minute of 48 kHz sound convolved with a 2 s impulse response (the
// response of an effect of 200 bins of 10 ms), mono and stereo, then brought to full scale.
#include "audio/Convolution.h"
#include "audio/ImpulseResponse.h"
#include "audio/Level.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

using namespace sonivera;

namespace {

constexpr int kRate = 48000;

AudioBuffer MinuteOfNoise(int channels) {
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> d(-0.5f, 0.5f);
    AudioBuffer dry{kRate, channels, std::vector<float>(static_cast<std::size_t>(60 * kRate * channels))};
    for (float& s : dry.samples)
        s = d(rng);
    return dry;
}

std::vector<float> TwoSecondResponse() {
    std::vector<double> bins(200);
    for (std::size_t i = 0; i < bins.size(); ++i)
        bins[i] = std::exp(-0.03 * static_cast<double>(i)) * (i % 3 == 0 ? 1.0 : -0.5);
    return ImpulseResponseFromBins(bins, 10.0, kRate);
}

void BM_AuraliseOneMinute(benchmark::State& state) {
    const AudioBuffer dry = MinuteOfNoise(static_cast<int>(state.range(0)));
    const std::vector<float> response = TwoSecondResponse();
    for (auto _ : state) {
        AudioBuffer wet = Convolve(dry, response);
        NormalizeToFullScale(wet);
        benchmark::DoNotOptimize(wet.samples.data());
    }
    state.counters["fft"] = static_cast<double>(ChooseFftLength(response.size(), dry.Frames()));
}

} // namespace

BENCHMARK(BM_AuraliseOneMinute)->Arg(1)->Arg(2)->ArgName("channels")->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
