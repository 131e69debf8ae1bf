// The search indexes (grid and tree) must give exactly what the walk over every rectangle gives.
#include "RandomScene.h"
#include "SceneBuilder.h"
#include "core/tracer/RectSearch.h"
#include "reference/ReferenceTracer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace sonivera {

namespace {

// A lattice of rectangles that touch at edges and corners (ties everywhere), some of zero size,
// plus scattered ones.
void AddLattice(SceneSettings& scene, std::mt19937_64& rng, int side, double cell) {
    std::uniform_int_distribution<int> pick(0, 9);
    for (int i = 0; i < side; ++i) {
        for (int j = 0; j < side; ++j) {
            if (pick(rng) < 3) {
                continue;
            }
            const double w = pick(rng) == 0 ? 0.0 : cell;
            const double h = pick(rng) == 0 ? 0.0 : cell * 0.5;
            AddRect(scene, {.x = 10 + i * cell,
                            .y = 10 + j * cell,
                            .width = w,
                            .height = h,
                            .reflection = pick(rng) * 0.1,
                            .absorption = pick(rng) * 0.2});
        }
    }
}

class SearchIndexes : public ::testing::TestWithParam<SearchIndex> {};

TEST_P(SearchIndexes, SearchEqualsTheWalkOverEveryRectangle) {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int sceneIndex = 0; sceneIndex < 30; ++sceneIndex) {
        auto scene = SceneWithListener(0, 0);
        AddLattice(*scene, rng, 4 + sceneIndex % 10, 1.0 + sceneIndex % 3 * 2.5);
        const TraceScene flat = SnapshotScene(*scene);
        const RectSearch walk(flat, SIZE_MAX);
        const RectSearch tree(flat, 1, GetParam());
        ASSERT_TRUE(tree.UsesIndex());
        const auto n = static_cast<int>(flat.RectCount());
        for (int q = 0; q < 4000; ++q) {
            // Origins anywhere, on a rectangle's corner or on its edge; directions at any angle
            // or along the axes.
            double x = 5 + 40 * unit(rng);
            double y = 5 + 40 * unit(rng);
            const int k = static_cast<int>(unit(rng) * n);
            if (q % 3 == 1) {
                x = q % 2 ? flat.left[k] : flat.right[k];
                y = q % 5 < 2 ? flat.top[k] : flat.bottom[k];
            } else if (q % 3 == 2) {
                x = flat.left[k];
                y = flat.top[k] + (flat.bottom[k] - flat.top[k]) * unit(rng);
            }
            const double a =
                q % 7 == 0 ? (q / 7 % 4) * 1.5707963267948966 : 6.283185307179586 * unit(rng);
            const SceneRay ray{x, y, std::cos(a), q % 11 == 0 ? 0.0 : std::sin(a)};
            const int skip = q % 2 ? k : -1;
            const SearchHit expected = walk.Nearest(ray, skip);
            const SearchHit actual = tree.Nearest(ray, skip);
            ASSERT_EQ(actual.index, expected.index) << sceneIndex << " " << q;
            ASSERT_EQ(actual.dist, expected.dist) << sceneIndex << " " << q;
            // Bounded: crossings below the bound exactly as before, none else (at the bound
            // itself, just around it, or anywhere).
            const double bounds[] = {expected.dist, std::nextafter(expected.dist, 0.0),
                                     std::nextafter(expected.dist, kNoHit), 40 * unit(rng)};
            for (double beyond : bounds) {
                const SearchHit bounded = tree.Nearest(ray, skip, beyond);
                if (expected.dist < beyond) {
                    ASSERT_EQ(bounded.index, expected.index) << sceneIndex << " " << q;
                    ASSERT_EQ(bounded.dist, expected.dist) << sceneIndex << " " << q;
                } else {
                    ASSERT_TRUE(bounded.index < 0 || bounded.dist >= beyond) << sceneIndex;
                }
            }
            const double pointDist = 30 * unit(rng);
            SearchHit h1;
            SearchHit h2;
            const bool seen1 = walk.NearestUnlessBlocked(ray, pointDist, h1);
            ASSERT_EQ(tree.NearestUnlessBlocked(ray, pointDist, h2), seen1);
            if (seen1) {
                ASSERT_EQ(h2.index, h1.index);
                ASSERT_EQ(h2.dist, h1.dist);
            }
        }
    }
}

