#include "core/tracer/ComputeEffect.h"
#include "core/tracer/ComputeEffectDetail.h"

#include "core/model/SceneSettings.h"
#include "core/tracer/EchoPath.h"
#include "core/tracer/EchoPipeline.h"
#include "core/tracer/FineResponse.h"
#include "core/tracer/HelperThreads.h"
#include "core/tracer/MemoryBudget.h"
#include "core/tracer/PathKeeper.h"
#include "core/tracer/ProgressSink.h"
#include "core/tracer/RayWalker.h"
#include "core/tracer/RectSearch.h"
#include "core/tracer/TaskThread.h"
#include "core/tracer/TraceParameters.h"
#include "core/tracer/TraceScene.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace sonivera {

namespace {

constexpr double kNoTimeLimit = -1.0;

// The fine response being built: echoes added at their samples in the order the bins sum them.
struct FineSamples {
    double* samples = nullptr; // null when no fine response was asked for
    std::int64_t count = 0;
    int rate = 0;
    void Add(double length, double amplitude) const {
        std::int64_t n = FineResponseSample(length, rate);
        // A length just below the stop distance may round one sample past the stop time's.
        n = n < 0 ? 0 : (n >= count ? count - 1 : n);
        samples[n] += amplitude;
    }
};

// Adds echoes straight into the bins (one worker: the calling thread traces and sums).
struct BinSink {
    double* bins;
    FineSamples fine;
    std::uint64_t echoes = 0;
    void operator()(std::int32_t bin, double amplitude, double length) {
        bins[bin] += amplitude;
        if (fine.samples != nullptr) {
            fine.Add(length, amplitude);
        }
        ++echoes;
    }
};

// Hands a pool worker's echoes to its writer. A type of this file's own, so that the compiler,
// which sees the only loop that walks with it, inlines the walk into that loop as it does the
// calling thread's: through EchoWriter itself it did not, and each ray took 3–4 % longer.
struct PoolSink {
    EchoWriter& writer;
    void operator()(std::int32_t bin, double amplitude, double length) {
        writer(bin, amplitude, length);
    }
};

int WorkerCount(int requested, std::int32_t rayCount) {
    if (requested < 0) {
        throw std::invalid_argument("The number of threads must be 0 (all cores) or more.");
    }
    int n = requested;
    if (n == 0) {
        n = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    }
    return static_cast<int>(std::min<std::int64_t>(n, std::max<std::int32_t>(rayCount, 1)));
}

void ReportPosition(ProgressSink* progress, std::int32_t ray, std::int32_t rayCount) {
    if (progress != nullptr) {
        progress->SetPosition(static_cast<int>((100 * static_cast<std::int64_t>(ray)) / rayCount));
    }
}

void CheckCancel(const EffectOptions& options) {
    if (options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed)) {
        throw EffectCancelled();
    }
}

// The direct sound and then rays 0, 1, … on the calling thread, straight into the bins, up to
// tuning.serialRays rays. The rays left are estimated as what this thread took per ray so far,
// times their number: within tuning.serialSeconds the pool takes them as soon as that is
// poolAtOnceSeconds or more (the other cores would only wait); after it, the rays go on here only
// while it is less than poolFromSeconds, since a pool would cost more than it saves on them.
// Returns the number of rays traced.
std::int32_t TraceOnCallingThread(const TraceScene& scene, const RectSearch& search,
                                  const TraceParameters& params, ProgressSink* progress,
                                  const EffectOptions& options, const EngineTuning& tuning,
                                  double* bins, const FineSamples& fine, TraceStats& stats,
                                  PathKeeper* paths) {
    const auto start = std::chrono::steady_clock::now();
    const auto goOn = [&](std::int32_t done) {
        if (tuning.serialSeconds == kNoTimeLimit) {
            return true;
        }
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double left = static_cast<double>(params.calc.rayCount - done);
        const double rest = done > 0 ? elapsed / static_cast<double>(done) * left : 0.0;
        if (elapsed < tuning.serialSeconds) {
            return rest < tuning.poolAtOnceSeconds;
        }
        return done > 0 && rest < tuning.poolFromSeconds;
    };
    RayWalker<BinSink> walker(scene, search, params, options.cancel);
    walker.SetPathKeeper(paths);
    BinSink sink{bins, fine};
    walker.DirectSound(sink);
    std::int32_t ray = 0;
    while (ray < params.calc.rayCount && ray < tuning.serialRays && goOn(ray)) {
        CheckCancel(options);
        walker.TraceRay(ray, sink);
        ReportPosition(progress, ray, params.calc.rayCount);
        ++ray;
    }
    stats.nodes += walker.Nodes();
    stats.searches += walker.Searches();
    stats.echoes += sink.echoes;
    return ray;
}

