#pragma once

#include "core/tracer/TaskThread.h"
#include "core/tracer/WorkerThread.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace sonivera {

// A batch of echoes of one ray, in the order they were recorded: each echo's bin, amplitude and
// path length in metres (the length places it in a fine response; without one it is not kept).
struct EchoChunk {
    static constexpr std::size_t kCapacity = 512;
    std::size_t count = 0;
    std::int32_t bins[kCapacity];
    double amplitudes[kCapacity];
    double lengths[kCapacity];
};

class EchoPipeline;

// A worker's side of the fan: the rays it takes one after another (NextRay) and where their
// echoes go (operator()); full chunks go to the pipeline at once.
class EchoWriter {
public:
    // Hands the echoes of the ray before over and takes the next ray; false when none is left.
    // Throws EffectCancelled when the cancel flag is seen set.
    bool NextRay();
    // The ray taken, 0..N−1.
    std::int32_t Ray() const { return m_ray; }

    void operator()(std::int32_t bin, double amplitude, double length = 0.0) {
        if (m_chunk->count == EchoChunk::kCapacity) [[unlikely]] {
            Flush();
        }
        m_chunk->bins[m_chunk->count] = bin;
        m_chunk->amplitudes[m_chunk->count] = amplitude;
        if (m_lengths) {
            m_chunk->lengths[m_chunk->count] = length;
        }
        ++m_chunk->count;
    }

private:
    friend class EchoPipeline;
    EchoWriter(EchoPipeline& pipeline, int worker, bool lengths)
        : m_pipeline(pipeline), m_worker(worker), m_lengths(lengths) {}
    // Out of line and marked rare: inlined into the walk's loop over the sources (once per 512
    // echoes), the hand-over made the whole loop slower, 2–4 % of a ray on the halls
    // (bench/README.md).
    [[gnu::cold, gnu::noinline]] void Flush();

    EchoPipeline& m_pipeline;
    const int m_worker;
    std::int32_t m_ray = -1;
    EchoChunk* m_chunk = nullptr; // null between rays
    bool m_lengths;
    bool m_finished = false; // NextRay found no ray left
};

// Traces the rays 0..N−1 of a fan on `workers` threads, the calling thread being one of them, and
// hands their echoes over in ray order, so that the sums into the bins are the same whatever the
// number of workers. At most `window` rays are in flight; a worker that is ahead of the oldest
// unmerged ray waits when too many chunks are queued, so memory stays bounded even for rays with
// millions of echoes.
//
// There is no thread that only merges: whichever worker finishes a ray, or would otherwise have
// to wait, merges what is ready at the head of the fan, one worker at a time. So exactly as many
// threads run as there are workers, and none is woken just to add a few echoes: a merging thread
// of its own took a processor from a worker every time it ran.
class EchoPipeline {
public:
    // trace(worker, writer) runs once on each worker (0..workers−1; 0 is the calling thread) and
    // traces ray writer.Ray() into writer for as long as writer.NextRay() gives one. So a worker
    // keeps what it needs for its rays (its walker) in its own frame, where the compiler knows
    // that nothing else writes it: a walker reached through the heap took 3–4 % longer per ray.
    using TraceFn = std::function<void(int worker, EchoWriter& writer)>;
    // consume(chunk) runs on any worker, one call at a time, in ray order and in the order each
    // ray wrote its echoes.
    using ConsumeFn = std::function<void(const EchoChunk& chunk)>;
    // rayDone(ray) runs on the calling thread, in ray order, once every echo of the ray has been
    // consumed (between the calling thread's own rays, so possibly some rays later).
    using RayDoneFn = std::function<void(std::int32_t ray)>;

    // `lengths`: whether the chunks keep each echo's path length (unwritten otherwise: a third of
    // what the workers write and the merge reads, where nobody needs it).
    EchoPipeline(std::int32_t rayCount, int workers, const std::atomic<bool>* cancel,
                 bool lengths = true);
    ~EchoPipeline();
    EchoPipeline(const EchoPipeline&) = delete;
    EchoPipeline& operator=(const EchoPipeline&) = delete;

    // Runs the whole fan. Rethrows the first exception of a worker or of the callbacks; throws
    // EffectCancelled when the cancel flag is seen set. Workers 1, 2, … run on `helpers` as far
    // as there are any (threads already started, which run the worker as their next task), the
    // others on threads of the pipeline's own.
    void Run(const TraceFn& trace, const ConsumeFn& consume, const RayDoneFn& rayDone,
             std::span<TaskThread* const> helpers = {});

private:
    friend class EchoWriter;
    struct Slot {
        std::deque<EchoChunk*> ready;
        bool done = false;
    };
    struct Stopped {};

    void WorkerLoop(int worker, const TraceFn& trace);
    // Runs trace on worker `worker` until every ray is taken.
    void Feed(int worker, const TraceFn& trace);
    bool NextRay(EchoWriter& writer);
    // With the lock held: hands out the next ray and a chunk for it; false when no ray is left.
    // Throws Stopped.
    bool TakeRay(std::unique_lock<std::mutex>& lock, std::int32_t& ray, EchoChunk*& chunk);
    EchoChunk* TakeChunk(); // with the lock held
    // With the lock held: queues a chunk of `ray`; the last one marks the ray done and returns
    // null, any other returns an empty chunk for the rest of the ray.
    EchoChunk* Submit(std::unique_lock<std::mutex>& lock, std::int32_t ray, EchoChunk* chunk,
                      bool last);
    // With the lock held: whether the head of the fan has something to merge and nobody merges.
    bool CanMerge() const;
    // With the lock held: merges everything ready at the head of the fan, unless another worker
    // is merging; returns whether it merged. Releases the lock while it consumes.
    bool Merge(std::unique_lock<std::mutex>& lock);
    // With the lock held: merges or waits until `ready`; throws Stopped when stopped before.
    template <class Pred> void MergeUntil(std::unique_lock<std::mutex>& lock, Pred ready);
    void Fail(std::exception_ptr error);
    void StopAndJoin();

    const std::int32_t m_rayCount;
    const int m_workers;
    const std::int32_t m_window;
    const std::size_t m_queueLimit;
    const std::atomic<bool>* m_cancel;
    const bool m_lengths;
    const ConsumeFn* m_consume = nullptr;
    // The calling thread's, between its rays, with the head of the fan then.
    const std::function<void(std::int32_t)>* m_betweenRays = nullptr;

    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<Slot> m_slots;
    std::vector<std::unique_ptr<EchoChunk>> m_owned;
    std::vector<EchoChunk*> m_free;
    std::size_t m_queued = 0;
    std::int32_t m_nextRay = 0;
    std::int32_t m_head = 0; // rays before it are merged
    int m_waiting = 0;       // threads waiting on m_cv
    bool m_merging = false;
    bool m_stop = false;
    std::exception_ptr m_error;
    std::vector<WorkerThread> m_threads;
    std::vector<TaskThread*> m_helpers; // those running a worker
};

} // namespace sonivera