TEST_P(SearchIndexes, RaysOutsideTheErrorBoundGoToThePlainWalk) {
    auto scene = SceneWithListener(0, 0);
    std::mt19937_64 rng(1);
    AddLattice(*scene, rng, 6, 2.0);
    const TraceScene flat = SnapshotScene(*scene);
    const RectSearch tree(flat, 1, GetParam());
    const RectSearch walk(flat, SIZE_MAX);
    const double nan = std::nan("");
    for (const SceneRay& ray : {SceneRay{5, 11, nan, nan}, SceneRay{1e9, 11, -1, 0},
                                SceneRay{5, 11, 1e-300, 1}, SceneRay{5, 11, 3, 4}}) {
        const SearchHit a = tree.Nearest(ray, -1);
        const SearchHit b = walk.Nearest(ray, -1);
        EXPECT_EQ(a.index, b.index);
        EXPECT_EQ(a.dist, b.dist);
    }
}

TEST_P(SearchIndexes, LargeOverlappingRectanglesStayExactAndBounded) {
    // Rectangles spanning most of the scene would fill every cell of a fine grid; the grid gets
    // coarser (or gives way to the tree) and the results stay those of the plain walk.
    std::mt19937_64 rng(9);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto scene = SceneWithListener(0, 0);
    for (int k = 0; k < 2000; ++k) {
        AddRect(*scene, {.x = 100 * unit(rng),
                         .y = 100 * unit(rng),
                         .width = 50 + 900 * unit(rng),
                         .height = 50 + 900 * unit(rng),
                         .reflection = 0.5});
    }
    const TraceScene flat = SnapshotScene(*scene);
    const RectSearch walk(flat, SIZE_MAX);
    const RectSearch index(flat, 1, GetParam());
    ASSERT_TRUE(index.UsesIndex());
    for (int q = 0; q < 2000; ++q) {
        const double a = 6.283185307179586 * unit(rng);
        const SceneRay ray{1000 * unit(rng), 1000 * unit(rng), std::cos(a), std::sin(a)};
        const SearchHit expected = walk.Nearest(ray, q % 2000);
        const SearchHit actual = index.Nearest(ray, q % 2000);
        ASSERT_EQ(actual.index, expected.index) << q;
        ASSERT_EQ(actual.dist, expected.dist) << q;
    }
}

TEST_P(SearchIndexes, NestedRectanglesGiveADeepIndexThatStillWorks) {
    // 3000 concentric squares: splitting by cost peels them one by one, which must not make the
    // tree deeper than its search can follow.
    auto scene = SceneWithListener(0, 0);
    for (int k = 0; k < 3000; ++k) {
        AddRect(*scene, {.x = 5000.0 - k,
                         .y = 5000.0 - k,
                         .width = 2.0 * k + 1,
                         .height = 2.0 * k + 1,
                         .reflection = 0.5});
    }
    const TraceScene flat = SnapshotScene(*scene);
    const RectSearch walk(flat, SIZE_MAX);
    const RectSearch index(flat, 1, GetParam());
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int q = 0; q < 300; ++q) {
        const double a = 6.283185307179586 * unit(rng);
        const SceneRay ray{2000 + 6000 * unit(rng), 2000 + 6000 * unit(rng), std::cos(a),
                           std::sin(a)};
        const SearchHit expected = walk.Nearest(ray, -1);
        const SearchHit actual = index.Nearest(ray, -1);
        ASSERT_EQ(actual.index, expected.index) << q;
        ASSERT_EQ(actual.dist, expected.dist) << q;
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SearchIndexes,
                         ::testing::Values(SearchIndex::kGrid, SearchIndex::kTree),
                         [](const ::testing::TestParamInfo<SearchIndex>& info) {
                             return info.param == SearchIndex::kGrid ? "Grid" : "Tree";
                         });

