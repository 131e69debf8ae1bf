#pragma once

#include <functional>
#include <memory>

namespace sonivera {

// A joinable thread for a worker of the pool, started beside its creator. The creator goes on
// tracing at once, and a new thread is by default queued on the creator's own processor, where it
// waited 1–4 ms for the creator's time slice to end while the other processor stood idle (a tenth
// of a worker's share of a hall's fan). So the thread is started on the processors other than the
// creator's (where there are any), and takes the creator's whole set back as soon as it runs, so
// the system may move it later as it sees fit.
class WorkerThread {
public:
    // body must not throw (as with std::thread, an escaping exception ends the program).
    explicit WorkerThread(std::function<void()> body);
    ~WorkerThread(); // joins
    WorkerThread(WorkerThread&&) noexcept;
    WorkerThread& operator=(WorkerThread&&) = delete;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    void Join();

    // Called on another thread that is about to wake this one: keeps this thread off the
    // caller's processor, since a sleeping thread woken by a busy one was put on the waker's
    // processor, where it waited for the waker's time slice (1–4 ms) while its own processor
    // stood idle. Returns whether it did; the thread then calls TakeAllProcessors once it runs.
    bool KeepOffCallersProcessor();
    // On this worker's own thread: takes its creator's whole set of processors back.
    void TakeAllProcessors();

    struct State; // the body, the thread and the creator's processors

private:
    std::unique_ptr<State> m_state;
};

} // namespace sonivera