// The first rays on the calling thread (so small scenes finish before a pool would even have
// started), the rest on `workers` threads (this one among them), summed in ray order.
// `helpers` (possibly fewer than workers − 1) run workers 1, 2, …; `copies[w]`, when set, is the
// copy of the search that worker w made for itself beforehand.
void TraceParallel(const TraceScene& scene, const RectSearch& search, const TraceParameters& params,
                   ProgressSink* progress, const EffectOptions& options, int workers,
                   const EngineTuning& tuning, double* bins, const FineSamples& fine,
                   TraceStats& stats, PathKeeper* paths, std::span<TaskThread* const> helpers,
                   std::vector<std::unique_ptr<RectSearch>>& copies) {
    const std::int32_t first = TraceOnCallingThread(scene, search, params, progress, options,
                                                    tuning, bins, fine, stats, paths);
    if (first == params.calc.rayCount) {
        return;
    }
    // Each worker keeps paths of its own; they are merged at the end.
    std::vector<PathKeeper> keepers;
    if (paths != nullptr) {
        for (int w = 0; w < workers; ++w) {
            keepers.emplace_back(paths->PerSource(), paths->SourceCount(), paths->ByteLimit());
        }
    }
    // Each worker makes its walker on its own thread, and the workers other than this thread
    // (which built the search) their own copy of the search (OwnCopy).
    std::vector<TraceStats> counts(static_cast<std::size_t>(workers));
    std::uint64_t echoes = 0;
    EchoPipeline pipeline(params.calc.rayCount - first, workers, options.cancel,
                          fine.samples != nullptr);
    pipeline.Run(
        [&](int worker, EchoWriter& writer) {
            const auto w = static_cast<std::size_t>(worker);
            std::unique_ptr<RectSearch> copy = std::move(copies[w]);
            if (worker > 0 && copy == nullptr) {
                copy = OwnCopy(search);
            }
            RayWalker<PoolSink> walker(scene, copy != nullptr ? *copy : search, params,
                                       options.cancel);
            PoolSink sink{writer};
            if (paths != nullptr) {
                walker.SetPathKeeper(&keepers[w]);
            }
            while (writer.NextRay()) {
                walker.TraceRay(first + writer.Ray(), sink);
            }
            counts[w].nodes = walker.Nodes();
            counts[w].searches = walker.Searches();
        },
        [&](const EchoChunk& chunk) {
            for (std::size_t e = 0; e < chunk.count; ++e) {
                bins[chunk.bins[e]] += chunk.amplitudes[e];
            }
            if (fine.samples != nullptr) {
                for (std::size_t e = 0; e < chunk.count; ++e) {
                    fine.Add(chunk.lengths[e], chunk.amplitudes[e]);
                }
            }
            echoes += chunk.count;
        },
        [&](std::int32_t ray) { ReportPosition(progress, first + ray, params.calc.rayCount); },
        helpers);
    for (const TraceStats& c : counts) {
        stats.nodes += c.nodes;
        stats.searches += c.searches;
    }
    stats.echoes += echoes;
    for (PathKeeper& keeper : keepers) {
        paths->MergeFrom(std::move(keeper));
    }
}

// Waits, when it ends, for what the helpers were given (which reads what is declared before it).
struct DrainOnExit {
    std::span<TaskThread* const> helpers;
    ~DrainOnExit() {
        for (TaskThread* helper : helpers) {
            helper->Drain();
        }
    }
};

std::string Mib(std::uint64_t bytes) {
    return std::to_string((bytes + (1u << 20) - 1) >> 20);
}

std::string PathsMemoryMessage(std::uint64_t needed, std::uint64_t budget) {
    return "The echo paths asked for would need at least " + Mib(needed) +
           " MiB of memory; this machine allows a calculation " + Mib(budget) +
           " MiB (half of its memory). Keep fewer paths per source.";
}

std::string PathsOutgrewMessage(std::uint64_t budget) {
    return "The echo paths asked for outgrew the memory this machine allows a calculation (" +
           Mib(budget) +
           " MiB, half of its memory); the calculation was stopped. Keep fewer "
           "paths per source.";
}

} // namespace

// Divides every bin (and every sample of the fine response) by the largest bin when it exceeds 1.
void NormalizeEffect(double* bins, std::int32_t count, std::vector<double>* fine) {
    double m = 0.0;
    for (std::int32_t k = 0; k < count; ++k) {
        if (bins[k] > m) {
            m = bins[k];
        }
    }
    if (m > 1.0) {
        for (std::int32_t k = 0; k < count; ++k) {
            bins[k] = bins[k] / m;
        }
        if (fine != nullptr) {
            for (double& sample : *fine) {
                sample = sample / m;
            }
        }
    }
}

void ComputeEffect(SceneSettings& scene, ProgressSink* progress, const EffectOptions& options) {
    ComputeEffectTuned(scene, progress, options, EngineTuning{});
}

