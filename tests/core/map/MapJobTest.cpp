#include "core/map/MapJob.h"
#include "core/map/MapPicture.h"
#include "core/map/MapSession.h"

#include "core/calc/SceneCheck.h"
#include "core/model/SceneFile.h"
#include "core/tracer/EffectErrors.h"
#include "core/tracer/PreparedScene.h"
#include "tracer/RandomScene.h"
#include "tracer/SceneBuilder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <thread>

namespace sonivera {

namespace {

// The scene with its listener moved to (x, y), through the scene file as the command line would
// read it.
std::unique_ptr<SceneSettings> Moved(const SceneSettings& scene, double x, double y) {
    auto copy = LoadSceneFromBytes(SaveSceneToBytes(scene));
    copy->objects.front()->m_x = x;
    copy->objects.front()->m_y = y;
    return LoadSceneFromBytes(SaveSceneToBytes(*copy));
}

bool SameBits(const std::vector<double>& a, const double* b, std::size_t n) {
    return a.size() == n && std::memcmp(a.data(), b, n * sizeof(double)) == 0;
}

} // namespace

TEST(MapJob, EveryPointsEffectIsTheCalculationWithTheListenerMovedThere) {
    double energy = 0.0;
    for (std::uint64_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        const auto scene = MakeRandomScene(seed, 20000);
        const PreparedScene prepared(*scene);
        const MapGrid grid = MakeMapGrid(*scene, scene->width / 3.0, scene->height / 2.0);
        for (std::size_t i = 0; i < grid.Count(); ++i) {
            const auto moved = Moved(*scene, grid.PointX(i), grid.PointY(i));
            EffectOptions options;
            options.threads = 1 + static_cast<int>(i % 2);
            ComputeEffect(*moved, nullptr, options);
            const auto bins = prepared.EffectAt(grid.PointX(i), grid.PointY(i), nullptr);
            ASSERT_TRUE(
                SameBits(bins, moved->effect.get(), static_cast<std::size_t>(moved->effectCount)))
                << "point " << i;
            for (const double b : bins) {
                energy += b * b;
            }
        }
    }
    EXPECT_GT(energy, 0.0); // the scenes are heard somewhere
}

TEST(MapJob, ResultsDoNotDependOnWorkersOrOrderAndRefusedPointsCarryTheCheck) {
    auto scene = SceneWithListener(5, 5);
    scene->params.rayCount = 40;
    AddSource(*scene, {.x = 15, .y = 5});
    AddRect(*scene, {.x = 8,
                     .y = 8,
                     .width = 4,
                     .height = 4,
                     .reflection = 0.7,
                     .absorption = 0.2}); // covers the point (10, 10)
    AddRect(*scene, {.x = 2, .y = 14, .width = 16, .height = 1, .reflection = 0.9});
    const MapGrid grid = MakeMapGrid(*scene, 4.0, 4.0);
    ASSERT_EQ(grid.Count(), 625u); // the 100 × 100 m scene in 4 m cells
    std::vector<std::vector<MapPointResult>> runs;
    for (const int threads : {1, 2, 3}) {
        MapOptions options;
        options.threads = threads;
        if (threads == 3) {
            options.order = CoarseFirstOrder(grid);
        }
        std::set<std::size_t> reported;
        options.pointDone = [&](std::size_t index, const MapPointResult&) {
            reported.insert(index);
        };
        runs.push_back(ComputeMap(*scene, grid, options));
        EXPECT_EQ(reported.size(), grid.Count());
    }
    const std::size_t inside = 2 * grid.columns + 2; // the point (10, 10)
    EXPECT_FALSE(runs[0][inside].computed);
    EXPECT_EQ(runs[0][inside].check, ObjectInsideRectangleMessage(10, 10));
    for (std::size_t i = 0; i < grid.Count(); ++i) {
        for (const auto& run : {runs[1], runs[2]}) {
            ASSERT_EQ(run[i].computed, runs[0][i].computed) << i;
            ASSERT_EQ(run[i].check, runs[0][i].check);
            for (const MapFigureInfo& info : MapFigures()) {
                const auto a = MapValue(runs[0][i], info.figure);
                const auto b = MapValue(run[i], info.figure);
                ASSERT_EQ(a.has_value(), b.has_value());
                if (a) {
                    ASSERT_EQ(std::memcmp(&*a, &*b, sizeof(double)), 0) << info.name;
                }
            }
        }
    }
    // The scene itself is untouched.
    EXPECT_EQ(scene->objects.front()->m_x, 5.0);
}

TEST(MapJob, StopsWhenCancelledAndRefusesWhatACalculationRefuses) {
    auto scene = SceneWithListener(5, 5);
    AddSource(*scene, {.x = 15, .y = 5});
    const MapGrid grid = MakeMapGrid(*scene, 10.0, 10.0);
    std::atomic<bool> cancel{false};
    MapOptions options;
    options.cancel = &cancel;
    options.pointDone = [&](std::size_t, const MapPointResult&) { cancel = true; };
    EXPECT_THROW(ComputeMap(*scene, grid, options), EffectCancelled);
    scene->params.rayCount = 0;
    EXPECT_THROW(ComputeMap(*scene, grid, MapOptions{}), EffectParameterError);
    EXPECT_THROW(MakeMapGrid(*scene, 0.0, 1.0), std::invalid_argument);
    EXPECT_THROW(MakeMapGrid(*scene, 0.01, 0.01), std::invalid_argument); // 10^8 points
    // A count beyond every integer type is told as it is, not as a wrapped integer.
    try {
        MakeMapGrid(*scene, 1e-8, 1e-8);
        ADD_FAILURE() << "10^20 points accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("would have 100000000000000000000 points"),
                  std::string::npos)
            << e.what();
    }
}

