// The path rules of the tracer: passage, reflection, the stop tests, the head-on rule, corner
// normals, the bound on endless chains and the bound that ends too weak passages early.
#include "SceneBuilder.h"
#include "core/tracer/ExpBound.h"
#include "reference/ReferenceTracer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace sonivera {

namespace {

// Listener, a wall W at x = 60 that does not reflect, a reflecting wall V at x = 80 and a
// source between them: the source is heard only through a passage of W.
std::unique_ptr<SceneSettings> PassageScene(double absorptionOfW) {
    auto scene = SceneWithListener(50, 50);
    AddRect(*scene, {.x = 60,
                     .y = 0,
                     .width = 1,
                     .height = 100,
                     .reflection = 0.0,
                     .absorption = absorptionOfW});
    AddRect(*scene, {.x = 80, .y = 0, .width = 1, .height = 100, .reflection = 0.5});
    AddSource(*scene, {.x = 70, .y = 50, .power = 1.0});
    scene->params.rayCount = 1;
    return scene;
}

TEST(TracerRules, PassageThroughAWallReachesTheRectangleBeyond) {
    auto open = PassageScene(0.0);
    std::vector<double> bins = Effect(*open);
    // Ray 0: 10 m to W, a 20 m passage leg to V, 10 m back to the source: 40 m → bin 13, with
    // the source's share p·cos·R = 0.5.
    EXPECT_EQ(NonZeroBins(bins), std::vector<int>{13});
    EXPECT_EQ(bins[13], 0.5);

    auto closed = PassageScene(1.7e308); // the default absorption: never passed
    EXPECT_EQ(NonZeroBins(Effect(*closed)), std::vector<int>{});

    open->params.noTransmission = true;
    EXPECT_EQ(NonZeroBins(Effect(*open)), std::vector<int>{});
}

TEST(TracerRules, NoReflectionKeepsOnlyTheDirectSound) {
    auto scene = MakeDefaultScene();
    AddRect(*scene,
            {.x = 0, .y = 20, .width = 100, .height = 1, .reflection = 1.0, .absorption = 0.0});
    AddRect(*scene,
            {.x = 0, .y = 80, .width = 100, .height = 1, .reflection = 1.0, .absorption = 0.0});
    AddSource(*scene, {.x = 60, .y = 50, .power = 1.0});
    scene->params.rayCount = 36;
    EXPECT_GT(NonZeroBins(Effect(*scene)).size(), 1u);
    scene->params.noReflection = true;
    const std::vector<double> bins = Effect(*scene);
    EXPECT_EQ(NonZeroBins(bins), std::vector<int>{3});
    EXPECT_EQ(bins[3], 1.0);
}

TEST(TracerRules, CornerPointTakesTheSideNormalOfTheLeftSide) {
    // Ray 0 meets the rectangle exactly at its top-left corner; the left side's normal makes the
    // cosine towards the source above the top side negative, so that echo (21.18 m, bin 7) is
    // never recorded. The direct sound (18.03 m) lands in bin 6.
    auto scene = SceneWithListener(50, 40);
    AddRect(*scene, {.x = 60, .y = 40, .width = 10, .height = 10, .reflection = 1.0});
    AddSource(*scene, {.x = 65, .y = 30, .power = 1.0});
    scene->params.rayCount = 4;
    const std::vector<double> bins = Effect(*scene);
    EXPECT_EQ(NonZeroBins(bins), std::vector<int>{6});
}

TEST(TracerRules, HeadOnReflectionIsNotFollowed) {
    // Rays 0 and 2 meet the walls at right angles; their mirrored rays go straight back to the
    // other wall, which faces them head-on, so neither node gets a reflection child. The source
    // hears both wall points (32.4 m paths, bin 10); followed, the return legs would add echoes
    // of 52 m and more.
    auto scene = SceneWithListener(50, 50);
    AddRect(*scene, {.x = 60, .y = 0, .width = 1, .height = 100, .reflection = 1.0});
    AddRect(*scene, {.x = 30, .y = 0, .width = 1, .height = 100, .reflection = 1.0});
    AddSource(*scene, {.x = 40, .y = 60, .power = 1.0});
    scene->params.rayCount = 4;
    const std::vector<double> bins = Effect(*scene);
    EXPECT_EQ(NonZeroBins(bins), std::vector<int>{10});
    const reference::ReferenceResult expected =
        reference::ComputeReferenceEffectOnLargeStack(*scene);
    EXPECT_EQ(expected.nodes, 3u); // the listener and one node for each of rays 0 and 2
    EXPECT_EQ(bins, expected.bins);
}

TEST(TracerRules, PathOfExactlyTheStopDistanceRecordsNothing) {
    // stop time 100 ms → 30 m; ray 0 meets W after exactly 30 m. The literal walk still passes
    // through W (three nodes), but nothing at or beyond 30 m can be recorded: a source standing
    // at W's point is seen from there with a path of exactly 30 m, and is 30 m from the
    // listener, so neither echo counts.
    auto scene = SceneWithListener(50, 50);
    scene->params.stopTime = 100.0;
    scene->params.rayCount = 4;
    AddRect(*scene,
            {.x = 80, .y = 0, .width = 1, .height = 100, .reflection = 0.0, .absorption = 0.0});
    AddRect(*scene,
            {.x = 90, .y = 0, .width = 1, .height = 100, .reflection = 0.0, .absorption = 0.0});
    AddSource(*scene, {.x = 85, .y = 50, .power = 1.0});
    AddSource(*scene, {.x = 80, .y = 50, .power = 1.0});
    const std::vector<double> bins = Effect(*scene);
    EXPECT_EQ(NonZeroBins(bins), std::vector<int>{});
    const reference::ReferenceResult expected =
        reference::ComputeReferenceEffectOnLargeStack(*scene);
    EXPECT_EQ(expected.nodes, 3u);
    EXPECT_EQ(bins, expected.bins);
}

TEST(TracerRules, ChainOfZeroLengthLegsEndsAfterTenThousandLegs) {
    // The listener stands where two mirrors touch at a corner: every ray that is not sent back
    // head-on bounces between them with legs of length 0 and no loss, and only the bound on the
    // number of legs ends it. Each node of the chain hears the source.
    auto scene = SceneWithListener(10, 10);
    AddRect(*scene, {.x = 0, .y = 0, .width = 10, .height = 10, .reflection = 1.0});
    AddRect(*scene, {.x = 10, .y = 10, .width = 10, .height = 10, .reflection = 1.0});
    AddSource(*scene, {.x = 15, .y = 5, .power = 1.0});
    scene->params.rayCount = 10;
    TraceStats stats;
    const std::vector<double> bins = Effect(*scene, 2, &stats);
    const reference::ReferenceResult expected =
        reference::ComputeReferenceEffectOnLargeStack(*scene);
    EXPECT_EQ(bins, expected.bins);
    EXPECT_EQ(stats.nodes, expected.nodes);
    // Rays 0..4 and 6..9 each make a chain of 10 000 nodes; ray 5 points straight back.
    EXPECT_EQ(stats.nodes, 1u + 9u * 10000u + 1u);
}

} // namespace

