// The effect calculation on the benchmark scenes: the plain reference, then the product's tracer
// with 1 and 2 worker threads, side by side in one run.
#include "model/ObjectKind.h"
#include "model/SceneFile.h"
#include "model/SceneObject.h"
#include "model/SceneSettings.h"
#include "reference/ReferenceTracer.h"
#include "tracer/ComputeEffect.h"
#include "tracer/ComputeEffectDetail.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const char* const kScenes[] = {"room-10",    "room-100", "room-1000", "heavy-10", "heavy-100",
                               "heavy-1000", "hall-15",  "hall-22",   "hall-30"};

std::unique_ptr<SceneSettings> Load(const std::string& name) {
    return ReadSceneFile(std::string(SONIVERA_BENCH_SCENES) + "/" + name + ".3d");
}

void Reference(benchmark::State& state, const std::string& name) {
    auto scene = Load(name);
    // The whole loop runs on one thread with a large stack, so that no thread is started per run.
    struct Job {
        benchmark::State* state;
        SceneSettings* scene;
    } job{&state, scene.get()};
    reference::RunOnLargeStack(
        [](void* p) {
            auto* j = static_cast<Job*>(p);
            for (auto _ : *j->state) {
                auto result = reference::ComputeReferenceEffect(*j->scene);
                benchmark::DoNotOptimize(result.bins.data());
                j->state->counters["nodes"] = static_cast<double>(result.nodes);
            }
        },
        &job);
}

void Product(benchmark::State& state, const std::string& name, int threads) {
    auto scene = Load(name);
    EffectOptions options;
    options.threads = threads;
    TraceStats stats;
    options.stats = &stats;
    for (auto _ : state) {
        ComputeEffect(*scene, nullptr, options);
        benchmark::DoNotOptimize(scene->effect.get());
    }
    state.counters["nodes"] = static_cast<double>(stats.nodes);
}

// Work that does nothing: a scene without sources and 10^7 rays, on 1 and on 2 threads.
void NoSources(benchmark::State& state, int threads) {
    auto scene = Load("room-100");
    for (auto it = scene->objects.begin(); it != scene->objects.end();) {
        it = (*it)->GetKind() == OBJ_SOURCE ? scene->objects.erase(it) : std::next(it);
    }
    scene->rayCount = 10000000;
    EffectOptions options;
    options.threads = threads;
    for (auto _ : state) {
        ComputeEffect(*scene, nullptr, options);
        benchmark::DoNotOptimize(scene->effect.get());
    }
}

// One thread, the search over every rectangle computed with one instruction set.
void WithIsa(benchmark::State& state, const std::string& name, RectLanes::Isa isa) {
    auto scene = Load(name);
    EngineTuning tuning;
    tuning.isa = isa;
    EffectOptions options;
    options.threads = 1;
    for (auto _ : state) {
        ComputeEffectTuned(*scene, nullptr, options, tuning);
        benchmark::DoNotOptimize(scene->effect.get());
    }
}

const bool kRegistered = [] {
    for (const char* name : kScenes) {
        const std::string n = name;
        benchmark::RegisterBenchmark((n + "/reference").c_str(), Reference, n)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark((n + "/threads:1").c_str(), Product, n, 1)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark((n + "/threads:2").c_str(), Product, n, 2)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    for (int threads : {1, 2}) {
        benchmark::RegisterBenchmark(
            ("no-sources-10M-rays/threads:" + std::to_string(threads)).c_str(), NoSources, threads)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    for (const char* name : {"heavy-10", "hall-15"}) {
        for (RectLanes::Isa isa : RectLanes::Available()) {
            const std::string n = std::string(name) + "/isa:" + RectLanes::Name(isa);
            benchmark::RegisterBenchmark(n.c_str(), WithIsa, name, isa)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
    return true;
}();

} // namespace

BENCHMARK_MAIN();
