#pragma once

#include "audio/AudioBuffer.h"

#include <string>
#include <vector>

namespace sonivera {

// Refuses (bad input) an output that is the same file as one of the inputs; empty inputs (an
// option not given) are skipped. Called before any work, so nothing is computed for an output
// that will not be written.
void RefuseOutputOverInputs(const std::string& output, const std::vector<std::string>& inputs);

// Writes the sound the audio subcommands make: encoded as 32-bit float WAV in memory, then handed
// whole to the program's safe file writer, so a failure or Ctrl+C never leaves a half-written
// file. Exit code 3 when the file cannot be written.
void WriteSoundOrFail(const std::string& output, const AudioBuffer& sound);

// Warns on standard error when a sound's peak (PeakOf) is above full scale (players would clip
// it), naming the peak and the gain that would bring it to full scale.
void WarnIfAboveFullScale(double peak, const std::string& advice);

} // namespace sonivera
