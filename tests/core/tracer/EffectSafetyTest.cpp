// Unsafe settings are refused before anything is computed, cancellation keeps the previous
// effect, and the bin index never leaves the bins.
#include "SceneBuilder.h"
#include "core/tracer/ComputeEffectDetail.h"
#include "core/tracer/TraceParameters.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <thread>

namespace sonivera {

namespace {

std::unique_ptr<SceneSettings> SceneWithEffect() {
    auto scene = MakeDefaultScene();
    AddSource(*scene, {.x = 60, .y = 50, .power = 1.0});
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
        check("groupTime", [g](SceneSettings& s) { s.params.groupTime = g; });
    }
    for (double t : {-1.0, nan, inf}) {
        check("stopTime", [t](SceneSettings& s) { s.params.stopTime = t; });
    }
    check("groupTime", [](SceneSettings& s) {
        s.params.stopTime = 10000.0;
        s.params.groupTime = 1e-4; // 100 000 000 bins
    });
    for (int n : {0, -5}) {
        check("rayCount", [n](SceneSettings& s) { s.params.rayCount = n; });
    }
}

TEST(EffectSafety, LargestAcceptedBinCountAndZeroStopTime) {
    auto scene = MakeDefaultScene();
    scene->params.stopTime = 10000.0;
    scene->params.groupTime = 0.001; // exactly 10 000 000 bins
    scene->params.rayCount = 1;
    ComputeEffect(*scene, nullptr);
    EXPECT_EQ(scene->effectCount, 10000000);

    scene->params.stopTime = 0.0;
    ComputeEffect(*scene, nullptr);
    EXPECT_EQ(scene->effectCount, 0);
}

TEST(EffectSafety, SecondCalculationReplacesTheFirst) {
    auto scene = SceneWithEffect();
    scene->params.groupTime = 3.0;
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
            AddRect(*scene, {.x = 60,
                             .y = 40,
                             .width = 10,
                             .height = 20,
                             .reflection = 0.9,
                             .absorption = 0.1});
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
    AddRect(*scene, {.x = 0, .y = 0, .width = 10, .height = 10, .reflection = 1.0});
    AddRect(*scene, {.x = 10, .y = 10, .width = 10, .height = 10, .reflection = 1.0});
    scene->params.rayCount = 1;
    std::atomic<bool> cancel{true};
    EffectOptions options;
    options.cancel = &cancel;
    EXPECT_THROW(ComputeEffect(*scene, nullptr, options), EffectCancelled);
    EXPECT_EQ(scene->effectCount, 0);
}

// Runs fn on its own thread. If it has not returned after `seconds`, the calculation hangs: the
// test program reports it and exits, since a thread stuck in a loop cannot be taken back.
template <class Fn> void FinishesWithin(double seconds, const char* what, Fn fn) {
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
    std::thread worker([&] {
        fn();
        std::lock_guard lock(mutex);
        done = true;
        cv.notify_all();
    });
    std::unique_lock lock(mutex);
    if (!cv.wait_for(lock, std::chrono::duration<double>(seconds), [&] { return done; })) {
        std::fprintf(stderr, "FAILED: %s did not return within %.0f s\n", what, seconds);
        std::fflush(stderr);
        std::_Exit(1);
    }
    lock.unlock();
    worker.join();
}

TEST(EffectSafety, WalkAlongATouchingEdgeEndsAtTheStopDistance) {
    // A 10^12 m edge walked 0.001 m at a time would take 10^15 searches; past the stop distance
    // (300 m here) nothing can be recorded any more, so the walk ends there.
    auto scene = EdgeWalkScene(1e12, 1000.0);
    TraceStats stats;
    FinishesWithin(60.0, "the walk along a touching edge", [&] { Effect(*scene, 1, &stats); });
    EXPECT_GT(stats.searches, 100000u); // it did walk
    EXPECT_LT(stats.searches, 1000000u);
}

TEST(EffectSafety, CancellationReachesTheWalkAlongATouchingEdge) {
    // With a stop distance of 3·10^299 m the walk is not bounded; the flag still ends it, on the
    // calling thread and on the pool.
    EngineTuning pool;
    pool.serialRays = 0;
    for (const auto& [threads, tuning] : {std::pair{1, EngineTuning{}}, std::pair{2, pool}}) {
        auto scene = EdgeWalkScene(1e12, 1e300);
        scene->params.groupTime = 1e299;
        std::atomic<bool> cancel{false};
        EffectOptions options;
        options.threads = threads;
        options.cancel = &cancel;
        bool cancelled = false;
        std::thread trigger([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            cancel = true;
        });
        FinishesWithin(60.0, "the cancelled walk along a touching edge", [&] {
            try {
                ComputeEffectTuned(*scene, nullptr, options, tuning);
            } catch (const EffectCancelled&) {
                cancelled = true;
            }
        });
        trigger.join();
        EXPECT_TRUE(cancelled) << threads << " threads";
    }
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

} // namespace sonivera
