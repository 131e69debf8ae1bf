#include "core/tracer/FineResponse.h"

#include "RandomScene.h"
#include "SceneBuilder.h"
#include "core/tracer/ComputeEffectDetail.h"
#include "core/tracer/EchoPath.h"
#include "core/tracer/EffectErrors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace sonivera {

namespace {

// The effect's bins and the fine response summed over each bin's span of samples (sample n
// belongs to the bin its time n / rate falls in), with every echo kept as a path so that the
// echoes whose nearest sample crosses a bin edge can be moved to the bin they landed in.
void ExpectFineResponseSumsToTheBins(SceneSettings& scene, int rate, int threads) {
    FineResponseRequest fine;
    fine.rate = rate;
    EchoPathRequest paths;
    paths.perSource = 1u << 30;
    TraceStats stats;
    EffectOptions options;
    options.threads = threads;
    options.fine = &fine;
    options.paths = &paths;
    options.stats = &stats;
    EngineTuning tuning;
    tuning.serialRays = threads > 1 ? 0 : tuning.serialRays; // the pool's chunks carry the lengths
    ComputeEffectTuned(scene, nullptr, options, tuning);
    ASSERT_EQ(paths.paths.size(), stats.echoes) << "every echo must be kept to check the sums";

    const double g = scene.effectParams.groupTime;
    const auto binOfSample = [&](std::int64_t n) {
        const auto bin = static_cast<std::int64_t>(
            std::floor(static_cast<double>(n) * 1000.0 / static_cast<double>(rate) / g));
        return std::min<std::int64_t>(bin, scene.effectCount - 1);
    };
    // Normalisation divides the bins and the samples by the same factor; undo it on the echoes.
    double peak = 0.0;
    std::vector<double> expected(static_cast<std::size_t>(scene.effectCount), 0.0);
    for (const EchoPath& path : paths.paths) {
        expected[static_cast<std::size_t>(path.bin)] += path.amplitude;
    }
    for (const double e : expected) {
        peak = std::max(peak, e);
    }
    const double divisor = scene.effectParams.normalize && peak > 1.0 ? peak : 1.0;
    std::vector<double> moved(expected.size(), 0.0);
    for (const EchoPath& path : paths.paths) {
        const auto landed = binOfSample(std::llround(path.delay * static_cast<double>(rate)));
        if (landed != path.bin) {
            moved[static_cast<std::size_t>(path.bin)] -= path.amplitude / divisor;
            moved[static_cast<std::size_t>(landed)] += path.amplitude / divisor;
        }
    }
    std::vector<double> sums(expected.size(), 0.0);
    for (std::size_t n = 0; n < fine.samples.size(); ++n) {
        sums[static_cast<std::size_t>(binOfSample(static_cast<std::int64_t>(n)))] +=
            fine.samples[n];
    }
    for (std::size_t i = 0; i < sums.size(); ++i) {
        const double bin = scene.effect[i] + moved[i];
        ASSERT_NEAR(sums[i], bin, 1e-9 * (1.0 + std::fabs(bin))) << "bin " << i << " at " << rate;
    }
}

} // namespace

TEST(FineResponse, SummedOverEachBinGivesTheEffectsBinsAtEveryRateNormalisedOrNot) {
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        for (const bool normalize : {false, true}) {
            auto scene = MakeRandomScene(seed, 20000);
            scene->params.normalize = normalize;
            for (const int rate : {8000, 44100, 48000, 96000}) {
                SCOPED_TRACE(::testing::Message() << "seed " << seed << " rate " << rate);
                ExpectFineResponseSumsToTheBins(*scene, rate, 1 + static_cast<int>(seed % 2));
            }
        }
    }
}

TEST(FineResponse, PlacesAnEchoOnTheSampleNearestItsDelayAndLeavesTheBinsUnchanged) {
    // The direct sound of a source 30 m away: 0.1 s, sample 4800 at 48 kHz.
    auto scene = SceneWithListener(10, 10);
    AddSource(*scene, {.x = 40, .y = 10, .power = 0.5});
    ComputeEffect(*scene, nullptr);
    const std::vector<double> plain(scene->effect.get(), scene->effect.get() + scene->effectCount);
    FineResponseRequest fine;
    EffectOptions options;
    options.fine = &fine;
    ComputeEffect(*scene, nullptr, options);
    ASSERT_EQ(fine.samples.size(), 48001u); // the stop time of 1000 ms and one
    EXPECT_EQ(fine.samples[4800], 0.5);
    EXPECT_EQ(std::count(fine.samples.begin(), fine.samples.end(), 0.0), 48000);
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), scene->effect.get()));
    // A response too long to keep is refused before anything is computed.
    scene->params.stopTime = 1e9;
    scene->params.groupTime = 1e6;
    EXPECT_THROW(ComputeEffect(*scene, nullptr, options), EffectParameterError);
    EXPECT_EQ(FineResponseLength(1000.0, 0), -1);
    EXPECT_EQ(FineResponseLength(-1.0, 48000), -1);
}

} // namespace sonivera
