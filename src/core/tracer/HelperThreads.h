#pragma once

#include "core/tracer/TaskThread.h"

#include <span>
#include <vector>

namespace sonivera {

// Task threads lent to one calculation at a time and kept, idle, for the next one for as long as
// the process runs. Starting a thread took 0.07–0.2 ms of the calling thread's time and joining
// it at the end 0.1–0.2 ms more, on every calculation; an idle thread costs nothing but its
// stack. The threads are never joined: a thread still busy when the process ends (a calculation
// abandoned by exit) must not hold the exit up.
class HelperLease {
public:
    // Borrows `count` idle helpers, starting new ones where there are too few.
    explicit HelperLease(int count);
    // Waits until each helper is idle (every task it was given has run), then gives it back.
    ~HelperLease();
    HelperLease(const HelperLease&) = delete;
    HelperLease& operator=(const HelperLease&) = delete;

    std::span<TaskThread* const> Threads() const { return m_threads; }

private:
    std::vector<TaskThread*> m_threads;
};

} // namespace sonivera
