// The map of what each source sees must give the exact visibility search's answer wherever it
// gives one: at random points, at points on and next to shadow edges, and behind rectangles a
// hair's breadth in front of a side.
#include "core/tracer/VisibilityMap.h"
#include "RandomScene.h"
#include "SceneBuilder.h"
#include "core/tracer/RectSearch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <thread>

namespace sonivera {

namespace {

// The answer of the walker's visibility check for source s and a point on rectangle q, computed
// as the walker computes it, by the exact search.
VisibilityMap::State Exact(const TraceScene& sc, const RectSearch& exact, std::size_t s,
                           std::size_t q, double px, double py) {
    const double ex = px - sc.sourceX[s];
    const double ey = py - sc.sourceY[s];
    const double dist = std::sqrt(ex * ex + ey * ey);
    const SceneRay toPoint{sc.sourceX[s], sc.sourceY[s], ex / dist, ey / dist};
    SearchHit h;
    if (!exact.NearestUnlessBlocked(toPoint, dist, h, static_cast<int>(s))) {
        return VisibilityMap::kHidden;
    }
    if (h.index == static_cast<int>(q) && std::fabs(h.dist - dist) < kSeenWithin) {
        return VisibilityMap::kSeen;
    }
    return VisibilityMap::kUndecided; // seen on another rectangle, or not at all
}

struct Tally {
    std::uint64_t decided = 0;
    std::uint64_t wrong = 0;
    std::string first;
};

// Checks the map at (px, py) on q for every source.
void CheckPoint(const TraceScene& sc, const VisibilityMap& map, const RectSearch& exact,
                std::size_t q, double px, double py, Tally& tally) {
    const std::int64_t cell = map.CellAt(q, px, py);
    if (cell < 0) {
        return;
    }
    for (std::size_t s = 0; s < sc.sourceX.size(); ++s) {
        const VisibilityMap::State said = map.At(cell, s);
        if (said == VisibilityMap::kUndecided) {
            continue;
        }
        ++tally.decided;
        const VisibilityMap::State truth = Exact(sc, exact, s, q, px, py);
        if (truth != said && tally.wrong++ == 0) {
            char buf[200];
            std::snprintf(buf, sizeof buf,
                          "rect %zu source %zu point (%.17g, %.17g): map %d, exact %d", q, s, px,
                          py, static_cast<int>(said), static_cast<int>(truth));
            tally.first = buf;
        }
    }
}

// Points along every side of every rectangle: random ones, and those where the line from a
// source through a rectangle's corner meets the side, moved by 0, 1 ulp and a ladder of small
// distances either way; each also one ulp off the side's line.
void CheckScene(const TraceScene& sc, const VisibilityMap& map, std::mt19937_64& rng,
                int randomPerSide, Tally& tally) {
    const RectSearch exact(sc, kIndexFromRects, SearchIndex::kGrid, RectLanes::Best(),
                           VisibilityUse::kNone);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double steps[] = {0.0, 1e-12, 1e-9, 1e-7, 1e-5, 1e-4, 5e-4, 1e-3, 2e-3, 1e-2};
    for (std::size_t q = 0; q < sc.RectCount(); ++q) {
        for (int side = 0; side < 4; ++side) {
            const bool vertical = side < 2;
            const double line = side == 0   ? sc.left[q]
                                : side == 1 ? sc.right[q]
                                : side == 2 ? sc.top[q]
                                            : sc.bottom[q];
            const double lo = vertical ? sc.top[q] : sc.left[q];
            const double hi = vertical ? sc.bottom[q] : sc.right[q];
            const auto check = [&](double along) {
                if (!(along >= lo && along <= hi)) {
                    return;
                }
                for (double off :
                     {line, std::nextafter(line, -1e300), std::nextafter(line, 1e300)}) {
                    if (vertical) {
                        CheckPoint(sc, map, exact, q, off, along, tally);
                    } else {
                        CheckPoint(sc, map, exact, q, along, off, tally);
                    }
                }
            };
            for (int i = 0; i < randomPerSide; ++i) {
                check(lo + (hi - lo) * unit(rng));
            }
            for (std::size_t s = 0; s < sc.sourceX.size(); ++s) {
                const double so = vertical ? sc.sourceX[s] : sc.sourceY[s];
                const double sa = vertical ? sc.sourceY[s] : sc.sourceX[s];
                for (std::size_t k = 0; k < sc.RectCount(); ++k) {
                    const double cornersO[2] = {vertical ? sc.left[k] : sc.top[k],
                                                vertical ? sc.right[k] : sc.bottom[k]};
                    const double cornersA[2] = {vertical ? sc.top[k] : sc.left[k],
                                                vertical ? sc.bottom[k] : sc.right[k]};
                    for (double co : cornersO) {
                        for (double ca : cornersA) {
                            if (co == so) {
                                continue;
                            }
                            const double edge = sa + (ca - sa) * ((line - so) / (co - so));
                            for (double step : steps) {
                                check(edge + step);
                                check(edge - step);
                            }
                            check(std::nextafter(edge, -1e300));
                            check(std::nextafter(edge, 1e300));
                        }
                    }
                }
            }
        }
    }
}

// A wall whose upper side faces three sources, a thin rectangle whose near side is `gap` in
// front of part of it, and one reaching from `gap` in front into the wall.
TraceScene WallBehindAThinRectangle(double gap) {
    TraceScene sc;
    const auto rect = [&](double l, double t, double r, double b) {
        sc.left.push_back(l);
        sc.top.push_back(t);
        sc.right.push_back(r);
        sc.bottom.push_back(b);
        sc.absorption.push_back(0.1);
        sc.reflection.push_back(0.5);
    };
    rect(0.0, 10.0, 20.0, 11.0);
    rect(4.0, 10.0 - gap, 9.0, 10.0 - 0.25 * gap);
    rect(11.0, 10.0 - gap, 16.0, 10.3);
    for (double x : {10.0, 3.0, 17.5}) {
        sc.sourceX.push_back(x);
        sc.sourceY.push_back(2.0);
        sc.sourcePower.push_back(1.0);
    }
    return sc;
}

} // namespace

TEST(VisibilityMap, EveryAnswerOnRandomScenesAndHallsIsTheExactSearchs) {
    std::mt19937_64 rng(7);
    Tally tally;
    std::uint64_t cells[3] = {0, 0, 0};
    for (std::uint64_t seed = 0; seed < 60; ++seed) {
        const auto scene =
            seed % 2 == 0 ? MakeRandomHall(seed, 20000) : MakeRandomScene(seed, 20000);
        const TraceScene sc = SnapshotScene(*scene);
        const VisibilityMap map(sc);
        // Filled by three threads at once, a rectangle at a time: the same map.
        VisibilityMap shared(sc, false, {}, VisibilityMap::kUnfilled);
        std::atomic<std::size_t> next{0};
        {
            std::jthread a([&] { shared.Fill(next); });
            std::jthread b([&] { shared.Fill(next); });
            shared.Fill(next);
        }
        ASSERT_TRUE(shared == map) << "seed " << seed;
        std::uint64_t c[3];
        map.Count(c);
        for (int i = 0; i < 3; ++i) {
            cells[i] += c[i];
        }
        CheckScene(sc, map, rng, 40, tally);
        ASSERT_EQ(tally.wrong, 0u) << "seed " << seed << ": " << tally.first;
    }
    // The map decides most of what it covers, so the comparison above is not empty.
    EXPECT_GT(tally.decided, 200000u);
    EXPECT_GT(cells[1] + cells[2], 4 * cells[0]);
}

TEST(VisibilityMap, ARectangleLessThanTheSeenDistanceInFrontOfASideDecidesNothingThere) {
    // 0.0004 to 0.00099 in front: the search meets the thin rectangle first and within 0.001 of
    // the point, so the point is seen on that rectangle, not on the wall, and not hidden either.
    // From 0.001 on it hides the points straight behind it.
    std::mt19937_64 rng(11);
    for (double gap : {0.0004, 0.0007, 0.00095, 0.00099, 0.00101, 0.0013, 0.002}) {
        const TraceScene sc = WallBehindAThinRectangle(gap);
        const VisibilityMap map(sc);
        Tally tally;
        CheckScene(sc, map, rng, 4000, tally);
        EXPECT_EQ(tally.wrong, 0u) << "gap " << gap << ": " << tally.first;
        EXPECT_GT(tally.decided, 1000u) << "gap " << gap;
    }
}

TEST(VisibilityMap, NothingIsDecidedWhereCoordinatesAreNotBoundedOrNothingCanBeSeen) {
    TraceScene sc = WallBehindAThinRectangle(0.01);
    sc.left[1] = 1e17;
    sc.right[1] = 1e17 + 16;
    EXPECT_TRUE(VisibilityMap(sc).Empty());
    sc.left[1] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(VisibilityMap(sc).Empty());
    sc = WallBehindAThinRectangle(0.01);
    sc.sourceX.clear();
    sc.sourceY.clear();
    sc.sourcePower.clear();
    EXPECT_TRUE(VisibilityMap(sc).Empty());
    // A point off every side, or beyond a side's end, has no cell.
    sc = WallBehindAThinRectangle(0.01);
    const VisibilityMap map(sc);
    EXPECT_EQ(map.CellAt(0, 5.0, 10.5), -1);
    EXPECT_EQ(map.CellAt(0, -0.5, 10.0), -1);
    EXPECT_GE(map.CellAt(0, 5.0, 10.0), 0);
}

// Weakened margins must be caught by the checks above, so they are known to see such faults:
// the depth halved (a rectangle 0.0007 in front of a side taken for a hiding one), and the
// rounding margin or the source's clearance taken away (a ray grazing a corner, a source on a
// side's line). Halving those two keeps every answer right: they exceed the rounding they cover
// by 2^16 (VisibilityMap.cpp), and the checks still pass at 2^-50 of the coordinates' bound.
TEST(VisibilityMap, WeakenedMarginsAreCaught) {
    VisibilityMargins depth;
    depth.seenWithin = kSeenWithin * 0.5;
    VisibilityMargins rounding;
    rounding.rounding = 0.0;
    VisibilityMargins clearance;
    clearance.sourceClear = 0.0;
    for (const VisibilityMargins& weak : {depth, rounding, clearance}) {
        std::mt19937_64 rng(11);
        Tally tally;
        for (double gap : {0.0007, 0.00095}) {
            const TraceScene sc = WallBehindAThinRectangle(gap);
            CheckScene(sc, VisibilityMap(sc, false, weak), rng, 2000, tally);
        }
        for (std::uint64_t seed = 0; seed < 6 && tally.wrong == 0; ++seed) {
            const auto scene =
                seed % 2 == 0 ? MakeRandomHall(seed, 20000) : MakeRandomScene(seed, 20000);
            const TraceScene sc = SnapshotScene(*scene);
            CheckScene(sc, VisibilityMap(sc, false, weak), rng, 40, tally);
        }
        EXPECT_GT(tally.wrong, 0u)
            << weak.seenWithin << " " << weak.rounding << " " << weak.sourceClear;
    }
}

} // namespace sonivera
