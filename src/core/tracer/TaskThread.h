#pragma once

#include "core/tracer/WorkerThread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <span>

namespace sonivera {

// A worker thread that runs the tasks posted to it one after another, and waits between them.
// A calculation calls its other workers in before it builds the search (HelperLease), so they
// share that work and copy the search while the calling thread traces its first ray; by the time
// the pool starts they are ready, where a thread started then began its first ray 0.3–0.5 ms
// later.
class TaskThread {
public:
    TaskThread();
    ~TaskThread(); // waits for the tasks posted, then ends the thread
    TaskThread(const TaskThread&) = delete;
    TaskThread& operator=(const TaskThread&) = delete;

    // Runs task after the tasks posted before it.
    void Post(std::function<void()> task);
    // Waits until every task posted has run; rethrows the first exception a task threw since the
    // last Wait.
    void Wait();
    // Waits as Wait does, dropping any exception (for cleaning up, where the error is reported
    // elsewhere or the work is given up anyway).
    void Drain() noexcept;

private:
    // Between tasks the thread watches for the next one this long before it sleeps, and so does
    // a caller waiting for the tasks to end: the tasks of a calculation's start follow each
    // other within tenths of a millisecond, and a wake-up takes 0.04–0.12 ms here.
    static constexpr std::chrono::microseconds kWatch{200};

    void Loop();
    void WaitIdle(std::unique_lock<std::mutex>& lock);

    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_tasks;
    std::atomic<std::uint64_t> m_posted{0};   // tasks posted so far, and one more at the end
    std::atomic<std::uint64_t> m_finished{0}; // tasks run so far
    bool m_sleeping = false;                  // waiting for a task
    bool m_keptOff = false;                   // woken off the poster's processor (WorkerThread)
    bool m_busy = false;
    bool m_quit = false;
    std::exception_ptr m_error;
    WorkerThread m_thread; // last: started once the members above exist
};

// Runs `part` on every helper and on the calling thread at once, after `own` on the calling
// thread: `part` shares out what is left of a job among the threads (each call takes pieces until
// none is left) and `own` is the calling thread's work that cannot be shared. Returns once every
// helper's call has ended, also when one throws; rethrows the first exception.
void ShareOut(std::span<TaskThread* const> helpers, const std::function<void()>& own,
              const std::function<void()>& part);

} // namespace sonivera
