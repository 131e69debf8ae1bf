// Computes the effect of one scene once, with the product's tracer or the reference, and prints
// the wall time, the processor time (user + system, all threads; less disturbed by other load on
// the machine than the wall time) and the peak resident memory of this process. Run once per scene
// and tracer so each figure stands alone: sonivera_bench_memory SCENE.3d fast|reference [THREADS]
#include "core/model/SceneFile.h"
#include "core/model/SceneSettings.h"
#include "reference/ReferenceTracer.h"
#include "core/tracer/ComputeEffect.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>

using namespace sonivera;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SCENE.3d fast|reference [THREADS]\n", argv[0]);
        return 2;
    }
    auto scene = ReadSceneFile(argv[1]);
    const std::string mode = argv[2];
    const auto start = std::chrono::steady_clock::now();
    TraceStats stats;
    if (mode == "reference") {
        reference::ComputeReferenceEffectOnLargeStack(*scene);
    } else {
        EffectOptions options;
        options.threads = argc > 3 ? std::atoi(argv[3]) : 1;
        options.stats = &stats;
        ComputeEffect(*scene, nullptr, options);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    std::printf("%s %s seconds %.4f cpu_seconds %.4f peak_MiB %.1f nodes %llu echoes %llu "
                "searches %llu\n",
                argv[1], argv[2], seconds, cpu, usage.ru_maxrss / 1024.0,
                static_cast<unsigned long long>(stats.nodes),
                static_cast<unsigned long long>(stats.echoes),
                static_cast<unsigned long long>(stats.searches));
    return 0;
}
