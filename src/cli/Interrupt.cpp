#include "cli/Interrupt.h"

#include <csignal>

namespace sonivera {

namespace {

std::atomic<bool> g_interrupted{false};
std::atomic<bool> g_writing{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flags are used in a signal handler");

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void OnInterrupt(int signal) {
    const bool again = g_interrupted.exchange(true);
    if (again && !g_writing.load()) {
        // Both calls are async-signal-safe; the signal is blocked until the handler returns, so
        // the default action (ending the program) follows at once.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

} // namespace

const std::atomic<bool>& InstallInterruptFlag() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals) {
        sigaddset(&action.sa_mask, signal);
    }
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals) {
        // A signal ignored by whoever started the program (nohup) stays ignored.
        struct sigaction old {};
        if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) {
            continue;
        }
        sigaction(signal, &action, nullptr);
    }
    return g_interrupted;
}

bool Interrupted() {
    return g_interrupted.load();
}

void EnterWritingPhase() {
    g_writing.store(true);
    InstallInterruptFlag();
}

} // namespace sonivera