void ComputeEffectTuned(SceneSettings& scene, ProgressSink* progress, const EffectOptions& options,
                        const EngineTuning& tuning) {
    const auto start = std::chrono::steady_clock::now();
    const TraceParameters params = MakeTraceParameters(scene);
    const TraceScene snapshot = SnapshotScene(scene);
    // Rays that cannot record anything cost one empty call each; a pool would only add its
    // hand-overs, so they run on the calling thread.
    const int workers = RaysCanRecord(snapshot, params)
                            ? WorkerCount(options.threads, params.calc.rayCount)
                            : std::min(1, WorkerCount(options.threads, params.calc.rayCount));

    std::vector<double> fineSamples;
    FineSamples fine;
    if (options.fine != nullptr) {
        const std::int64_t length = FineResponseLength(params.calc.stopTime, options.fine->rate);
        if (length < 0) {
            throw EffectParameterError("stopTime",
                                       "The stop time is too long for a response at " +
                                           std::to_string(options.fine->rate) + " Hz (at most " +
                                           std::to_string(kMaxFineResponseSamples) + " samples).");
        }
        fineSamples.assign(static_cast<std::size_t>(length), 0.0);
        fine = {fineSamples.data(), length, options.fine->rate};
    }
    auto bins = std::make_unique<double[]>(static_cast<std::size_t>(params.binCount));
    TraceStats stats;
    std::unique_ptr<PathKeeper> paths;
    const std::uint64_t budget =
        options.memoryBudget != 0 ? options.memoryBudget : MachineMemoryBudget();
    const std::size_t keepers = static_cast<std::size_t>(std::max(workers, 1)) + 1;
    if (options.paths != nullptr) {
        // A request far beyond what the fan of rays gives (every path kept, say) is judged by
        // one path per ray and source, the least a fan that reaches the sources gives.
        const std::size_t likely = std::min<std::size_t>(
            options.paths->perSource, static_cast<std::size_t>(params.calc.rayCount) + 1);
        const std::uint64_t floor = KeptPathsFloorBytes(snapshot.sourceX.size(), likely, keepers);
        if (floor > budget) {
            throw EffectMemoryError(PathsMemoryMessage(floor, budget));
        }
        paths = std::make_unique<PathKeeper>(options.paths->perSource, snapshot.sourceX.size(),
                                             budget / keepers);
    }
    if (snapshot.hasListener) {
        // The other workers are called in now when the visibility map is worth sharing out: they
        // fill it beside this thread, copy the search while this thread traces its first rays,
        // and are ready when the pool starts. Borrowed before the search, they are given back
        // after it; the tasks that read the search are waited for before it ends (`done`).
        const bool early = workers > 1 && tuning.visibility != VisibilityUse::kNone &&
                           VisibilityMap::WorthSharing(snapshot);
        const HelperLease helpers(early ? workers - 1 : 0);
        const std::span<TaskThread* const> helping = helpers.Threads();
        std::vector<std::unique_ptr<RectSearch>> copies(static_cast<std::size_t>(workers));
        const RectSearch search(snapshot, tuning.indexFrom, tuning.index, tuning.isa,
                                tuning.visibility, helping);
        const DrainOnExit done{helping};
        for (std::size_t h = 0; h < helping.size(); ++h) {
            helping[h]->Post([&search, &copy = copies[h + 1]] {
                try {
                    copy = OwnCopy(search);
                } catch (...) {
                    copy = nullptr; // the worker tries again when it starts, and reports failing
                }
            });
        }
        stats.rays = static_cast<std::uint64_t>(params.calc.rayCount);
        if (workers <= 1) {
            EngineTuning alone = tuning; // every ray, however long it takes
            alone.serialRays = params.calc.rayCount;
            alone.serialSeconds = kNoTimeLimit;
            TraceOnCallingThread(snapshot, search, params, progress, options, alone, bins.get(),
                                 fine, stats, paths.get());
        } else {
            TraceParallel(snapshot, search, params, progress, options, workers, tuning, bins.get(),
                          fine, stats, paths.get(), helping, copies);
        }
    }
    if (params.calc.normalize) {
        NormalizeEffect(bins.get(), params.binCount,
                        options.fine != nullptr ? &fineSamples : nullptr);
    }
    if (options.fine != nullptr) {
        options.fine->samples = std::move(fineSamples);
    }
    if (paths != nullptr) {
        if (paths->OverLimit()) {
            throw EffectMemoryError(PathsOutgrewMessage(budget));
        }
        options.paths->paths = paths->Take();
    }
    scene.effect = std::move(bins);
    scene.effectCount = params.binCount;
    scene.effectParams = params.calc;
    if (options.stats != nullptr) {
        stats.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        *options.stats = stats;
    }
}

} // namespace sonivera
