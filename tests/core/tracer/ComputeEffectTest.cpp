#include "SceneBuilder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace sonivera {

namespace {

TEST(ComputeEffect, OneSourceTenMetresAwayFillsBinThree) {
    auto scene = MakeDefaultScene();
    AddSource(*scene, {.x = 60, .y = 50, .power = 1.0});
    for (int threads : {1, 2}) {
        const std::vector<double> bins = Effect(*scene, threads);
        ASSERT_EQ(bins.size(), 100u);
        EXPECT_EQ(NonZeroBins(bins), std::vector<int>{3});
        EXPECT_EQ(bins[3], 1.0);
    }
}

TEST(ComputeEffect, WithoutSourcesEveryBinIsZero) {
    auto scene = MakeDefaultScene();
    AddRect(*scene,
            {.x = 60, .y = 40, .width = 10, .height = 20, .reflection = 1.0, .absorption = 0.0});
    AddRect(*scene,
            {.x = 20, .y = 10, .width = 10, .height = 20, .reflection = 0.5, .absorption = 0.1});
    const std::vector<double> bins = Effect(*scene);
    EXPECT_EQ(bins, std::vector<double>(100, 0.0));
}

TEST(ComputeEffect, WithoutRectanglesEachSourceGivesOneEchoByItsDistance) {
    // Paths of 150 m, 3 m and 2.9 m land in bins 50, 1 and 0 (stop time 1000 ms, width 10 ms).
    auto scene = SceneWithListener(0, 0);
    AddSource(*scene, {.x = 90, .y = 120, .power = 1.0});
    AddSource(*scene, {.x = 0, .y = 3, .power = 0.5});
    AddSource(*scene, {.x = 2.9, .y = 0, .power = 0.25});
    AddSource(*scene, {.x = 301, .y = 0, .power = 1.0}); // beyond the stop distance
    std::vector<double> bins = Effect(*scene);
    EXPECT_EQ(NonZeroBins(bins), (std::vector<int>{0, 1, 50}));
    EXPECT_EQ(bins[50], 1.0);
    EXPECT_EQ(bins[1], 0.5);
    EXPECT_EQ(bins[0], 0.25);

    scene->params.mediumAbsorption = 0.01;
    bins = Effect(*scene);
    EXPECT_EQ(bins[50], 1.0 * std::exp(-(0.01 * 150.0)));
    EXPECT_EQ(bins[1], 0.5 * std::exp(-(0.01 * 3.0)));
    EXPECT_EQ(bins[0], 0.25 * std::exp(-(0.01 * 2.9)));
}

TEST(ComputeEffect, EchoesOfOneBinAddUpAndWeakOnesAreDropped) {
    auto scene = SceneWithListener(0, 0);
    AddSource(*scene, {.x = 10, .y = 0, .power = 0.5});
    AddSource(*scene, {.x = 0, .y = 10.5, .power = 0.25});
    AddSource(*scene,
              {.x = -10, .y = 0, .power = 0.001}); // equal to the stop amplitude: not recorded
    const std::vector<double> bins = Effect(*scene);
    EXPECT_EQ(NonZeroBins(bins), std::vector<int>{3});
    EXPECT_EQ(bins[3], 0.75);
}

TEST(ComputeEffect, RectangleBehindTheListenerHidesTheSource) {
    // The line from the source through the listener meets a rectangle behind the listener: the
    // source is not heard directly. Reflection 0 makes every point on the rectangle silent too.
    auto scene = MakeDefaultScene();
    AddSource(*scene, {.x = 60, .y = 50, .power = 1.0});
    AddRect(*scene, {.x = 30, .y = 0, .width = 1, .height = 100, .reflection = 0.0});
    EXPECT_EQ(NonZeroBins(Effect(*scene)), std::vector<int>{});
    scene->objects.pop_back();
    EXPECT_EQ(NonZeroBins(Effect(*scene)), std::vector<int>{3});
}

TEST(ComputeEffect, SourceAtTheListenerIsHeardWhateverSurroundsIt) {
    auto scene = SceneWithListener(50, 50);
    AddRect(*scene, {.x = 40,
                     .y = 40,
                     .width = 20,
                     .height = 20,
                     .reflection = 0.5,
                     .absorption = 1.7e308}); // the listener stands inside a rectangle
    AddSource(*scene, {.x = 50, .y = 50, .power = 0.7});
    const std::vector<double> bins = Effect(*scene);
    EXPECT_EQ(bins[0], 0.7);
}

TEST(ComputeEffect, NormalisationOnlyScalesDown) {
    auto scene = SceneWithListener(0, 0);
    scene->params.normalize = true;
    AddSource(*scene, {.x = 10, .y = 0, .power = 0.8});
    std::vector<double> bins = Effect(*scene);
    EXPECT_EQ(bins[3], 0.8);

    AddSource(*scene, {.x = 0, .y = 10, .power = 1.0});
    AddSource(*scene, {.x = -10, .y = 0, .power = 0.7});
    AddSource(*scene, {.x = 40, .y = 0, .power = 1.0});
    bins = Effect(*scene);
    EXPECT_EQ(NonZeroBins(bins), (std::vector<int>{3, 13}));
    EXPECT_EQ(bins[3], 1.0);
    EXPECT_EQ(bins[13], 1.0 / 2.5);
}

TEST(ComputeEffect, EmptyObjectListGivesZerosOfTheBinCount) {
    SceneSettings scene;
    scene.params.stopTime = 1000.0;
    scene.params.groupTime = 3.0;
    RecordedProgress progress;
    ComputeEffect(scene, &progress);
    ASSERT_EQ(scene.effectCount, 334);
    for (int k = 0; k < scene.effectCount; ++k) {
        EXPECT_EQ(scene.effect[k], 0.0);
    }
    // The result remembers what it was computed with.
    EXPECT_EQ(scene.effectParams.groupTime, 3.0);
    EXPECT_EQ(scene.effectParams.stopTime, 1000.0);
}

TEST(ComputeEffect, ProgressGoesOutInRayOrderOnTheCallingThread) {
    auto scene = MakeDefaultScene();
    AddRect(*scene,
            {.x = 60, .y = 40, .width = 10, .height = 20, .reflection = 0.9, .absorption = 0.1});
    AddSource(*scene, {.x = 40, .y = 50, .power = 1.0});
    for (int threads : {1, 2, 3}) {
        for (int n : {100, 1000}) {
            scene->params.rayCount = n;
            RecordedProgress progress;
            EffectOptions options;
            options.threads = threads;
            ComputeEffect(*scene, &progress, options);
            ASSERT_EQ(progress.positions.size(), static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) {
                ASSERT_EQ(progress.positions[static_cast<std::size_t>(i)], (100 * i) / n);
            }
        }
    }
}

TEST(ComputeEffect, ResultDoesNotDependOnTheThreadCount) {
    auto scene = MakeDefaultScene();
    scene->params.rayCount = 360;
    scene->params.stopTime = 3000;
    AddRect(*scene,
            {.x = 60, .y = 40, .width = 10, .height = 20, .reflection = 0.9, .absorption = 0.05});
    AddRect(*scene,
            {.x = 20, .y = 10, .width = 10, .height = 20, .reflection = 0.7, .absorption = 0.1});
    AddRect(*scene,
            {.x = 30, .y = 70, .width = 40, .height = 5, .reflection = 0.8, .absorption = 0.2});
    AddSource(*scene, {.x = 40, .y = 55, .power = 1.0});
    AddSource(*scene, {.x = 80, .y = 20, .power = 0.5});
    TraceStats one;
    const std::vector<double> expected = Effect(*scene, 1, &one);
    EXPECT_GT(NonZeroBins(expected).size(), 20u);
    for (int threads : {0, 2, 3, 8}) {
        TraceStats stats;
        EXPECT_EQ(Effect(*scene, threads, &stats), expected) << threads;
        EXPECT_EQ(stats.nodes, one.nodes);
        EXPECT_EQ(stats.echoes, one.echoes);
        EXPECT_EQ(stats.rays, 360u);
    }
}

} // namespace

} // namespace sonivera
