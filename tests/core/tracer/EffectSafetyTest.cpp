// Unsafe settings are refused before anything is computed, cancellation keeps the previous
// effect, and the bin index never leaves the bins.
#include "SceneBuilder.h"
#include "tracer/ComputeEffectDetail.h"
#include "tracer/TraceParameters.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>

namespace {

std::unique_ptr<SceneSettings> SceneWithEffect() {
    auto scene = MakeDefaultScene();
    AddSource(*scene, 60, 50, 1.0);
    ComputeEffect(*scene, nullptr);
    return scene;
}

void ExpectPreviousEffectKept(const SceneSettings& scene) {
    ASSERT_EQ(scene.effectCount, 100);
    EXPECT_EQ(scene.effect[3], 1.0);
}

TEST(EffectSafety, UnsafeSettingsAreRefusedByName) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto check = [&](const char* field, auto apply) {
        auto scene = SceneWithEffect();
        RecordedProgress progress;
        apply(*scene);
        try {
            ComputeEffect(*scene, &progress);
            ADD_FAILURE() << "accepted an unsafe " << field;
        } catch (const EffectParameterError& e) {
            EXPECT_EQ(e.field(), field);
            EXPECT_NE(std::string(e.what()), "");
        }
        EXPECT_TRUE(progress.positions.empty());
        ExpectPreviousEffectKept(*scene);
    };
    for (double g : {0.0, -1.0, nan, inf}) {
        check("groupTime", [g](SceneSettings& s) { s.groupTime = g; });
    }
    for (double t : {-1.0, nan, inf}) {
        check("stopTime", [t](SceneSettings& s) { s.stopTime = t; });
    }
    check("groupTime", [](SceneSettings& s) {
        s.stopTime = 10000.0;
        s.groupTime = 1e-4; // 100 000 000 bins
    });
    for (int n : {0, -5}) {
        check("rayCount", [n](SceneSettings& s) { s.rayCount = n; });
    }
}

TEST(EffectSafety, LargestAcceptedBinCountAndZeroStopTime) {
    auto scene = MakeDefaultScene();
    scene->stopTime = 10000.0;
    scene->groupTime = 0.001; // exactly 10 000 000 bins
    scene->rayCount = 1;
    ComputeEffect(*scene, nullptr);
    EXPECT_EQ(scene->effectCount, 10000000);

    scene->stopTime = 0.0;
    ComputeEffect(*scene, nullptr);
    EXPECT_EQ(scene->effectCount, 0);
}

TEST(EffectSafety, SecondCalculationReplacesTheFirst) {
    auto scene = SceneWithEffect();
    scene->groupTime = 3.0;
    ComputeEffect(*scene, nullptr);
    ASSERT_EQ(scene->effectCount, 334);
    EXPECT_EQ(NonZeroBins(std::vector<double>(scene->effect.get(), scene->effect.get() + 334)),
              std::vector<int>{11});
}

struct CancelAt : ProgressSink {
    std::atomic<bool>& flag;
    int at;
    int calls = 0;
    CancelAt(std::atomic<bool>& f, int a) : flag(f), at(a) {}
    void SetPosition(int) override {
        if (++calls == at) {
            flag = true;
        }
    }
};

TEST(EffectSafety, CancellationKeepsThePreviousEffect) {
    // On the calling thread, and with every ray on the pool.
    EngineTuning pool;
    pool.serialRays = 0;
    for (const EngineTuning& tuning : {EngineTuning{}, pool}) {
        for (int threads : {1, 2, 3}) {
            auto scene = SceneWithEffect();
            AddRect(*scene, 60, 40, 10, 20, 0.9, 0.1);
            std::atomic<bool> cancel{false};
            CancelAt sink(cancel, 5);
            EffectOptions options;
            options.threads = threads;
            options.cancel = &cancel;
            EXPECT_THROW(ComputeEffectTuned(*scene, &sink, options, tuning), EffectCancelled);
            EXPECT_EQ(sink.calls, 5);
            ExpectPreviousEffectKept(*scene);
        }
    }
}

TEST(EffectSafety, CancellationStopsInsideALongRay) {
    // One ray bouncing for 10 000 legs between touching mirrors: the flag is seen inside it.
    auto scene = SceneWithListener(10, 10);
    AddRect(*scene, 0, 0, 10, 10, 1.0);
    AddRect(*scene, 10, 10, 10, 10, 1.0);
    scene->rayCount = 1;
    std::atomic<bool> cancel{true};
    EffectOptions options;
    options.cancel = &cancel;
    EXPECT_THROW(ComputeEffect(*scene, nullptr, options), EffectCancelled);
    EXPECT_EQ(scene->effectCount, 0);
}

TEST(EffectSafety, RoundingPastTheLastBinGoesIntoTheLastBin) {
    // Search the settings for a path just below the stop distance whose index rounds up to the
    // bin count; it must land in the last bin.
    int found = 0;
    for (int stop = 10; stop <= 10000; ++stop) {
        for (double g : {1.0, 3.0, 7.0, 10.0, 30.0}) {
            const auto bins = static_cast<std::int32_t>(std::ceil(stop / g));
            const double length = std::nextafter(stop * 0.3, 0.0);
            const double raw = std::floor(((length * 0.0033333333333333335) / g) * 1000.0);
            const std::int32_t index = BinIndex(length, g, bins);
            ASSERT_GE(index, 0);
            ASSERT_LT(index, bins);
            if (raw >= bins) {
                EXPECT_EQ(index, bins - 1);
                ++found;
            } else {
                EXPECT_EQ(index, static_cast<std::int32_t>(raw));
            }
        }
    }
    EXPECT_GT(found, 0);
}

TEST(EffectSafety, NegativeThreadCountIsRefused) {
    auto scene = SceneWithEffect();
    EffectOptions options;
    options.threads = -1;
    EXPECT_THROW(ComputeEffect(*scene, nullptr, options), std::invalid_argument);
    ExpectPreviousEffectKept(*scene);
}

} // namespace