// Without an index, searches from a sound source and from at or beyond a side of the left-out
// rectangle test only the rectangles not wholly behind that origin; the answer must be that of
// every lane.
TEST(SearchIndex, LeavingOutWhatIsBehindAKnownOriginChangesNoAnswer) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::size_t fromSource = 0;
    std::size_t fromSide = 0;
    for (int sceneIndex = 0; sceneIndex < 40; ++sceneIndex) {
        auto scene = SceneWithListener(0, 0);
        AddLattice(*scene, rng, 2 + sceneIndex % 6, 1.0 + sceneIndex % 3 * 2.5);
        AddRect(*scene, {.x = 5,
                         .y = 5,
                         .width = 60,
                         .height = 1,
                         .reflection = 0.1,
                         .absorption = 0.5}); // walls spanning the lattice
        AddRect(*scene,
                {.x = 5, .y = 5, .width = 1, .height = 60, .reflection = 0.1, .absorption = 0.5});
        const TraceScene rects = SnapshotScene(*scene);
        // Sources on corners, on sides and in the open, aligned with sides and not.
        for (int i = 0; i < 6; ++i) {
            const auto k = static_cast<std::size_t>(unit(rng) * rects.RectCount());
            const double x = i % 3 == 0 ? rects.left[k] : 5 + 40 * unit(rng);
            const double y = i % 2 == 0 ? rects.bottom[k] : 5 + 40 * unit(rng);
            AddSource(*scene, {.x = x, .y = y});
        }
        const TraceScene flat = SnapshotScene(*scene);
        const RectSearch search(flat);
        ASSERT_FALSE(search.UsesIndex());
        ASSERT_GT(search.SubsetLanes(), 0u);
        const RectLanes every(flat);
        const auto n = static_cast<int>(flat.RectCount());
        for (int q = 0; q < 3000; ++q) {
            const double a =
                q % 7 == 0 ? (q / 7 % 4) * 1.5707963267948966 : 6.283185307179586 * unit(rng);
            const double dy = q % 11 == 0 ? 0.0 : std::sin(a);
            int index;
            double dist;
            if (q % 2 == 0) {
                const int src = q / 2 % 6;
                const auto s = static_cast<std::size_t>(src);
                const SceneRay ray{flat.sourceX[s], flat.sourceY[s], std::cos(a), dy};
                const double pointDist = 40 * unit(rng);
                SearchHit hit;
                const bool seen = search.NearestUnlessBlocked(ray, pointDist, hit, src);
                ASSERT_EQ(every.Search(ray, -1, true, pointDist, index, dist), seen) << q;
                if (seen) {
                    ASSERT_EQ(hit.index, index) << sceneIndex << " " << q;
                    ASSERT_EQ(hit.dist, dist) << sceneIndex << " " << q;
                }
                ++fromSource;
            } else {
                // From a side or corner of the left-out rectangle, or near it (a passage's exit).
                const int k = static_cast<int>(unit(rng) * n);
                const auto r = static_cast<std::size_t>(k);
                const double off = q % 9 == 1 ? 0.0 : (unit(rng) - 0.5) * 1e-6 * (q % 4);
                const double x = (q % 3 == 0 ? flat.left[r] : flat.right[r]) + off;
                const double y = q % 5 < 2
                                     ? flat.top[r] + (flat.bottom[r] - flat.top[r]) * unit(rng)
                                     : (q % 5 == 2 ? flat.top[r] : flat.bottom[r]) - off;
                const SceneRay ray{x, y, std::cos(a), dy};
                const SearchHit hit = search.Nearest(ray, k);
                every.Search(ray, k, false, 0.0, index, dist);
                ASSERT_EQ(hit.index, index) << sceneIndex << " " << q;
                ASSERT_EQ(hit.dist, dist) << sceneIndex << " " << q;
                fromSide += hit.index >= 0 ? 1 : 0;
            }
        }
    }
    // An origin just inside the left-out rectangle's right side, moving right by a hair: the
    // rectangle below ends 1e-7 short of that side and is still ahead.
    auto scene = SceneWithListener(0, 0);
    AddRect(*scene,
            {.x = 0, .y = 0, .width = 10, .height = 10, .reflection = 0.1, .absorption = 0.5});
    AddRect(
        *scene,
        {.x = 0, .y = 20, .width = 10 - 1e-7, .height = 5, .reflection = 0.1, .absorption = 0.5});
    AddSource(*scene, {.x = 50, .y = 50}); // the subsets are built only for scenes with sources
    const TraceScene pair = SnapshotScene(*scene);
    const SearchHit below = RectSearch(pair).Nearest({10 - 2e-7, 10, 6.123233995736766e-17, 1}, 0);
    EXPECT_EQ(below.index, 1);
    EXPECT_EQ(below.dist, 10.0);
    EXPECT_GT(fromSide, 20000u); // the rays from sides do meet rectangles
    EXPECT_EQ(fromSource, 60000u);
}

TEST(SearchIndex, ManyRectangleScenesMatchTheReference) {
    for (std::uint64_t seed = 0; seed < 24; ++seed) {
        auto scene = MakeRandomScene(seed * 7919 + 5, 20000);
        std::mt19937_64 rng(seed);
        AddLattice(*scene, rng, 5 + static_cast<int>(seed % 4), 3.0);
        scene->params.stopTime = std::min(scene->params.stopTime, 500.0);
        scene->params.rayCount = std::min(scene->params.rayCount, 100);
        if (CountFanNodes(*scene, 50000) > 50000) {
            scene->params.noTransmission = true;
            scene->params.stopAmplitude = 0.01;
        }
        const auto expected = reference::ComputeReferenceEffectOnLargeStack(*scene);
        for (int threads : {1, 2}) {
            EffectOptions options;
            options.threads = threads;
            ComputeEffect(*scene, nullptr, options);
            ASSERT_EQ(static_cast<std::size_t>(scene->effectCount), expected.bins.size());
            ASSERT_EQ(0, std::memcmp(scene->effect.get(), expected.bins.data(),
                                     expected.bins.size() * sizeof(double)))
                << "seed " << seed;
        }
    }
}

} // namespace

} // namespace sonivera
