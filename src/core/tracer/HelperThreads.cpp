#include "core/tracer/HelperThreads.h"

#include <memory>
#include <mutex>

namespace sonivera {

namespace {

struct IdleHelpers {
    std::mutex mutex;
    std::vector<TaskThread*> idle;
};

// Made on first use and never destroyed, so that no exit waits for a helper (HelperLease).
IdleHelpers& Idle() {
    static IdleHelpers* const helpers = new IdleHelpers;
    return *helpers;
}

} // namespace

HelperLease::HelperLease(int count) {
    IdleHelpers& pool = Idle();
    std::lock_guard lock(pool.mutex);
    m_threads.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    try {
        while (static_cast<int>(m_threads.size()) < count) {
            if (!pool.idle.empty()) {
                m_threads.push_back(pool.idle.back());
                pool.idle.pop_back();
            } else {
                auto helper = std::make_unique<TaskThread>();
                m_threads.push_back(helper.get());
                helper.release(); // kept for the life of the process
            }
        }
    } catch (...) {
        pool.idle.insert(pool.idle.end(), m_threads.begin(), m_threads.end());
        throw;
    }
}

HelperLease::~HelperLease() {
    for (TaskThread* helper : m_threads) {
        helper->Drain();
    }
    IdleHelpers& pool = Idle();
    std::lock_guard lock(pool.mutex);
    pool.idle.insert(pool.idle.end(), m_threads.begin(), m_threads.end());
}

} // namespace sonivera
