#include "core/tracer/WorkerThread.h"

#include <pthread.h>
#include <sched.h>

#include <exception>
#include <system_error>
#include <utility>

namespace sonivera {

struct WorkerThread::State {
    std::function<void()> body;
    cpu_set_t creatorCpus{};
    bool haveCpus = false; // creatorCpus holds the creator's set
    bool restore = false;
    pthread_t thread{};
    bool joinable = false;
};

namespace {

void* RunWorker(void* arg) {
    auto* state = static_cast<WorkerThread::State*>(arg);
    if (state->restore) {
        // Failing leaves the thread off its creator's processor: slower at worst, never wrong.
        static_cast<void>(
            pthread_setaffinity_np(pthread_self(), sizeof(cpu_set_t), &state->creatorCpus));
    }
    try {
        state->body();
    } catch (...) {
        std::terminate();
    }
    return nullptr;
}

} // namespace

WorkerThread::WorkerThread(std::function<void()> body) : m_state(std::make_unique<State>()) {
    m_state->body = std::move(body);
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0) {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                                "A worker thread could not be started");
    }
    const int here = sched_getcpu();
    if (here >= 0 && here < CPU_SETSIZE &&
        pthread_getaffinity_np(pthread_self(), sizeof(cpu_set_t), &m_state->creatorCpus) == 0) {
        m_state->haveCpus = true;
        cpu_set_t others = m_state->creatorCpus;
        CPU_CLR(here, &others);
        if (CPU_COUNT(&others) > 0 &&
            pthread_attr_setaffinity_np(&attr, sizeof(cpu_set_t), &others) == 0) {
            m_state->restore = true;
        }
    }
    int error = pthread_create(&m_state->thread, &attr, RunWorker, m_state.get());
    pthread_attr_destroy(&attr);
    if (error != 0 && m_state->restore) {
        m_state->restore = false; // refused with the processors asked for: anywhere, then
        error = pthread_create(&m_state->thread, nullptr, RunWorker, m_state.get());
    }
    if (error != 0) {
        throw std::system_error(error, std::generic_category(),
                                "A worker thread could not be started");
    }
    m_state->joinable = true;
}

void WorkerThread::Join() {
    if (m_state != nullptr && m_state->joinable) {
        pthread_join(m_state->thread, nullptr);
        m_state->joinable = false;
    }
}

bool WorkerThread::KeepOffCallersProcessor() {
    if (m_state == nullptr || !m_state->joinable || !m_state->haveCpus) {
        return false;
    }
    const int here = sched_getcpu();
    if (here < 0 || here >= CPU_SETSIZE) {
        return false;
    }
    cpu_set_t others = m_state->creatorCpus;
    CPU_CLR(here, &others);
    return CPU_COUNT(&others) > 0 &&
           pthread_setaffinity_np(m_state->thread, sizeof(cpu_set_t), &others) == 0;
}

void WorkerThread::TakeAllProcessors() {
    // Failing leaves the thread off one processor: slower at worst, never wrong.
    static_cast<void>(
        pthread_setaffinity_np(pthread_self(), sizeof(cpu_set_t), &m_state->creatorCpus));
}

WorkerThread::WorkerThread(WorkerThread&&) noexcept = default;

WorkerThread::~WorkerThread() {
    Join();
}

} // namespace sonivera
