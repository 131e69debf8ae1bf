// sonivera_bench_visibility SCENE.3d...: per scene, the map of what each source sees as a single
// calculation and as a map of listener points would build it: build time (best of 5), memory,
// and the share of cells answered (hidden, seen) rather than left to the exact search.
#include "core/model/SceneFile.h"
#include "core/model/SceneSettings.h"
#include "core/tracer/TraceScene.h"
#include "core/tracer/VisibilityMap.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

using namespace sonivera;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SCENE.3d...\n", argv[0]);
        return 2;
    }
    std::printf("%-28s %-6s %10s %9s %9s %8s %8s\n", "scene", "for", "build ms", "MiB", "cells",
                "hidden", "seen");
    for (int i = 1; i < argc; ++i) {
        const auto scene = ReadSceneFile(argv[i]);
        const TraceScene snapshot = SnapshotScene(*scene);
        for (bool forMap : {false, true}) {
            double best = 1e300;
            std::uint64_t counts[3] = {0, 0, 0};
            double mib = 0.0;
            for (int rep = 0; rep < 5; ++rep) {
                const auto start = std::chrono::steady_clock::now();
                const VisibilityMap map(snapshot, forMap);
                const double ms = std::chrono::duration<double, std::milli>(
                                      std::chrono::steady_clock::now() - start)
                                      .count();
                best = std::min(best, ms);
                map.Count(counts);
                mib = static_cast<double>(map.Bytes()) / (1024.0 * 1024.0);
            }
            const double all = static_cast<double>(counts[0] + counts[1] + counts[2]);
            std::printf("%-28s %-6s %10.2f %9.2f %9.0f %7.1f%% %7.1f%%\n", argv[i],
                        forMap ? "map" : "effect", best, mib, all,
                        all > 0 ? 100.0 * static_cast<double>(counts[1]) / all : 0.0,
                        all > 0 ? 100.0 * static_cast<double>(counts[2]) / all : 0.0);
        }
    }
    return 0;
}