TEST(MapJob, PointsOnAWallsFaceAreTheWallsOnEverySide) {
    // Points at 5, 15, 25 ...: the rectangle 15..35 × 25..45 has points on all four faces.
    auto scene = SceneWithListener(5, 5);
    AddSource(*scene, {.x = 80, .y = 80});
    AddRect(*scene, {.x = 15, .y = 25, .width = 20, .height = 20});
    const MapGrid grid = MakeMapGrid(*scene, 10.0, 10.0);
    const auto results = ComputeMap(*scene, grid, MapOptions{});
    const auto at = [&](double x, double y) {
        return results[static_cast<std::size_t>(y / 10) * grid.columns +
                       static_cast<std::size_t>(x / 10)];
    };
    // The left and top faces the check itself counts inside; the right and bottom ones too now.
    for (const auto& [x, y] : {std::pair{15.0, 35.0}, {25.0, 25.0}}) {
        EXPECT_FALSE(at(x, y).computed) << x << "," << y;
    }
    for (const auto& [x, y] : {std::pair{35.0, 35.0}, {25.0, 45.0}}) {
        EXPECT_FALSE(at(x, y).computed) << x << "," << y;
        EXPECT_EQ(at(x, y).check, "Точка (" + std::to_string(int(x)) + "," +
                                      std::to_string(int(y)) + ") на грани прямоугольника");
    }
    EXPECT_FALSE(at(25, 35).computed); // inside: the check's own message
    EXPECT_NE(at(25, 35).check.find("внутри"), std::string::npos);
    EXPECT_TRUE(at(45, 35).computed);
    EXPECT_TRUE(at(5, 35).computed);
}

TEST(MapGrid, PointsAreCellCentresAndTheCoarseOrderVisitsEachOnce) {
    SceneLayout layout{10.0, 5.0, 1.0, 1.0, true};
    MapGrid grid = MakeMapGrid(layout, 3.0, 5.0);
    EXPECT_EQ(grid.columns, 3u); // the partial cell at 9..10 m is left out
    EXPECT_EQ(grid.rows, 1u);
    EXPECT_EQ(grid.PointX(2), 7.5);
    EXPECT_EQ(grid.PointY(2), 2.5);
    // A step longer than the scene would be one cell painted over all of it: refused.
    EXPECT_THROW(MakeMapGrid(layout, 20.0, 1.0), std::invalid_argument);
    EXPECT_THROW(MakeMapGrid(layout, 1.0, 5.5), std::invalid_argument);
    grid = MakeMapGrid(SceneLayout{100.0, 60.0, 1.0, 1.0, true}, 1.0, 1.0);
    auto order = CoarseFirstOrder(grid);
    EXPECT_EQ(order.front(), 0u);
    EXPECT_EQ(order[1], 16u);
    std::sort(order.begin(), order.end());
    for (std::size_t i = 0; i < order.size(); ++i) {
        ASSERT_EQ(order[i], i);
    }
}

