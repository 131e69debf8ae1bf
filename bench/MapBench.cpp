// sonivera_bench_map SCENE.3d [STEP] [MODE]: the map of a scene against the same points as
// separate calculations. MODE is one of
//   separate  every point as its own one-thread calculation (ComputeEffect on the scene with the
//             listener moved there), the way a map would be made without the map job;
//   map1      the map job on one worker;
//   map2      the map job on two workers.
// Each mode runs in its own process (time them with a paired timer); the program prints the
// points, the wall time, points per second and this process's peak resident memory.
#include "core/calc/SceneCheck.h"
#include "core/map/MapJob.h"
#include "core/model/SceneFile.h"
#include "core/model/SceneSettings.h"
#include "core/tracer/ComputeEffect.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>

using namespace sonivera;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SCENE.3d [STEP] [separate|map1|map2]\n", argv[0]);
        return 2;
    }
    auto scene = ReadSceneFile(argv[1]);
    const double step = argc > 2 ? std::atof(argv[2]) : scene->gridX;
    const std::string mode = argc > 3 ? argv[3] : "map2";
    const MapGrid grid = MakeMapGrid(*scene, step, step);
    const auto start = std::chrono::steady_clock::now();
    std::size_t computed = 0;
    if (mode == "separate") {
        for (std::size_t i = 0; i < grid.Count(); ++i) {
            scene->objects.front()->m_x = grid.PointX(i);
            scene->objects.front()->m_y = grid.PointY(i);
            if (FindFirstSceneError(scene->objects)) {
                continue;
            }
            EffectOptions options;
            options.threads = 1;
            ComputeEffect(*scene, nullptr, options);
            ++computed;
        }
    } else {
        MapOptions options;
        options.threads = mode == "map1" ? 1 : 2;
        const auto results = ComputeMap(*scene, grid, options);
        for (const auto& r : results) {
            computed += r.computed ? 1 : 0;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%s %s step %g: %zu points (%zu computed), %.3f s, %.0f points/s, peak %.1f MiB\n",
                argv[1], mode.c_str(), step, grid.Count(), computed, seconds,
                static_cast<double>(grid.Count()) / seconds,
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}
