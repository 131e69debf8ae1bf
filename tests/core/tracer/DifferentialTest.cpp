// The product's tracer against the plain reference, byte for byte, on seeded random scenes at
// 1, 2 and 3 worker threads, and with each search index forced on.
#include "RandomScene.h"
#include "SceneBuilder.h"
#include "core/model/SceneFile.h"
#include "core/tracer/ComputeEffect.h"
#include "core/tracer/ComputeEffectDetail.h"
#include "core/tracer/ProgressSink.h"
#include "reference/ReferenceTracer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace sonivera {

namespace {

constexpr int kShards = 40;
constexpr int kScenesPerShard = 50; // 2000 scenes in all
constexpr std::uint64_t kNodeBudget = 60000;
constexpr std::uint64_t kHallNodeBudget = 20000;

struct RecordingProgress : ProgressSink {
    std::vector<int> positions;
    void SetPosition(int position) override { positions.push_back(position); }
};

std::string Describe(const SceneSettings& s, std::uint64_t seed) {
    return "seed " + std::to_string(seed) + ": rays " + std::to_string(s.params.rayCount) +
           ", objects " + std::to_string(s.objects.size()) + ", stop time " +
           std::to_string(s.params.stopTime) + ", group " + std::to_string(s.params.groupTime);
}

// The product at 1, 2 and 3 threads, with every search index, against the reference.
void ExpectMatchesReference(SceneSettings& scene, const std::string& what) {
    const reference::ReferenceResult expected =
        reference::ComputeReferenceEffectOnLargeStack(scene);
    // Threads 1, 2 and 3 testing every rectangle, the pool taking every ray (2, 3) or all
    // but the first three (3); then 1 thread with the grid and with the tree forced on the
    // small scene; then the defaults at 2 threads; then 1 thread without the visibility map;
    // then 1 thread with each instruction set of the walk over the lanes.
    struct Run {
        int threads;
        EngineTuning tuning;
    };
    const auto tuned = [](std::size_t indexFrom, SearchIndex index, std::int32_t serialRays) {
        EngineTuning t;
        t.indexFrom = indexFrom;
        t.index = index;
        t.serialRays = serialRays;
        t.serialSeconds = 1e9;
        t.poolAtOnceSeconds = 1e9;
        return t;
    };
    EngineTuning searchOnly = tuned(SIZE_MAX, SearchIndex::kNone, 0);
    searchOnly.visibility = VisibilityUse::kNone; // every visibility check by the search
    std::vector<Run> runs = {{1, tuned(SIZE_MAX, SearchIndex::kNone, 0)},
                             {2, tuned(SIZE_MAX, SearchIndex::kNone, 0)},
                             {3, tuned(SIZE_MAX, SearchIndex::kNone, 0)},
                             {3, tuned(SIZE_MAX, SearchIndex::kNone, 3)},
                             {1, tuned(1, SearchIndex::kGrid, 0)},
                             {1, tuned(1, SearchIndex::kTree, 0)},
                             {2, EngineTuning{}},
                             {1, searchOnly}};
    // Every instruction set the dispatcher can choose, the default one included once more.
    for (RectLanes::Isa isa : RectLanes::Available()) {
        EngineTuning each = tuned(SIZE_MAX, SearchIndex::kNone, 0);
        each.isa = isa;
        runs.push_back({1, each});
    }
    for (std::size_t run = 0; run < std::size(runs); ++run) {
        RecordingProgress progress;
        EffectOptions options;
        options.threads = runs[run].threads;
        ComputeEffectTuned(scene, &progress, options, runs[run].tuning);
        ASSERT_EQ(static_cast<std::size_t>(scene.effectCount), expected.bins.size()) << what;
        ASSERT_EQ(0, std::memcmp(scene.effect.get(), expected.bins.data(),
                                 expected.bins.size() * sizeof(double)))
            << what << ", run " << run;
        ASSERT_EQ(progress.positions, expected.progress) << what;
    }
}

class TracerMatchesReference : public ::testing::TestWithParam<int> {};

TEST_P(TracerMatchesReference, OnRandomScenes) {
    for (int k = 0; k < kScenesPerShard; ++k) {
        const std::uint64_t seed = static_cast<std::uint64_t>(GetParam()) * 1000003u + k;
        auto scene = MakeRandomScene(seed, kNodeBudget);
        ExpectMatchesReference(*scene, Describe(*scene, seed));
        if (HasFatalFailure()) {
            return;
        }
    }
}

TEST_P(TracerMatchesReference, OnRandomClosedHalls) {
    for (int k = 0; k < kScenesPerShard; ++k) {
        const std::uint64_t seed = static_cast<std::uint64_t>(GetParam()) * 1000003u + k;
        auto scene = MakeRandomHall(seed, kHallNodeBudget);
        ExpectMatchesReference(*scene, "hall " + Describe(*scene, seed));
        if (HasFatalFailure()) {
            return;
        }
    }
}

// The benchmark scenes with a twentieth of their rays, at least 10 (other rays of the fan, but the
// scenes' rectangles, sources and depth), to keep the reference's time short.
TEST(TracerMatchesReferenceOnBenchScenes, WithFewerRays) {
    for (const char* name :
         {"room-10", "room-100", "heavy-10", "heavy-100", "hall-15", "hall-22", "hall-30"}) {
        auto scene = ReadSceneFile(std::string(SONIVERA_BENCH_SCENES_DIR) + "/" + name + ".3d");
        scene->params.rayCount = std::max(10, scene->params.rayCount / 20);
        ExpectMatchesReference(*scene, name);
    }
}

// A passage along the shared edge of two touching rectangles steps over them 0.001 m at a time;
// the tracer ends that walk once the distance walked passes the stop distance. The stop distance
// before, at and beyond the wall at the edge's far end (111 m from the listener; its echo travels
// 116.4 m) must give the reference's bytes.
TEST(TracerMatchesReferenceOnEdgeWalks, AroundTheStopDistance) {
    for (double stopTime :
         {10.0, 200.0, 300.0, 360.0, 369.0, 370.0, 371.0, 380.0, 388.0, 389.0, 1000.0}) {
        auto scene = EdgeWalkScene(100.0, stopTime);
        scene->params.groupTime = 1.0;
        const reference::ReferenceResult expected =
            reference::ComputeReferenceEffectOnLargeStack(*scene);
        for (int threads : {1, 2}) {
            EffectOptions options;
            options.threads = threads;
            TraceStats stats;
            options.stats = &stats;
            ComputeEffect(*scene, nullptr, options);
            if (stopTime == 200.0) { // the walk ended 60 m from the listener, not after 100 m
                EXPECT_LT(stats.searches, 70000u);
            }
            ASSERT_EQ(static_cast<std::size_t>(scene->effectCount), expected.bins.size());
            EXPECT_EQ(0, std::memcmp(scene->effect.get(), expected.bins.data(),
                                     expected.bins.size() * sizeof(double)))
                << "stop time " << stopTime << ", " << threads << " threads";
        }
        if (stopTime == 1000.0) { // the walk reached the wall and echoes came back from there
            EXPECT_EQ(NonZeroBins(expected.bins).size(), 2u);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shards, TracerMatchesReference, ::testing::Range(0, kShards));

} // namespace

} // namespace sonivera
