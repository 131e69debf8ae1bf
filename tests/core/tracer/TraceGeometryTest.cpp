#include "SceneBuilder.h"
#include "core/tracer/RectSearch.h"

#include <gtest/gtest.h>

#include <random>

namespace sonivera {

namespace {

TEST(TraceGeometry, FlatIntersectionEqualsTheRectangleOwn) {
    // The flat copy must reproduce CRectObject::IntersectRay bit for bit, hits and misses alike,
    // including rays starting on edge lines, zero-size rectangles and axis-parallel rays.
    std::mt19937_64 rng(7);
    std::uniform_int_distribution<int> coord(0, 20);
    std::uniform_real_distribution<double> angle(0.0, 6.283185307179586);
    for (int n = 0; n < 20000; ++n) {
        auto scene = SceneWithListener(0, 0);
        CRectObject* rect = AddRect(*scene, {.x = static_cast<double>(coord(rng)),
                                             .y = static_cast<double>(coord(rng)),
                                             .width = coord(rng) % 4 * 2.5,
                                             .height = coord(rng) % 3 * 1.5,
                                             .reflection = 0.5});
        const TraceScene flat = SnapshotScene(*scene);
        const double a = n % 8 == 0 ? (n / 8 % 4) * 1.5707963267948966 : angle(rng);
        const SceneRay ray{static_cast<double>(coord(rng)), n % 3 == 0 ? rect->m_y : coord(rng),
                           std::cos(a), n % 16 == 0 ? 0.0 : std::sin(a)};
        double expected = -1.0;
        double actual = -2.0;
        const bool expectedHit = rect->IntersectRay(ray, &expected);
        ASSERT_EQ(IntersectRect(flat, 0, ray, actual), expectedHit) << n;
        ASSERT_EQ(actual, expected) << n;
    }
}

TEST(TraceGeometry, NearestHitSearch) {
    auto scene = SceneWithListener(0, 0);
    const TraceScene empty = SnapshotScene(*scene);
    SearchHit none = RectSearch(empty).Nearest(SceneRay{0, 5, 1, 0}, -1);
    EXPECT_EQ(none.index, -1);
    EXPECT_EQ(none.dist, 1.7e308);

    AddSource(*scene, {.x = 5, .y = 5}); // sources and the listener are never hit
    AddRect(*scene, {.x = 10, .y = 0, .width = 5, .height = 10, .reflection = 0.5});
    AddRect(*scene, {.x = 10,
                     .y = 2,
                     .width = 5,
                     .height = 10,
                     .reflection = 0.5}); // the same left edge at x = 10
    AddRect(*scene, {.x = 30, .y = 0, .width = 5, .height = 10, .reflection = 0.5});
    const TraceScene flat = SnapshotScene(*scene);
    const RectSearch search(flat);
    SearchHit tie = search.Nearest(SceneRay{0, 5, 1, 0}, -1);
    EXPECT_EQ(tie.index, 0); // the earlier rectangle wins the tie
    EXPECT_EQ(tie.dist, 10.0);
    EXPECT_EQ(search.Nearest(SceneRay{0, 5, 1, 0}, 0).index, 1);

    // From a point on a side: found again at 0 unless left out.
    SearchHit again = search.Nearest(SceneRay{15, 5, 1, 0}, -1);
    EXPECT_EQ(again.index, 0);
    EXPECT_EQ(again.dist, 0.0);
    SearchHit onwards = search.Nearest(SceneRay{15, 5, 1, 0}, 0);
    EXPECT_EQ(onwards.index, 1); // rectangle 1 also has its right side at x = 15
    EXPECT_EQ(onwards.dist, 0.0);
}

TEST(TraceGeometry, VisibilitySearchStopsOnlyWhenHidden) {
    auto scene = SceneWithListener(0, 0);
    AddRect(*scene, {.x = 10, .y = 0, .width = 5, .height = 10, .reflection = 0.5});
    AddRect(*scene, {.x = 20, .y = 0, .width = 5, .height = 10, .reflection = 0.5});
    const TraceScene flat = SnapshotScene(*scene);
    const RectSearch search(flat);
    SearchHit hit;
    EXPECT_FALSE(search.NearestUnlessBlocked(SceneRay{0, 5, 1, 0}, 20.0, hit));
    // The point at the first rectangle itself, and a point short of it by less than 0.001.
    ASSERT_TRUE(search.NearestUnlessBlocked(SceneRay{0, 5, 1, 0}, 10.0, hit));
    EXPECT_EQ(hit.index, 0);
    ASSERT_TRUE(search.NearestUnlessBlocked(SceneRay{0, 5, 1, 0}, 10.0009, hit));
    EXPECT_EQ(hit.dist, 10.0);
    // A point before any rectangle: the full result comes back for the caller to judge.
    ASSERT_TRUE(search.NearestUnlessBlocked(SceneRay{0, 5, 1, 0}, 3.0, hit));
    EXPECT_EQ(hit.index, 0);
}

TEST(TraceGeometry, SideNormalTakesLeftOrRightAtCornersAndZeroOffTheOutline) {
    auto scene = SceneWithListener(0, 0);
    AddRect(*scene, {.x = 10, .y = 20, .width = 5, .height = 10, .reflection = 0.5});
    const TraceScene flat = SnapshotScene(*scene);
    double nx, ny;
    SideNormal(flat, 0, 10, 20, nx, ny);
    EXPECT_EQ(nx, -1.0);
    EXPECT_EQ(ny, 0.0);
    SideNormal(flat, 0, 15, 30, nx, ny);
    EXPECT_EQ(nx, 1.0);
    EXPECT_EQ(ny, 0.0);
    SideNormal(flat, 0, 12, 20, nx, ny);
    EXPECT_EQ(ny, -1.0);
    SideNormal(flat, 0, 12, 30, nx, ny);
    EXPECT_EQ(ny, 1.0);
    SideNormal(flat, 0, 12, std::nextafter(30.0, 0.0), nx, ny);
    EXPECT_EQ(nx, 0.0);
    EXPECT_EQ(ny, 0.0);
}

} // namespace

} // namespace sonivera
