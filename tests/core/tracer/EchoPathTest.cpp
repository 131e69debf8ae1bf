// The echo paths kept on request: the kept set is the strongest K of the reference's echoes per
// source, the same at any thread count, and asking for them changes no byte of the effect.
#include "core/tracer/EchoPath.h"
#include "RandomScene.h"
#include "SceneBuilder.h"
#include "core/tracer/ComputeEffectDetail.h"
#include "core/tracer/MemoryBudget.h"
#include "core/tracer/PathKeeper.h"
#include "reference/ReferenceTracer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>
#include <vector>

namespace sonivera {

namespace {

// The strongest `k` logged echoes of each source, by source and strongest first.
std::vector<reference::LoggedEcho> StrongestPerSource(std::vector<reference::LoggedEcho> echoes,
                                                      std::size_t k) {
    std::stable_sort(echoes.begin(), echoes.end(), [](const auto& a, const auto& b) {
        if (a.source != b.source) {
            return a.source < b.source;
        }
        return RanksBefore(a.amplitude, a.ray, a.order, b.amplitude, b.ray, b.order);
    });
    std::vector<reference::LoggedEcho> kept;
    std::map<int, std::size_t> taken;
    for (const auto& e : echoes) {
        if (taken[e.source]++ < k) {
            kept.push_back(e);
        }
    }
    return kept;
}

double PolylineLength(const std::vector<PathPoint>& points) {
    double length = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        length += std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
    }
    return length;
}

TEST(EchoPaths, KeptSetIsTheStrongestOfTheReferenceEchoesAtAnyThreadCount) {
    constexpr int kScenes = 400;
    std::size_t compared = 0;
    std::size_t withPassages = 0;
    for (int n = 0; n < kScenes; ++n) {
        const std::uint64_t seed = 7000000u + static_cast<std::uint64_t>(n);
        auto scene = MakeRandomScene(seed, 30000);
        const auto expected = reference::ComputeReferenceEffectOnLargeStack(*scene, true);
        const std::size_t k = n % 5 == 0 ? 0 : (n % 5 == 1 ? 200 : static_cast<std::size_t>(n % 7));
        const auto strongest = StrongestPerSource(expected.echoes, k);

        EffectOptions plain;
        ComputeEffect(*scene, nullptr, plain);
        const std::vector<double> bins(scene->effect.get(),
                                       scene->effect.get() + scene->effectCount);

        for (int threads : {1, 2, 3}) {
            EngineTuning tuning;
            tuning.serialRays = threads == 3 ? 3 : 0;
            tuning.serialSeconds = 1e9;
            tuning.poolAtOnceSeconds = 1e9;
            EchoPathRequest request;
            request.perSource = k;
            EffectOptions options;
            options.threads = threads;
            options.paths = &request;
            ComputeEffectTuned(*scene, nullptr, options, tuning);
            const std::string where =
                "seed " + std::to_string(seed) + ", threads " + std::to_string(threads);
            ASSERT_EQ(0,
                      std::memcmp(scene->effect.get(), bins.data(), bins.size() * sizeof(double)))
                << where;
            ASSERT_EQ(request.paths.size(), strongest.size()) << where;
            for (std::size_t i = 0; i < strongest.size(); ++i) {
                const EchoPath& p = request.paths[i];
                const auto& e = strongest[i];
                ASSERT_EQ(std::tie(p.source, p.ray, p.order, p.bin),
                          std::tie(e.source, e.ray, e.order, e.bin))
                    << where << ", path " << i;
                ASSERT_EQ(p.delay, e.delay) << where;
                ASSERT_EQ(p.amplitude, e.amplitude) << where;
                ++compared;
                withPassages += p.passages > 0 ? 1 : 0;
                // The polyline runs from the listener to its source and is as long as the delay
                // says, up to the rounding of the legs (and the 0.001 steps of passages).
                ASSERT_GE(p.points.size(), 2u);
                const auto* listener = scene->FirstObject();
                EXPECT_EQ(p.points.front().x, listener->m_x);
                EXPECT_EQ(p.points.front().y, listener->m_y);
                // One point per leg and one for the source; every leg after the ray's first
                // is a reflection or a passage, and the last point may add a reflection.
                if (p.ray < 0) {
                    EXPECT_EQ(p.points.size(), 2u) << where;
                } else {
                    const auto legsAfterFirst = static_cast<std::int32_t>(p.points.size()) - 3;
                    EXPECT_GE(legsAfterFirst - p.passages, p.reflections - 1) << where;
                    EXPECT_LE(legsAfterFirst - p.passages, p.reflections) << where;
                }
                const double length = PolylineLength(p.points);
                EXPECT_NEAR(length, p.delay * 300.0, 1e-6 * (1.0 + length) + 0.002 * p.passages)
                    << where;
            }
        }
    }
    // The scenes are not vacuous: many paths, passages among them.
    EXPECT_GT(compared, 2000u);
    EXPECT_GT(withPassages, 100u);
}

TEST(EchoPaths, OneWallGivesTheDirectSoundAndOneReflection) {
    // Listener and source 10 m apart in front of a wall 5 m away: the direct sound (two points)
    // and the mirror path over the wall (three points, one reflection) are the strongest.
    auto scene = SceneWithListener(0, 0);
    AddSource(*scene, {.x = 10, .y = 0, .power = 1.0});
    AddRect(*scene, {.x = -100, .y = 5, .width = 200, .height = 1, .reflection = 0.5});
    scene->params.rayCount = 1000;
    EchoPathRequest request;
    request.perSource = 2;
    EffectOptions options;
    options.paths = &request;
    ComputeEffect(*scene, nullptr, options);
    ASSERT_EQ(request.paths.size(), 2u);
    const EchoPath& direct = request.paths[0];
    EXPECT_EQ(direct.ray, -1);
    EXPECT_EQ(direct.amplitude, 1.0);
    EXPECT_EQ((std::tie(direct.reflections, direct.passages)), std::make_tuple(0, 0));
    ASSERT_EQ(direct.points.size(), 2u);
    EXPECT_EQ(direct.points[1].x, 10.0);
    const EchoPath& mirror = request.paths[1];
    EXPECT_EQ((std::tie(mirror.reflections, mirror.passages)), std::make_tuple(1, 0));
    ASSERT_EQ(mirror.points.size(), 3u);
    EXPECT_EQ(mirror.points[1].y, 5.0);
    // The strongest point on the wall is the one facing the source head-on (cosine 1).
    EXPECT_NEAR(mirror.points[1].x, 10.0, 0.2);
    EXPECT_NEAR(mirror.amplitude, 0.5, 1e-3);
}

TEST(EchoPaths, PassageThroughAWallIsCounted) {
    // A thin wall without absorption between the listener and a reflecting wall beyond: rays
    // through it pass once on their way out and reach the source straight from the far wall.
    auto scene = SceneWithListener(0, 0);
    AddSource(*scene, {.x = 0, .y = -20, .power = 1.0});
    AddRect(*scene, {.x = -1,
                     .y = 10,
                     .width = 2,
                     .height = 0.5,
                     .reflection = 0.0,
                     .absorption = 0.0}); // passable, reflects nothing
    AddRect(*scene,
            {.x = -50, .y = 20, .width = 100, .height = 1, .reflection = 1.0}); // the far wall
    AddRect(*scene, {.x = -50,
                     .y = -21,
                     .width = 100,
                     .height = 0.5,
                     .reflection = 0.0}); // a dead wall behind the source
    scene->params.rayCount = 360;
    EchoPathRequest request;
    EffectOptions options;
    options.paths = &request;
    ComputeEffect(*scene, nullptr, options);
    bool sawPassage = false;
    for (const EchoPath& p : request.paths) {
        if (p.passages > 0) {
            sawPassage = true;
            EXPECT_EQ(p.points.size(), 4u); // listener, entry into the thin wall, far wall, source
            EXPECT_EQ(p.reflections, 1);
        }
    }
    EXPECT_TRUE(sawPassage);
}

TEST(EchoPaths, PathsBeyondTheMemoryBudgetAreRefusedBeforeOrWhenTheyOutgrowIt) {
    auto scene = SceneWithListener(0, 0);
    for (int i = 0; i < 50; ++i) {
        AddSource(*scene, {.x = 10.0 + i, .y = 3, .power = 1.0});
    }
    AddRect(*scene, {.x = -100, .y = 5, .width = 200, .height = 1, .reflection = 0.5});
    scene->params.rayCount = 2000;
    ComputeEffect(*scene, nullptr);
    const std::vector<double> before(scene->effect.get(), scene->effect.get() + scene->effectCount);
    EchoPathRequest request;
    request.perSource = 100000;
    EffectOptions options;
    options.paths = &request;
    options.threads = 2;
    // 50 sources × 2 001 paths (one a ray) on 3 keepers cannot fit 16 MiB at two points a path.
    options.memoryBudget = std::uint64_t{16} << 20;
    try {
        ComputeEffect(*scene, nullptr, options);
        ADD_FAILURE() << "not refused";
    } catch (const EffectMemoryError& e) {
        EXPECT_NE(std::string(e.what()).find("would need at least"), std::string::npos);
    }
    // Enough for the smallest paths but not for what is really kept: stopped, and the previous
    // effect stays.
    request.perSource = 200;
    options.memoryBudget = KeptPathsFloorBytes(50, 200, 3);
    EXPECT_THROW(ComputeEffect(*scene, nullptr, options), EffectMemoryError);
    EXPECT_EQ(std::vector<double>(scene->effect.get(), scene->effect.get() + scene->effectCount),
              before);
    // With the machine's budget the same request goes through.
    options.memoryBudget = 0;
    ComputeEffect(*scene, nullptr, options);
    EXPECT_FALSE(request.paths.empty());
}

TEST(PathKeeper, HoldsAtMostKPerSourceAndEndsWithTheStrongest) {
    PathKeeper keeper(3, 2);
    std::vector<EchoPath> offered;
    for (std::uint32_t i = 0; i < 1000; ++i) {
        EchoPath p;
        p.source = static_cast<std::int32_t>(i % 2);
        p.amplitude = static_cast<double>((i * 7919u) % 101u); // many ties
        p.ray = static_cast<std::int32_t>(i / 10);
        p.order = i % 10;
        p.points.resize(4);
        offered.push_back(p);
        if (keeper.Wants(p.source, p.amplitude, p.ray, p.order)) {
            EchoPath copy = p;
            keeper.Keep(copy);
        }
        ASSERT_LE(keeper.Size(), 6u);
    }
    std::stable_sort(offered.begin(), offered.end(), [](const EchoPath& a, const EchoPath& b) {
        return a.source != b.source ? a.source < b.source : RanksBefore(a, b);
    });
    const std::vector<EchoPath> kept = keeper.Take();
    ASSERT_EQ(kept.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        const EchoPath& e = offered[(i / 3) * 500 + i % 3];
        EXPECT_EQ(std::tie(kept[i].source, kept[i].amplitude, kept[i].ray, kept[i].order),
                  std::tie(e.source, e.amplitude, e.ray, e.order));
    }
    EXPECT_EQ(keeper.Size(), 0u);

    PathKeeper none(0, 1);
    EXPECT_FALSE(none.Wants(0, 1e9, -1, 0));
}

} // namespace

} // namespace sonivera
