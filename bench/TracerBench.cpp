// The effect calculation on the benchmark scenes: the plain reference, then the product's tracer
// with 1 and 2 worker threads, side by side in one run.
#include "core/model/Listener.h"
#include "core/model/ObjectKind.h"
#include "core/model/RectObject.h"
#include "core/model/SceneFile.h"
#include "core/model/SceneObject.h"
#include "core/model/SceneSettings.h"
#include "core/model/SoundSource.h"
#include "core/tracer/ComputeEffect.h"
#include "core/tracer/ComputeEffectDetail.h"
#include "core/tracer/EchoPipeline.h"
#include "core/tracer/RectLanes.h"
#include "core/tracer/TraceScene.h"
#include "reference/ReferenceTracer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

using namespace sonivera;

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
    scene->params.rayCount = 10000000;
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

// The in-order merge alone: echoes of chunks added into the bins on one core, as the calling
// thread does for the pool (echoes per second).
void Merge(benchmark::State& state) {
    std::mt19937_64 rng(1);
    std::vector<EchoChunk> chunks(64);
    for (EchoChunk& chunk : chunks) {
        chunk.count = EchoChunk::kCapacity;
        for (std::size_t e = 0; e < chunk.count; ++e) {
            chunk.bins[e] = static_cast<std::int32_t>(rng() % 200);
            chunk.amplitudes[e] = static_cast<double>(rng() % 1000) * 1e-4;
        }
    }
    std::vector<double> bins(200, 0.0);
    for (auto _ : state) {
        for (const EchoChunk& chunk : chunks) {
            for (std::size_t e = 0; e < chunk.count; ++e) {
                bins[static_cast<std::size_t>(chunk.bins[e])] += chunk.amplitudes[e];
            }
        }
        benchmark::DoNotOptimize(bins.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 64 *
                            static_cast<std::int64_t>(EchoChunk::kCapacity));
}

// The intersection arithmetic alone, the lower bound of a search: the rectangles of a scene
// against 4096 rays from its listener and sources in all directions, no tracer around it
// (rectangle tests per second).
void Intersections(benchmark::State& state, const std::string& name, RectLanes::Isa isa) {
    auto scene = Load(name);
    const TraceScene snapshot = SnapshotScene(*scene);
    const RectLanes lanes(snapshot, isa);
    std::vector<SceneRay> rays;
    std::mt19937_64 rng(2);
    std::uniform_real_distribution<double> angle(0.0, 6.283185307179586);
    const double ox[] = {snapshot.listenerX, snapshot.sourceX[0]};
    const double oy[] = {snapshot.listenerY, snapshot.sourceY[0]};
    for (int i = 0; i < 4096; ++i) {
        const double a = angle(rng);
        rays.push_back({ox[i % 2], oy[i % 2], std::cos(a), std::sin(a)});
    }
    double sum = 0.0;
    for (auto _ : state) {
        for (const SceneRay& r : rays) {
            for (std::size_t b = 0; b < lanes.Blocks(); ++b) {
                double t[RectLanes::kBlock];
                std::int64_t hit[RectLanes::kBlock];
                lanes.Intersect(b, r, t, hit);
                sum += t[0] + static_cast<double>(hit[1]);
            }
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 4096 *
                            static_cast<std::int64_t>(snapshot.RectCount()));
}

// A room for the growth table: four walls and rects − 4 pillars, one per cell of a square grid of
// 10 m cells, the listener and two sources in the free corners of cells. Fixed seed.
std::unique_ptr<SceneSettings> GrowthRoom(int rects, int rays, double stopTime) {
    std::mt19937_64 rng(static_cast<std::uint64_t>(rects));
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto scene = std::make_unique<SceneSettings>();
    const int grid = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(rects - 4))));
    const double side = 10.0 * grid + 2.0;
    scene->width = side;
    scene->height = side;
    scene->params.rayCount = rays;
    scene->params.stopTime = stopTime;
    scene->params.groupTime = 10.0;
    auto* listener = scene->Add<CListener>();
    listener->m_x = 1.0 + 10.0 * (grid / 2) + 0.5;
    listener->m_y = 1.0 + 10.0 * (grid / 2) + 0.5;
    const auto rect = [&](double x, double y, double w, double h) {
        auto* r = scene->Add<CRectObject>();
        r->m_x = x;
        r->m_y = y;
        r->m_width = w;
        r->m_height = h;
        r->m_reflection = 0.5 + 0.4 * unit(rng);
        r->m_absorption = 0.1 + 0.4 * unit(rng);
    };
    rect(0, 0, side, 1);
    rect(0, side - 1, side, 1);
    rect(0, 1, 1, side - 2);
    rect(side - 1, 1, 1, side - 2);
    for (int p = 0; p < rects - 4; ++p) {
        const double w = std::round(2.0 + 6.0 * unit(rng));
        const double h = std::round(2.0 + 6.0 * unit(rng));
        rect(1.0 + 10.0 * (p % grid) + 1.0, 1.0 + 10.0 * (p / grid) + 1.0, w, h);
    }
    for (int s = 0; s < 2; ++s) {
        auto* source = scene->Add<CSoundSource>();
        source->m_x = listener->m_x + 10.0 * (s + 1);
        source->m_y = listener->m_y;
        source->m_power = 1.0;
    }
    return scene;
}

// One thread on a growth room: rectangles, rays, stop time (ms).
void Growth(benchmark::State& state) {
    auto scene = GrowthRoom(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                            static_cast<double>(state.range(2)));
    EffectOptions options;
    options.threads = 1;
    TraceStats stats;
    options.stats = &stats;
    for (auto _ : state) {
        ComputeEffect(*scene, nullptr, options);
        benchmark::DoNotOptimize(scene->effect.get());
    }
    state.counters["nodes"] = static_cast<double>(stats.nodes);
    state.counters["searches"] = static_cast<double>(stats.searches);
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
    benchmark::RegisterBenchmark("merge-echoes", Merge);
    auto* growth = benchmark::RegisterBenchmark("growth", Growth);
    growth->ArgNames({"rects", "rays", "stop_ms"})->Unit(benchmark::kMillisecond)->UseRealTime();
    for (int rects : {10, 100, 1000, 10000, 100000}) {
        growth->Args({rects, 100, 500});
    }
    for (int rays : {10, 30, 300, 1000}) {
        growth->Args({100, rays, 500});
    }
    for (int stop : {125, 250, 1000, 2000}) {
        growth->Args({100, 100, stop});
    }
    for (const char* name : {"heavy-10", "hall-15"}) {
        for (RectLanes::Isa isa : {RectLanes::Isa::kScalar, RectLanes::Best()}) {
            const std::string n = std::string(name) + "/intersections:" + RectLanes::Name(isa);
            benchmark::RegisterBenchmark(n.c_str(), Intersections, name, isa);
        }
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