TEST(MapPicture, WhileFillingEachCoarsePointsBlockIsCentredOnIt) {
    const MapGrid grid = MakeMapGrid(SceneLayout{40.0, 40.0, 1.0, 1.0, true}, 1.0, 1.0);
    std::vector<bool> known(grid.Count(), false);
    EXPECT_FALSE(StandIn(grid, known, 5, 5).has_value());
    for (const std::size_t i : CoarseFirstOrder(grid)) {
        if (CoarseLevel(i % grid.columns, i / grid.columns) == 16) {
            known[i] = true; // the first pass: points 0, 16 and 32 along each side
        }
    }
    const auto at = [&](std::size_t c, std::size_t r) { return r * grid.columns + c; };
    // The point at column 16 stands for columns 8..23, half a block each side.
    for (std::size_t c = 8; c < 24; ++c) {
        EXPECT_EQ(StandIn(grid, known, c, 16), at(16, 16)) << c;
    }
    EXPECT_EQ(StandIn(grid, known, 7, 16), at(0, 16));
    EXPECT_EQ(StandIn(grid, known, 24, 9), at(32, 16));
    EXPECT_EQ(StandIn(grid, known, 39, 39), at(32, 32)); // the last ones: the last point
    known[at(5, 5)] = true;
    EXPECT_EQ(StandIn(grid, known, 5, 5), at(5, 5)); // a known point shows itself
}

TEST(MapPicture, DifferenceOfAMapWithItselfIsZeroOnAScaleCentredOnZero) {
    auto scene = SceneWithListener(5, 5);
    scene->params.rayCount = 20;
    AddSource(*scene, {.x = 15, .y = 5});
    AddRect(*scene,
            {.x = 30, .y = 30, .width = 10, .height = 10, .reflection = 0.5, .absorption = 0.1});
    const MapGrid grid = MakeMapGrid(*scene, 20.0, 20.0);
    const auto results = ComputeMap(*scene, grid, MapOptions{});
    const MapField field = DifferenceOf(grid, results, results, MapFigure::C80);
    bool any = false;
    for (const auto& v : field.values) {
        if (v) {
            EXPECT_EQ(*v, 0.0);
            any = true;
        }
    }
    EXPECT_TRUE(any);
    const MapScale scale = ScaleOf(field);
    EXPECT_EQ(scale.low, -scale.high);
    const PlotColour zero = scale.ColourOf(0.0);
    EXPECT_EQ(zero.r, 247);
    EXPECT_EQ(zero.g, 247);
}

TEST(MapSession, FillsInCoarsePointsFirstInTheBackgroundAndStopsOnRequest) {
    auto scene = SceneWithListener(5, 5);
    scene->params.rayCount = 30;
    AddSource(*scene, {.x = 15, .y = 5});
    AddRect(*scene,
            {.x = 40, .y = 40, .width = 10, .height = 10, .reflection = 0.8, .absorption = 0.3});
    const MapGrid grid = MakeMapGrid(*scene, 5.0, 5.0);
    const auto expected = ComputeMap(*scene, grid, MapOptions{});
    {
        MapSession session(*scene, grid, 2);
        scene->objects.front()->m_x = 70.0; // the session works on its own copy
        std::vector<std::size_t> firstArrivals;
        while (session.Running() || session.Poll() > 0) {
            session.Poll();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        EXPECT_TRUE(session.Failure().empty());
        EXPECT_EQ(session.Done(), grid.Count());
        for (std::size_t i = 0; i < grid.Count(); ++i) {
            ASSERT_TRUE(session.Known()[i]);
            ASSERT_EQ(session.Results()[i].check, expected[i].check);
            ASSERT_EQ(MapValue(session.Results()[i], MapFigure::C50),
                      MapValue(expected[i], MapFigure::C50));
        }
        EXPECT_NE(session.SceneAtStart(), SaveSceneToBytes(*scene));
    }
    // A big map stopped at once ends without filling in.
    scene->params.rayCount = 2000;
    MapSession session(*scene, MakeMapGrid(*scene, 1.0, 1.0), 1);
    session.Stop();
    while (session.Running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    session.Poll();
    EXPECT_LT(session.Done(), session.Total());
    EXPECT_TRUE(session.Stopped());
}

} // namespace sonivera
