#include "core/tracer/EchoPipeline.h"

#include "core/tracer/EffectErrors.h"

#include <algorithm>

namespace sonivera {

void EchoWriter::Flush() {
    m_chunk = m_pipeline.Submit(m_ray, m_chunk, false);
}

EchoPipeline::EchoPipeline(std::int32_t rayCount, int workers, const std::atomic<bool>* cancel)
    : m_rayCount(rayCount), m_workers(workers), m_window(std::max(64, 32 * workers)),
      m_queueLimit(static_cast<std::size_t>(std::max(256, 64 * workers))), m_cancel(cancel),
      m_slots(static_cast<std::size_t>(m_window)) {}

EchoPipeline::~EchoPipeline() {
    StopAndJoin();
}

void EchoPipeline::StopAndJoin() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_workerCv.notify_all();
    m_consumerCv.notify_all();
    for (std::thread& t : m_threads) {
        t.join();
    }
    m_threads.clear();
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

bool EchoPipeline::ConsumerShouldRun() const {
    if (m_stop) {
        return true;
    }
    const Slot& slot = m_slots[static_cast<std::size_t>(m_head % m_window)];
    if (slot.ready.empty() && !slot.done) {
        return false; // nothing to take at the head of the fan
    }
    return 2 * m_finished >= m_window || 2 * m_queued >= m_queueLimit || m_waitingWorkers > 0 ||
           m_head + m_finished >= m_rayCount;
}

template <class Pred>
void EchoPipeline::WorkerWait(std::unique_lock<std::mutex>& lock, Pred ready) {
    if (ready()) {
        return;
    }
    // The calling thread may be what this worker waits for: it must run now, batch or not.
    ++m_waitingWorkers;
    if (ConsumerShouldRun()) {
        m_consumerCv.notify_one();
    }
    m_workerCv.wait(lock, ready);
    --m_waitingWorkers;
}

EchoChunk* EchoPipeline::Submit(std::int32_t ray, EchoChunk* chunk, bool last) {
    std::unique_lock lock(m_mutex);
    Slot& slot = m_slots[static_cast<std::size_t>(ray % m_window)];
    if (chunk->count > 0) {
        slot.ready.push_back(chunk);
        ++m_queued;
    } else {
        m_free.push_back(chunk);
    }
    if (last) {
        slot.done = true;
        ++m_finished;
    }
    if (ConsumerShouldRun()) {
        m_consumerCv.notify_one();
    }
    if (last) {
        return nullptr;
    }
    // The others wait while the queue is full; the ray being consumed waits only while twice as
    // many are queued, so then at least half of the queue is its own and is being drained.
    WorkerWait(lock, [&] {
        return m_stop || m_queued < (ray == m_head ? 2 * m_queueLimit : m_queueLimit);
    });
    if (m_stop) {
        throw Stopped{};
    }
    return TakeChunk();
}

void EchoPipeline::WorkerLoop(int worker, const TraceFn& trace) {
    for (;;) {
        std::int32_t ray;
        EchoChunk* chunk;
        {
            std::unique_lock lock(m_mutex);
            WorkerWait(lock, [&] {
                return m_stop || m_nextRay >= m_rayCount || m_nextRay - m_head < m_window;
            });
            if (m_stop || m_nextRay >= m_rayCount) {
                return;
            }
            ray = m_nextRay++;
            chunk = TakeChunk();
        }
        try {
            EchoWriter writer(*this, ray, chunk);
            trace(worker, ray, writer);
            Submit(ray, writer.m_chunk, true);
        } catch (const Stopped&) {
            return;
        } catch (...) {
            {
                std::lock_guard lock(m_mutex);
                if (!m_error) {
                    m_error = std::current_exception();
                }
                m_stop = true;
            }
            m_workerCv.notify_all();
            m_consumerCv.notify_all();
            return;
        }
    }
}

void EchoPipeline::Run(const TraceFn& trace, const ConsumeFn& consume, const RayDoneFn& rayDone) {
    for (int w = 0; w < m_workers; ++w) {
        m_threads.emplace_back([this, w, &trace] { WorkerLoop(w, trace); });
    }
    try {
        while (m_head < m_rayCount) {
            EchoChunk* chunk = nullptr;
            bool wakeWorkers = false;
            {
                std::unique_lock lock(m_mutex);
                Slot& slot = m_slots[static_cast<std::size_t>(m_head % m_window)];
                if (slot.ready.empty() && !slot.done) {
                    m_consumerCv.wait(lock, [&] { return ConsumerShouldRun(); });
                }
                if (m_stop) {
                    break;
                }
                if (!slot.ready.empty()) {
                    chunk = slot.ready.front();
                    slot.ready.pop_front();
                    --m_queued;
                } else {
                    slot.done = false;
                    ++m_head;
                    --m_finished;
                }
                wakeWorkers = m_waitingWorkers > 0;
            }
            if (wakeWorkers) {
                m_workerCv.notify_all();
            }
            if (chunk != nullptr) {
                consume(*chunk);
                std::lock_guard lock(m_mutex);
                m_free.push_back(chunk);
            } else {
                rayDone(m_head - 1);
            }
            if (m_cancel != nullptr && m_cancel->load(std::memory_order_relaxed)) {
                throw EffectCancelled();
            }
        }
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
