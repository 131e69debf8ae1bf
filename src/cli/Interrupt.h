#pragma once

#include <atomic>

namespace sonivera {

// Ctrl+C (SIGINT), SIGTERM and SIGHUP. The first one sets the returned flag, which the calculation
// and the file writer poll. A second one during the calculation ends the program at once (the
// default action), for a calculation that does not answer; while files are being written every
// one only sets the flag, so the writer can remove its temporary files and the program end with
// its own exit code.
// Installing twice is harmless.
const std::atomic<bool>& InstallInterruptFlag();

// Whether an interrupt has arrived since InstallInterruptFlag.
bool Interrupted();

// From here on (the program writes its files and ends) interrupts only set the flag (see above).
void EnterWritingPhase();

} // namespace sonivera
