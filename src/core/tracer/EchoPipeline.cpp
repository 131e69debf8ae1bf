#include "core/tracer/EchoPipeline.h"

#include "core/tracer/EffectErrors.h"

#include <algorithm>
#include <stdexcept>

namespace sonivera {

void EchoWriter::Flush() {
    std::unique_lock lock(m_pipeline.m_mutex);
    m_chunk = m_pipeline.Submit(lock, m_ray, m_chunk, false);
}

bool EchoWriter::NextRay() {
    return m_pipeline.NextRay(*this);
}

EchoPipeline::EchoPipeline(std::int32_t rayCount, int workers, const std::atomic<bool>* cancel,
                           bool lengths)
    : m_rayCount(rayCount), m_workers(std::max(workers, 1)), m_window(std::max(64, 32 * workers)),
      m_queueLimit(static_cast<std::size_t>(std::max(256, 64 * workers))), m_cancel(cancel),
      m_lengths(lengths), m_slots(static_cast<std::size_t>(m_window)) {}

EchoPipeline::~EchoPipeline() {
    StopAndJoin();
}

void EchoPipeline::StopAndJoin() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_cv.notify_all();
    for (WorkerThread& t : m_threads) {
        t.Join();
    }
    m_threads.clear();
    for (TaskThread* helper : m_helpers) {
        helper->Drain(); // a worker's failure went through Fail
    }
    m_helpers.clear();
}

void EchoPipeline::Fail(std::exception_ptr error) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_error) {
            m_error = std::move(error);
        }
        m_stop = true;
    }
    m_cv.notify_all();
}

EchoChunk* EchoPipeline::TakeChunk() {
    if (m_free.empty()) {
        m_owned.push_back(std::make_unique_for_overwrite<EchoChunk>()); // count starts at 0
        m_free.push_back(m_owned.back().get());
    }
    EchoChunk* chunk = m_free.back();
    m_free.pop_back();
    chunk->count = 0;
    return chunk;
}

bool EchoPipeline::CanMerge() const {
    if (m_merging || m_head >= m_rayCount) {
        return false;
    }
    const Slot& slot = m_slots[static_cast<std::size_t>(m_head % m_window)];
    return !slot.ready.empty() || slot.done;
}

bool EchoPipeline::Merge(std::unique_lock<std::mutex>& lock) {
    if (!CanMerge()) {
        return false;
    }
    m_merging = true;
    try {
        while (!m_stop && m_head < m_rayCount) {
            Slot& slot = m_slots[static_cast<std::size_t>(m_head % m_window)];
            if (!slot.ready.empty()) {
                EchoChunk* chunk = slot.ready.front();
                slot.ready.pop_front();
                --m_queued;
                lock.unlock();
                (*m_consume)(*chunk);
                lock.lock();
                m_free.push_back(chunk);
            } else if (slot.done) {
                slot.done = false;
                ++m_head;
            } else {
                break; // the head ray is still being traced
            }
        }
    } catch (...) {
        if (!lock.owns_lock()) {
            lock.lock();
        }
        m_merging = false;
        throw;
    }
    m_merging = false;
    if (m_waiting > 0) {
        m_cv.notify_all(); // the window and the queue moved on
    }
    return true;
}

template <class Pred>
void EchoPipeline::MergeUntil(std::unique_lock<std::mutex>& lock, Pred ready) {
    while (!m_stop && !ready()) {
        if (Merge(lock)) {
            continue;
        }
        ++m_waiting;
        m_cv.wait(lock, [&] { return m_stop || ready() || CanMerge(); });
        --m_waiting;
    }
    if (!ready()) {
        throw Stopped{};
    }
}

bool EchoPipeline::TakeRay(std::unique_lock<std::mutex>& lock, std::int32_t& ray,
                           EchoChunk*& chunk) {
    MergeUntil(lock, [&] { return m_nextRay >= m_rayCount || m_nextRay - m_head < m_window; });
    // No ray left comes first: a worker that waited for the window until the fan was done is
    // woken by the stop at the end, which is no failure (and it returns as usual).
    if (m_nextRay >= m_rayCount) {
        return false;
    }
    if (m_stop) {
        throw Stopped{};
    }
    ray = m_nextRay++;
    chunk = TakeChunk();
    return true;
}

