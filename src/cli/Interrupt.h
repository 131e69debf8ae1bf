#pragma once

#include <atomic>

// Ctrl+C (SIGINT) and SIGTERM during a long calculation: the first one sets the returned flag,
// which the calculation polls, and puts the default handler back so that a second one ends the
// program at once.
const std::atomic<bool>& InstallInterruptFlag();

// Whether an interrupt has arrived since InstallInterruptFlag.
bool Interrupted();
