// Every instruction set of the block intersection gives, lane for lane, the bits of the scalar
// IntersectRect on the same rectangles and rays, special values included; and its search over
// every block gives the scalar walk's nearest rectangle and visibility answer.
#include "core/tracer/RectLanes.h"
#include "core/tracer/RectGrid.h"
#include "core/tracer/SearchHit.h"
#include "core/tracer/SlabFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace sonivera {

namespace {

TraceScene RandomRects(std::mt19937_64& rng, std::size_t count) {
    std::uniform_int_distribution<int> pick(0, 9);
    std::uniform_real_distribution<double> real(-50.0, 50.0);
    TraceScene s;
    for (std::size_t k = 0; k < count; ++k) {
        const double x = pick(rng) < 5 ? std::round(real(rng)) : real(rng);
        const double y = pick(rng) < 5 ? std::round(real(rng)) : real(rng);
        const double w = pick(rng) == 0 ? 0.0 : std::fabs(std::round(real(rng) / 4));
        const double h = pick(rng) == 0 ? 0.0 : std::fabs(real(rng) / 4);
        s.left.push_back(x);
        s.top.push_back(y);
        s.right.push_back(x + w);
        s.bottom.push_back(y + h);
    }
    if (count > 3) { // a side that is not finite
        s.right[3] = std::numeric_limits<double>::infinity();
    }
    return s;
}

SceneRay RandomRay(std::mt19937_64& rng, const TraceScene& s) {
    std::uniform_int_distribution<int> pick(0, 15);
    std::uniform_real_distribution<double> real(-60.0, 60.0);
    std::uniform_real_distribution<double> angle(0.0, 6.283185307179586);
    SceneRay r{real(rng), real(rng), 0.0, 0.0};
    // Origins on a side, at a corner, directions along the axes (±0 included), unit, not unit,
    // tiny, infinite and NaN.
    const std::size_t k = static_cast<std::size_t>(pick(rng)) % s.RectCount();
    switch (pick(rng)) {
    case 0:
        r.x0 = s.left[k];
        break;
    case 1:
        r.y0 = s.bottom[k];
        break;
    case 2:
        r.x0 = s.right[k];
        r.y0 = s.top[k];
        break;
    default:
        break;
    }
    const double a = angle(rng);
    r.dx = std::cos(a);
    r.dy = std::sin(a);
    const double specials[] = {0.0,
                               -0.0,
                               1.0,
                               -1.0,
                               1e-300,
                               6.123233995736766e-17,
                               std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN(),
                               3.0};
    switch (pick(rng)) {
    case 0:
        r.dx = specials[static_cast<std::size_t>(pick(rng)) % std::size(specials)];
        break;
    case 1:
        r.dy = specials[static_cast<std::size_t>(pick(rng)) % std::size(specials)];
        break;
    case 2:
        r.dx = 0.0;
        r.dy = pick(rng) < 8 ? 1.0 : -1.0;
        break;
    default:
        break;
    }
    return r;
}

// The plain walk: every rectangle in order, strict <, the left-out one skipped; with a point
// distance, false at the first rectangle taken that lies nearer than the point by 0.001 or more.
bool ScalarSearch(const TraceScene& s, const SceneRay& r, int skip, bool visibility,
                  double pointDist, int& index, double& dist) {
    index = -1;
    dist = kNoHit;
    for (std::size_t k = 0; k < s.RectCount(); ++k) {
        double t;
        if (static_cast<int>(k) != skip && IntersectRect(s, k, r, t) && t < dist) {
            dist = t;
            index = static_cast<int>(k);
            if (visibility && t - pointDist <= -0.001) {
                return false;
            }
        }
    }
    return true;
}

TEST(RectLanes, EveryInstructionSetGivesTheScalarBits) {
    std::mt19937_64 rng(7);
    const auto isas = RectLanes::Available();
    ASSERT_GE(isas.size(), 2u); // scalar and the baseline vectors at least
    std::size_t compared = 0;
    std::size_t hits = 0;
    for (int scene = 0; scene < 200; ++scene) {
        const TraceScene s = RandomRects(rng, 1 + static_cast<std::size_t>(scene % 21));
        for (int ray = 0; ray < 200; ++ray) {
            const SceneRay r = RandomRay(rng, s);
            for (RectLanes::Isa isa : isas) {
                // Near rectangles side by side, or in list order every other scene.
                const RectLanes lanes(s, isa,
                                      scene % 2 == 0 ? RectLanes::LaneOrder::kSpatial
                                                     : RectLanes::LaneOrder::kList);
                ASSERT_EQ(lanes.Used(), isa);
                const int skip = ray % 3 == 0 ? -1 : ray % static_cast<int>(s.RectCount());
                const bool visibility = ray % 2 == 0;
                const double pointDist = static_cast<double>(ray % 50);
                int index, expectedIndex;
                double dist, expectedDist;
                ASSERT_EQ(
                    lanes.Search(r, skip, visibility, pointDist, index, dist),
                    ScalarSearch(s, r, skip, visibility, pointDist, expectedIndex, expectedDist));
                if (!visibility || expectedIndex < 0 || expectedDist - pointDist > -0.001) {
                    // A hidden point may be named by any rectangle that hides it.
                    ASSERT_EQ(index, expectedIndex) << RectLanes::Name(isa);
                    ASSERT_EQ(0, std::memcmp(&dist, &expectedDist, sizeof(double)));
                }
                for (std::size_t b = 0; b < lanes.Blocks(); ++b) {
                    double t[RectLanes::kBlock];
                    std::int64_t hit[RectLanes::kBlock];
                    lanes.Intersect(b, r, t, hit);
                    for (std::size_t i = 0; i < RectLanes::kBlock; ++i) {
                        const std::int32_t k = lanes.RectOrder()[b * RectLanes::kBlock + i];
                        double expectedT = kNoHit;
                        const bool expectedHit =
                            k >= 0 && IntersectRect(s, static_cast<std::size_t>(k), r, expectedT);
                        ASSERT_EQ(hit[i] != 0, expectedHit)
                            << RectLanes::Name(isa) << " rect " << k;
                        ASSERT_EQ(0, std::memcmp(&t[i], &expectedT, sizeof(double)))
                            << RectLanes::Name(isa) << " rect " << k << ": " << t[i] << " vs "
                            << expectedT;
                        ++compared;
                        hits += expectedHit ? 1 : 0;
                    }
                }
            }
        }
    }
    EXPECT_GT(compared, 100000u);
    EXPECT_GT(hits, compared / 50); // rays do meet rectangles
}

// Scenes per scale of the adversarial checks below: 40 in CI; SONIVERA_FILTER_SCENES asks for
// the longer run of bench/README.md.
int AdversarialScenes() {
    const char* wanted = std::getenv("SONIVERA_FILTER_SCENES");
    return wanted != nullptr && std::atoi(wanted) > 0 ? std::atoi(wanted) : 40;
}

// Rectangles at `scale`: a lattice whose neighbours share sides and corners (ties everywhere),
// tiny ones (a millionth of a cell and a billionth), zero-width ones, and scattered ones.
TraceScene AdversarialRects(std::mt19937_64& rng, double scale) {
    std::uniform_real_distribution<double> real(-8.0, 8.0);
    TraceScene s;
    const auto add = [&](double l, double t, double r, double b) {
        s.left.push_back(l * scale);
        s.top.push_back(t * scale);
        s.right.push_back(r * scale);
        s.bottom.push_back(b * scale);
    };
    for (int i = -2; i < 2; ++i) {
        for (int j = -2; j < 2; ++j) {
            add(i, j, i + 1, j + 1);
        }
    }
    const double x = real(rng);
    const double y = real(rng);
    add(x, y, x + 1e-6, y + 1e-6);
    add(y, x, y + 1e-9, x + 1e-9);
    add(x, y, x, y + 2.0);
    for (int k = 0; k < 5; ++k) {
        const double a = real(rng);
        const double b = real(rng);
        add(a, b, a + std::fabs(real(rng)) / 4, b + std::fabs(real(rng)) / 4);
    }
    return s;
}

// A ray aimed at a corner of some rectangle, or one ulp beside it, or grazing a side (along it,
// or at an angle of about 1e-17 or 1e-9), from an origin in the scene or on a side.
SceneRay AdversarialRay(std::mt19937_64& rng, const TraceScene& s, double& cornerDist) {
    std::uniform_int_distribution<int> pick(0, 7);
    std::uniform_real_distribution<double> real(-9.0, 9.0);
    const double scale = std::fabs(s.right[0] - s.left[0]);
    const std::size_t k = static_cast<std::size_t>(pick(rng) * 3) % s.RectCount();
    SceneRay r{real(rng) * scale, real(rng) * scale, 0.0, 0.0};
    const double cx = pick(rng) < 4 ? s.left[k] : s.right[k];
    const double cy = pick(rng) < 4 ? s.top[k] : s.bottom[k];
    switch (pick(rng) % 4) {
    case 0: { // grazing the side x = cx from below or above
        r.x0 = cx;
        const double tilt = pick(rng) < 4 ? 1e-17 : 1e-9;
        r.dy = pick(rng) < 4 ? 1.0 : -1.0;
        r.dx = pick(rng) < 3 ? 0.0 : (pick(rng) < 4 ? tilt : -tilt);
        break;
    }
    default: { // at the corner, or one ulp beside it
        const double ex = cx - r.x0;
        const double ey = cy - r.y0;
        const double len = std::sqrt(ex * ex + ey * ey);
        r.dx = ex / len;
        r.dy = ey / len;
        switch (pick(rng) % 4) {
        case 0:
            r.dx = std::nextafter(r.dx, 2.0);
            break;
        case 1:
            r.dy = std::nextafter(r.dy, -2.0);
            break;
        default:
            break;
        }
        break;
    }
    }
    const double ex = cx - r.x0;
    const double ey = cy - r.y0;
    cornerDist = std::sqrt(ex * ex + ey * ey);
    return r;
}

// run(margin, wrong) checks `count` cases or more with the filter's margin and finds none wrong;
// with the margin taken away it must find some.
template <class Run> void ExpectRightWithTheMarginAndCaughtWithout(Run run, std::size_t count) {
    std::size_t wrong = 0;
    EXPECT_GT(run(SlabFilter::kMargin, wrong), count);
    EXPECT_EQ(wrong, 0u);
    std::size_t wrongWithout = 0;
    run(0.0, wrongWithout);
    EXPECT_GT(wrongWithout, 0u) << "a filter without its margin must be caught";
}

// The filter of kAvx2Filter leaves a lane out only when it is certainly missed or certainly
// farther than the nearest taken; the search must give the walk's answer, bit for bit, on rays
// made to sit on its margins: at every scale it covers and beyond (where it hands the ray to the
// plain lanes), with visibility points within a few ulp of the 0.001 boundary. A margin taken
// away must be caught.
// Subsets holding the same rectangles share one set of lanes, and each still answers as a walk
// over its own rectangles.
TEST(RectLanes, SubsetsWithTheSameRectanglesShareLanes) {
    std::mt19937_64 rng(11);
    const TraceScene s = RandomRects(rng, 20);
    const std::size_t n = s.RectCount();
    std::vector<std::vector<char>> masks(3, std::vector<char>(n));
    for (auto& mask : masks) {
        for (char& keep : mask) {
            keep = static_cast<char>(rng() % 2);
        }
    }
    const std::size_t pattern[] = {0, 1, 0, 2, 1, 0};
    std::vector<char> keep;
    for (std::size_t m : pattern) {
        keep.insert(keep.end(), masks[m].begin(), masks[m].end());
    }
    RectLanes lanes(s);
    const RectLanes::Subset first = lanes.AddSubsets(keep, std::size(pattern));
    std::size_t distinct = 0;
    for (const auto& mask : masks) {
        const auto kept = static_cast<std::size_t>(std::count(mask.begin(), mask.end(), 1));
        distinct += (kept + RectLanes::kBlock - 1) / RectLanes::kBlock * RectLanes::kBlock;
    }
    EXPECT_EQ(lanes.ExtraLanes(), distinct);
    for (int ray = 0; ray < 500; ++ray) {
        const SceneRay r = RandomRay(rng, s);
        for (std::size_t i = 0; i < std::size(pattern); ++i) {
            int expectedIndex = -1;
            double expectedDist = kNoHit;
            for (std::size_t k = 0; k < n; ++k) {
                double t;
                if (masks[pattern[i]][k] != 0 && IntersectRect(s, k, r, t) && t < expectedDist) {
                    expectedDist = t;
                    expectedIndex = static_cast<int>(k);
                }
            }
            int index;
            double dist;
            lanes.Search(r, -1, false, 0.0, index, dist,
                         first + static_cast<RectLanes::Subset>(i));
            ASSERT_EQ(index, expectedIndex) << "subset " << i;
            ASSERT_EQ(0, std::memcmp(&dist, &expectedDist, sizeof(double)));
        }
    }
}

// The edge tests made side by side give IntersectRect's answer and bits: on rays with special
// values (zero, infinite and NaN components, origins on sides and corners, inside rectangles),
// on sides that are not finite or of zero length, and on the adversarial rays at every scale.
TEST(RectLanes, EdgeTestsSideBySideGiveIntersectRectsBits) {
    std::mt19937_64 rng(11);
    std::size_t compared = 0;
    std::size_t hits = 0;
    const auto check = [&](const TraceScene& s, const SceneRay& r) {
        for (std::size_t k = 0; k < s.RectCount(); ++k) {
            double t = -1.0;
            double expected = -2.0;
            const bool hit = IntersectRectAtOnce(s, k, r, t);
            ASSERT_EQ(hit, IntersectRect(s, k, r, expected)) << "rect " << k;
            ASSERT_EQ(0, std::memcmp(&t, &expected, sizeof(double)))
                << "rect " << k << ": " << t << " vs " << expected;
            ++compared;
            hits += hit ? 1 : 0;
        }
    };
    for (int scene = 0; scene < 300; ++scene) {
        const TraceScene s = RandomRects(rng, 1 + static_cast<std::size_t>(scene % 9));
        for (int ray = 0; ray < 300; ++ray) {
            check(s, RandomRay(rng, s));
        }
    }
    for (double scale : {1e-250, 1e-6, 1.0, 1e100, 1e290}) {
        for (int scene = 0; scene < 40; ++scene) {
            const TraceScene s = AdversarialRects(rng, scale);
            for (int ray = 0; ray < 100; ++ray) {
                double cornerDist;
                check(s, AdversarialRay(rng, s, cornerDist));
            }
        }
    }
    // Every edge met, each beyond the no-hit distance: IntersectRect reports a hit at the no-hit
    // distance.
    TraceScene far;
    far.left = {1.5e308};
    far.top = {1.5e308};
    far.right = {std::numeric_limits<double>::infinity()};
    far.bottom = {std::numeric_limits<double>::infinity()};
    check(far, SceneRay{0.0, 0.0, 0.6, 0.8});
    EXPECT_GT(compared, 500000u);
    EXPECT_GT(hits, compared / 20);
}

TEST(RectLanes, TheDivisionFreeFilterGivesTheWalksAnswerOnAdversarialRays) {
    if (__builtin_cpu_supports("avx2") == 0) {
        GTEST_SKIP() << "no AVX2 on this processor";
    }
    const auto run = [](double margin, std::size_t& wrong) {
        std::mt19937_64 rng(21);
        std::size_t compared = 0;
        for (double scale : {1e-250, 1e-100, 1e-6, 1.0, 37.5, 1e50, 1e100, 1e290}) {
            for (int scene = 0; scene < AdversarialScenes(); ++scene) {
                const TraceScene s = AdversarialRects(rng, scale);
                const RectLanes lanes(s, RectLanes::Isa::kAvx2Filter,
                                      scene % 2 == 0 ? RectLanes::LaneOrder::kSpatial
                                                     : RectLanes::LaneOrder::kList,
                                      margin);
                for (int ray = 0; ray < 250; ++ray) {
                    double cornerDist;
                    const SceneRay r = AdversarialRay(rng, s, cornerDist);
                    const int skip = ray % 4 == 0 ? ray % static_cast<int>(s.RectCount()) : -1;
                    const bool visibility = ray % 2 == 0;
                    // The corner's distance moved by 0.001 and up to 3 ulp either way.
                    double pointDist = cornerDist + (ray % 3 == 0 ? 0.001 : 0.0);
                    for (int u = 0; u < ray % 7 - 3; ++u) {
                        pointDist = std::nextafter(pointDist, 1e300);
                    }
                    int index, expectedIndex;
                    double dist, expectedDist;
                    const bool got = lanes.Search(r, skip, visibility, pointDist, index, dist);
                    const bool expected = ScalarSearch(s, r, skip, visibility, pointDist,
                                                       expectedIndex, expectedDist);
                    ++compared;
                    if (got != expected ||
                        ((!visibility || expected) &&
                         (index != expectedIndex ||
                          std::memcmp(&dist, &expectedDist, sizeof(double)) != 0))) {
                        ++wrong;
                    }
                }
            }
        }
        return compared;
    };
    ExpectRightWithTheMarginAndCaughtWithout(run, 50000u);
}

// The filter's promise at the lowest layer: every rectangle IntersectRect reports is kept, with a
// bound not above its scaled parameter, and "farther" is said only of parameters that are.
TEST(SlabFilter, KeepsEveryRectangleMetAndSaysFartherOnlyOfFartherOnes) {
    const auto run = [](double margin, std::size_t& wrong) {
        std::mt19937_64 rng(5);
        std::size_t met = 0;
        for (double scale : {1e-250, 1e-6, 1.0, 37.5, 1e50}) {
            for (int scene = 0; scene < 30; ++scene) {
                const TraceScene s = AdversarialRects(rng, scale);
                for (int ray = 0; ray < 200; ++ray) {
                    double cornerDist;
                    const SceneRay r = AdversarialRay(rng, s, cornerDist);
                    double bound = 0.0;
                    for (std::size_t k = 0; k < s.RectCount(); ++k) {
                        bound = std::max({bound, std::fabs(s.left[k]), std::fabs(s.right[k]),
                                          std::fabs(s.top[k]), std::fabs(s.bottom[k])});
                    }
                    const SlabFilter f(r, bound, margin);
                    if (!f.on) {
                        continue;
                    }
                    for (std::size_t k = 0; k < s.RectCount(); ++k) {
                        double t;
                        if (!IntersectRect(s, k, r, t) || !(t < kNoHit)) {
                            continue;
                        }
                        ++met;
                        double lb;
                        const bool kept = f.Keeps(s.left[k], s.top[k], s.right[k], s.bottom[k], lb);
                        const long double scaled =
                            static_cast<long double>(t) * f.ax * static_cast<long double>(f.ay);
                        // Farther than its own parameter would leave out a tie or the winner.
                        if (!kept || static_cast<long double>(lb) > scaled || f.Farther(lb, t)) {
                            ++wrong;
                        }
                    }
                }
            }
        }
        return met;
    };
    ExpectRightWithTheMarginAndCaughtWithout(run, 20000u);
}

// The grid's search tests the rectangles of its cells through the same filter.
TEST(SlabFilter, TheGridGivesTheWalksAnswerOnAdversarialRays) {
    std::mt19937_64 rng(23);
    std::size_t compared = 0;
    for (double scale : {1e-250, 1e-6, 1.0, 37.5, 1e50, 1e90}) {
        for (int scene = 0; scene < 30; ++scene) {
            const TraceScene s = AdversarialRects(rng, scale);
            RectGrid grid;
            grid.Build(s);
            for (int ray = 0; ray < 200; ++ray) {
                double cornerDist;
                const SceneRay r = AdversarialRay(rng, s, cornerDist);
                if (grid.Empty() || !grid.Accepts(r)) {
                    continue;
                }
                const int skip = ray % 4 == 0 ? ray % static_cast<int>(s.RectCount()) : -1;
                const bool visibility = ray % 2 == 0;
                const double pointDist = cornerDist + (ray % 3 == 0 ? 0.001 : 0.0);
                SearchHit hit;
                int expectedIndex;
                double expectedDist;
                const bool got = grid.Search(s, r, skip, visibility, pointDist, hit);
                const bool expected =
                    ScalarSearch(s, r, skip, visibility, pointDist, expectedIndex, expectedDist);
                ASSERT_EQ(got, expected) << "scale " << scale;
                if (!visibility || expected) {
                    ASSERT_EQ(hit.index, expectedIndex) << "scale " << scale;
                    ASSERT_EQ(0, std::memcmp(&hit.dist, &expectedDist, sizeof(double)));
                }
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 20000u);
}

} // namespace

} // namespace sonivera