EchoChunk* EchoPipeline::Submit(std::unique_lock<std::mutex>& lock, std::int32_t ray,
                                EchoChunk* chunk, bool last) {
    if (m_stop) {
        throw Stopped{};
    }
    Slot& slot = m_slots[static_cast<std::size_t>(ray % m_window)];
    if (chunk->count > 0) {
        slot.ready.push_back(chunk);
        ++m_queued;
    } else {
        m_free.push_back(chunk);
    }
    if (last) {
        slot.done = true;
        Merge(lock); // this ray and any finished after it, if it is the head
        return nullptr;
    }
    if (m_waiting > 0 && CanMerge()) {
        m_cv.notify_all(); // a waiting worker can merge this chunk
    }
    // The others wait while the queue is full; the head ray waits only while twice as many are
    // queued, so then at least half of the queue is its own and can be merged.
    MergeUntil(lock, [&] { return m_queued < (ray == m_head ? 2 * m_queueLimit : m_queueLimit); });
    if (m_stop) {
        throw Stopped{};
    }
    return TakeChunk();
}

bool EchoPipeline::NextRay(EchoWriter& writer) {
    // One hold of the lock hands the ray over and takes the next: each hold costs a transfer of
    // the lock's line from the other worker's core.
    bool taken = false;
    std::int32_t head = 0;
    {
        std::unique_lock lock(m_mutex);
        if (writer.m_chunk != nullptr) {
            writer.m_chunk = Submit(lock, writer.m_ray, writer.m_chunk, true);
        }
        taken = TakeRay(lock, writer.m_ray, writer.m_chunk);
        head = m_head;
    }
    if (writer.m_worker == 0 && m_betweenRays != nullptr) {
        (*m_betweenRays)(head);
    }
    if (m_cancel != nullptr && m_cancel->load(std::memory_order_relaxed)) {
        throw EffectCancelled();
    }
    writer.m_finished = !taken;
    return taken;
}

void EchoPipeline::Feed(int worker, const TraceFn& trace) {
    EchoWriter writer(*this, worker, m_lengths);
    trace(worker, writer);
    if (!writer.m_finished) {
        // A ray taken and never handed over would hold the head of the fan for ever.
        throw std::logic_error("A worker of the pool stopped before every ray was taken.");
    }
}

void EchoPipeline::WorkerLoop(int worker, const TraceFn& trace) {
    try {
        Feed(worker, trace);
    } catch (const Stopped&) {
        // another thread failed or the fan was abandoned; its error is the one reported
    } catch (...) {
        Fail(std::current_exception());
    }
}

void EchoPipeline::Run(const TraceFn& trace, const ConsumeFn& consume, const RayDoneFn& rayDone,
                       std::span<TaskThread* const> helpers) {
    m_consume = &consume;
    std::int32_t reported = 0;
    // Reports the rays before `head` (all merged) that are not reported yet.
    const std::function<void(std::int32_t)> report = [&](std::int32_t head) {
        for (; reported < head; ++reported) {
            // Once cancelled, no further progress is reported.
            if (m_cancel != nullptr && m_cancel->load(std::memory_order_relaxed)) {
                throw EffectCancelled();
            }
            rayDone(reported);
        }
    };
    try {
        for (int w = 1; w < m_workers; ++w) {
            const auto h = static_cast<std::size_t>(w - 1);
            if (h < helpers.size()) {
                m_helpers.push_back(helpers[h]);
                helpers[h]->Post([this, w, &trace] { WorkerLoop(w, trace); });
            } else {
                m_threads.emplace_back([this, w, &trace] { WorkerLoop(w, trace); });
            }
        }
        m_betweenRays = &report;
        Feed(0, trace);
        // No ray is left to take: merge, or wait for the others' rays, until every ray is in.
        while (reported < m_rayCount) {
            std::int32_t head = 0;
            {
                std::unique_lock lock(m_mutex);
                MergeUntil(lock, [&] { return m_head > reported; });
                head = m_head;
            }
            report(head); // at least one ray, so the cancel flag is looked at
        }
    } catch (const Stopped&) {
        // a worker failed; its error is rethrown below
    } catch (...) {
        StopAndJoin();
        throw;
    }
    StopAndJoin();
    if (m_error) {
        std::rethrow_exception(m_error);
    }
}

} // namespace sonivera
