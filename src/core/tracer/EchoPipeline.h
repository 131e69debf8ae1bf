#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace sonivera {

// A batch of echoes of one ray, in the order they were recorded: each echo's bin, amplitude and
// path length in metres (the length places it in a fine response; the bins do not need it).
struct EchoChunk {
    static constexpr std::size_t kCapacity = 512;
    std::size_t count = 0;
    std::int32_t bins[kCapacity];
    double amplitudes[kCapacity];
    double lengths[kCapacity];
};

class EchoPipeline;

// Where a worker puts the echoes of the ray it traces; full chunks go to the pipeline at once.
class EchoWriter {
public:
    EchoWriter(EchoPipeline& pipeline, std::int32_t ray, EchoChunk* chunk)
        : m_pipeline(pipeline), m_ray(ray), m_chunk(chunk) {}

    void operator()(std::int32_t bin, double amplitude, double length = 0.0) {
        if (m_chunk->count == EchoChunk::kCapacity) {
            Flush();
        }
        m_chunk->bins[m_chunk->count] = bin;
        m_chunk->amplitudes[m_chunk->count] = amplitude;
        m_chunk->lengths[m_chunk->count] = length;
        ++m_chunk->count;
    }

private:
    friend class EchoPipeline;
    void Flush();

    EchoPipeline& m_pipeline;
    std::int32_t m_ray;
    EchoChunk* m_chunk;
};

// Traces the rays 0..N−1 of a fan on a pool of workers and hands their echoes to the calling
// thread in ray order, so that the sums into the bins are the same whatever the number of workers.
// At most `window` rays are in flight; a worker that is ahead of the ray being consumed waits when
// too many chunks are queued, so memory stays bounded even for rays with millions of echoes.
//
// The calling thread is woken in batches, not once per ray: only when half the window of rays is
// finished, the queue is half full, a worker is about to wait for it, or the fan is done. Each
// wake-up takes a processor from a worker (the pool has as many workers as cores), so waking per
// ray cost a tenth of the time on scenes of short rays.
class EchoPipeline {
public:
    // trace(worker, ray, writer) runs on worker `worker` (0..workers−1).
    using TraceFn = std::function<void(int worker, std::int32_t ray, EchoWriter& writer)>;
    // consume(chunk) and rayDone(ray) run on the calling thread, in ray order.
    using ConsumeFn = std::function<void(const EchoChunk& chunk)>;
    using RayDoneFn = std::function<void(std::int32_t ray)>;

    EchoPipeline(std::int32_t rayCount, int workers, const std::atomic<bool>* cancel);
    ~EchoPipeline();
    EchoPipeline(const EchoPipeline&) = delete;
    EchoPipeline& operator=(const EchoPipeline&) = delete;

    // Runs the whole fan. Rethrows the first exception of a worker or of the callbacks; throws
    // EffectCancelled when the cancel flag is seen set.
    void Run(const TraceFn& trace, const ConsumeFn& consume, const RayDoneFn& rayDone);

private:
    friend class EchoWriter;
    struct Slot {
        std::deque<EchoChunk*> ready;
        bool done = false;
    };
    struct Stopped {};

    void WorkerLoop(int worker, const TraceFn& trace);
    EchoChunk* TakeChunk(); // with the lock held
    EchoChunk* Submit(std::int32_t ray, EchoChunk* chunk, bool last);
    void StopAndJoin();
    // Whether the calling thread has work worth waking for (with the lock held).
    bool ConsumerShouldRun() const;
    // Waits on the workers' condition until `ready`, letting the calling thread run first.
    template <class Pred> void WorkerWait(std::unique_lock<std::mutex>& lock, Pred ready);

    const std::int32_t m_rayCount;
    const int m_workers;
    const std::int32_t m_window;
    const std::size_t m_queueLimit;
    const std::atomic<bool>* m_cancel;

    std::mutex m_mutex;
    std::condition_variable m_workerCv;
    std::condition_variable m_consumerCv;
    std::vector<Slot> m_slots;
    std::vector<std::unique_ptr<EchoChunk>> m_owned;
    std::vector<EchoChunk*> m_free;
    std::size_t m_queued = 0;
    std::int32_t m_nextRay = 0;
    std::int32_t m_head = 0;
    std::int32_t m_finished = 0; // rays finished and not yet consumed
    int m_waitingWorkers = 0;
    bool m_stop = false;
    std::exception_ptr m_error;
    std::vector<std::thread> m_threads;
};

} // namespace sonivera
