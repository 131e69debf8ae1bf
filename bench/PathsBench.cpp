// The cost of keeping echo paths: the effect calculation on the benchmark scenes without paths,
// with the default 200 paths per source and with 10 000 per source, at 1 and 2 threads.
// `sonivera_bench_paths --once SCENE.3d none|K` runs one calculation on one thread and exits, for
// counting instructions under callgrind.
#include "core/model/SceneFile.h"
#include "core/model/SceneSettings.h"
#include "core/tracer/ComputeEffect.h"
#include "core/tracer/EchoPath.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

using namespace sonivera;

namespace {

const char* const kScenes[] = {"room-100", "heavy-10", "heavy-100", "heavy-1000"};

std::unique_ptr<SceneSettings> Load(const std::string& name) {
    return ReadSceneFile(std::string(SONIVERA_BENCH_SCENES) + "/" + name + ".3d");
}

// perSource < 0: no paths requested.
void Calculate(benchmark::State& state, const std::string& name, int threads, int perSource) {
    auto scene = Load(name);
    EffectOptions options;
    options.threads = threads;
    TraceStats stats;
    options.stats = &stats;
    EchoPathRequest request;
    if (perSource >= 0) {
        request.perSource = static_cast<std::size_t>(perSource);
        options.paths = &request;
    }
    for (auto _ : state) {
        ComputeEffect(*scene, nullptr, options);
        benchmark::DoNotOptimize(scene->effect.get());
    }
    state.counters["echoes"] = static_cast<double>(stats.echoes);
    state.counters["kept"] = static_cast<double>(request.paths.size());
}

const bool kRegistered = [] {
    for (const char* name : kScenes) {
        for (int threads : {1, 2}) {
            for (int perSource : {-1, 200, 10000}) {
                const std::string label =
                    std::string(name) + "/threads:" + std::to_string(threads) +
                    "/paths:" + (perSource < 0 ? "none" : std::to_string(perSource));
                benchmark::RegisterBenchmark(label.c_str(), Calculate, std::string(name), threads,
                                             perSource)
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime();
            }
        }
    }
    return true;
}();

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--once") == 0) {
        auto scene = ReadSceneFile(argv[2]);
        EffectOptions options;
        options.threads = 1;
        EchoPathRequest request;
        if (std::strcmp(argv[3], "none") != 0) {
            request.perSource = std::stoul(argv[3]);
            options.paths = &request;
        }
        ComputeEffect(*scene, nullptr, options);
        return request.paths.size() > 1000000 ? 1 : 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
