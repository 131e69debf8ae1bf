#include "Interrupt.h"

#include <csignal>

namespace {

std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

extern "C" void OnInterrupt(int /*signal*/) {
    g_interrupted.store(true);
}

} // namespace

const std::atomic<bool>& InstallInterruptFlag() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    return g_interrupted;
}

bool Interrupted() {
    return g_interrupted.load();
}