namespace {

TEST(TracerRules, PassageStepBelowThePrecisionEndsInsteadOfLoopingForEver) {
    // At x = 1e16 a step of 0.001 m does not move a point. Ray 0 meets Q and the zero-width R
    // at the same point; stepping past R never gets anywhere, so the passage finds nothing.
    const double x = 1e16;
    auto scene = SceneWithListener(x, 5);
    AddRect(*scene, {.x = x + 100,
                     .y = 0,
                     .width = 100,
                     .height = 10,
                     .reflection = 0.5,
                     .absorption = 0.0}); // Q, earlier in the list: wins the tie
    AddRect(*scene, {.x = x + 100,
                     .y = 0,
                     .width = 0,
                     .height = 10,
                     .reflection = 0.5,
                     .absorption = 0.0}); // R, zero width on Q's left side
    AddSource(*scene, {.x = x + 50, .y = 20, .power = 1.0});
    scene->params.rayCount = 1;
    const std::vector<double> bins = Effect(*scene);
    EXPECT_EQ(bins, reference::ComputeReferenceEffectOnLargeStack(*scene).bins);
}

TEST(TracerRules, ExpBoundIsNeverBelowExpAndAtMostTwiceIt) {
    // The walk ends a passage before its search when even this bound makes the child too weak,
    // so a bound below exp's own result would drop echoes. Tiny arguments, a sweep over every
    // scale, the points where e^(−x) is a power of two (the bound's steps) and their neighbours,
    // and exp's underflow.
    std::vector<double> xs = {0.0, 0x1p-1074, 0x1p-1022, 1e-300, 1e-20, 0x1p-53, 1e-9};
    for (double x = 1e-12; x < 1e7; x *= 1.0001) {
        xs.push_back(x);
    }
    for (int n = 1; n < 1100; ++n) {
        const double x = n * 0.6931471805599453;
        xs.insert(xs.end(), {std::nextafter(x, 0.0), x, std::nextafter(x, 1e9)});
    }
    for (double x : xs) {
        const double e = std::exp(-x);
        ASSERT_GE(ExpBound(x), e) << x;
        if (e > 0x1p-990) {
            ASSERT_LE(ExpBound(x), 2.05 * e) << x;
        }
    }
    EXPECT_EQ(ExpBound(1e300), 0x1p-1000);
    EXPECT_EQ(ExpBound(std::numeric_limits<double>::infinity()), 0x1p-1000);
    EXPECT_TRUE(std::isnan(ExpBound(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_TRUE(std::isnan(ExpBound(-1.0)));
}

} // namespace

} // namespace sonivera
