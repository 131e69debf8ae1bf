#include "core/map/MapJob.h"

#include "core/calc/SceneCheck.h"
#include "core/model/SceneFile.h"
#include "core/model/SceneSettings.h"
#include "core/tracer/EffectErrors.h"
#include "core/tracer/PreparedScene.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <numeric>
#include <stdexcept>
#include <thread>

namespace sonivera {

namespace {

// What the workers and the calling thread share.
struct MapWork {
    MapWork(const MapGrid& g, const MapOptions& o, const std::vector<std::size_t>& ord,
            const PreparedScene& p, const std::vector<std::uint8_t>& bytes,
            std::vector<MapPointResult>& r)
        : grid(g), options(o), order(ord), prepared(p), sceneBytes(bytes), results(r) {}

    const MapGrid& grid;
    const MapOptions& options;
    const std::vector<std::size_t>& order;
    const PreparedScene& prepared;
    const std::vector<std::uint8_t>& sceneBytes;
    std::vector<MapPointResult>& results;

    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::size_t> finished; // indices not yet reported
    std::size_t running = 0;
    std::exception_ptr error;
    TraceStats stats;
};

bool Cancelled(const MapOptions& options) {
    return options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed);
}

void Worker(MapWork& work) {
    TraceStats stats;
    try {
        // A private copy of the scene to move the listener in for the check.
        const auto scene = LoadSceneFromBytes(work.sceneBytes);
        CSceneObject* listener = scene->objects.empty() ? nullptr : scene->objects.front().get();
        const double groupTime = work.prepared.Params().calc.groupTime;
        const auto own = OwnCopy(work.prepared.Search());
        while (!work.stop.load(std::memory_order_relaxed)) {
            const std::size_t k = work.next.fetch_add(1);
            if (k >= work.order.size()) {
                break;
            }
            const std::size_t index = work.order[k];
            const double x = work.grid.PointX(index);
            const double y = work.grid.PointY(index);
            MapPointResult result;
            if (listener != nullptr) {
                listener->m_x = x;
                listener->m_y = y;
            }
            if (const auto finding = FindFirstSceneError(scene->objects)) {
                result.check = finding->message;
            } else if (OnARectangleFace(scene->objects, x, y)) {
                result.check = OnRectangleFaceMessage(x, y);
            } else {
                const auto bins = work.prepared.EffectAt(x, y, &work.stop, &stats, own.get());
                result.figures = AnalyzeEffect(bins, groupTime, work.options.onset);
                result.computed = true;
            }
            work.results[index] = std::move(result);
            // Not woken per point: on scenes of quick points the calling thread would take a
            // processor from the workers for every one. It looks every 50 ms.
            std::lock_guard lock(work.mutex);
            work.finished.push_back(index);
        }
    } catch (const EffectCancelled&) {
        // stop was set: the calling thread reports the cancellation
    } catch (...) {
        std::lock_guard lock(work.mutex);
        if (!work.error) {
            work.error = std::current_exception();
        }
        work.stop = true;
    }
    std::lock_guard lock(work.mutex);
    work.stats.rays += stats.rays;
    work.stats.nodes += stats.nodes;
    work.stats.echoes += stats.echoes;
    work.stats.searches += stats.searches;
    --work.running;
    work.changed.notify_one();
}

} // namespace

std::vector<MapPointResult> ComputeMap(const SceneSettings& scene, const MapGrid& grid,
                                       const MapOptions& options) {
    const auto start = std::chrono::steady_clock::now();
    if (options.threads < 0) {
        throw std::invalid_argument("The number of threads must be 0 (all cores) or more.");
    }
    std::vector<std::size_t> order = options.order;
    if (order.empty()) {
        order.resize(grid.Count());
        std::iota(order.begin(), order.end(), std::size_t{0});
    }
    for (const std::size_t index : order) {
        if (index >= grid.Count()) {
            throw std::invalid_argument("A map point outside the grid was asked for.");
        }
    }
    const PreparedScene prepared(scene);
    const std::vector<std::uint8_t> bytes = SaveSceneToBytes(scene);
    std::vector<MapPointResult> results(grid.Count());

    int workers = options.threads;
    if (workers == 0) {
        workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    }
    workers = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(workers),
                                                     std::max<std::size_t>(order.size(), 1)));
    MapWork work(grid, options, order, prepared, bytes, results);
    work.running = static_cast<std::size_t>(workers);
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w) {
        threads.emplace_back(Worker, std::ref(work));
    }

    std::size_t done = 0;
    std::vector<std::size_t> batch;
    std::unique_lock lock(work.mutex);
    while (true) {
        work.changed.wait_for(lock, std::chrono::milliseconds(50),
                              [&] { return !work.finished.empty() || work.running == 0; });
        batch.swap(work.finished);
        const bool over = work.running == 0;
        lock.unlock();
        for (const std::size_t index : batch) {
            ++done;
            if (options.pointDone) {
                options.pointDone(index, results[index]);
            }
            if (options.progress) {
                options.progress(done, order.size());
            }
        }
        batch.clear();
        if (Cancelled(options)) {
            work.stop = true;
        }
        lock.lock();
        if (over && work.finished.empty()) {
            break;
        }
    }
    lock.unlock();
    for (std::thread& t : threads) {
        t.join();
    }
    if (work.error) {
        std::rethrow_exception(work.error);
    }
    if (done < order.size() || Cancelled(options)) {
        throw EffectCancelled();
    }
    if (options.stats != nullptr) {
        *options.stats = work.stats;
        options.stats->seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    return results;
}

} // namespace sonivera
