#include "core/tracer/TaskThread.h"

#include <chrono>
#include <utility>

namespace sonivera {

TaskThread::TaskThread() : m_thread([this] { Loop(); }) {}

TaskThread::~TaskThread() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_posted.fetch_add(1, std::memory_order_release); // ends a watch at once
    }
    m_cv.notify_all();
    m_thread.Join();
}

void TaskThread::Post(std::function<void()> task) {
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
        m_posted.fetch_add(1, std::memory_order_release);
        if (m_sleeping && !m_keptOff) {
            m_keptOff = m_thread.KeepOffCallersProcessor();
        }
    }
    m_cv.notify_all();
}

namespace {

// Returns once done() holds or kWatch has passed.
template <class Done> void Watch(Done done, std::chrono::microseconds watch) {
    const auto until = std::chrono::steady_clock::now() + watch;
    do {
        for (int i = 0; i < 64; ++i) {
            if (done()) {
                return;
            }
#if defined(__x86_64__) || defined(__i386__)
            __builtin_ia32_pause();
#endif
        }
    } while (std::chrono::steady_clock::now() < until);
}

} // namespace

void TaskThread::WaitIdle(std::unique_lock<std::mutex>& lock) {
    if (!m_tasks.empty() || m_busy) {
        // The last task usually ends within microseconds of the caller's own part.
        const std::uint64_t target =
            m_finished.load(std::memory_order_relaxed) + m_tasks.size() + (m_busy ? 1 : 0);
        lock.unlock();
        Watch([&] { return m_finished.load(std::memory_order_acquire) >= target; }, kWatch);
        lock.lock();
    }
    m_cv.wait(lock, [&] { return m_tasks.empty() && !m_busy; });
}

void TaskThread::Wait() {
    std::unique_lock lock(m_mutex);
    WaitIdle(lock);
    if (m_error) {
        std::rethrow_exception(std::exchange(m_error, nullptr));
    }
}

void TaskThread::Drain() noexcept {
    std::unique_lock lock(m_mutex);
    WaitIdle(lock);
    m_error = nullptr;
}

void TaskThread::Loop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_tasks.empty() && !m_quit) {
            const std::uint64_t seen = m_posted.load(std::memory_order_relaxed);
            lock.unlock();
            Watch([&] { return m_posted.load(std::memory_order_acquire) != seen; }, kWatch);
            lock.lock();
        }
        m_sleeping = true;
        m_cv.wait(lock, [&] { return m_quit || !m_tasks.empty(); });
        m_sleeping = false;
        if (m_keptOff) {
            m_keptOff = false;
            m_thread.TakeAllProcessors();
        }
        if (m_tasks.empty()) {
            return; // quit, and nothing left to run
        }
        std::function<void()> task = std::move(m_tasks.front());
        m_tasks.pop_front();
        m_busy = true;
        lock.unlock();
        std::exception_ptr error;
        try {
            task();
        } catch (...) {
            error = std::current_exception();
        }
        task = nullptr; // what the task holds is released on this thread, before Wait returns
        lock.lock();
        m_busy = false;
        m_finished.fetch_add(1, std::memory_order_release);
        if (error && !m_error) {
            m_error = error;
        }
        m_cv.notify_all();
    }
}

void ShareOut(std::span<TaskThread* const> helpers, const std::function<void()>& own,
              const std::function<void()>& part) {
    for (TaskThread* helper : helpers) {
        helper->Post(part);
    }
    std::exception_ptr error;
    try {
        own();
        part();
    } catch (...) {
        error = std::current_exception();
    }
    for (TaskThread* helper : helpers) {
        try {
            helper->Wait();
        } catch (...) {
            if (!error) {
                error = std::current_exception();
            }
        }
    }
    if (error) {
        std::rethrow_exception(error);
    }
}

} // namespace sonivera
