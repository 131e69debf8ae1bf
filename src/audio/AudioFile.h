#pragma once

#include "audio/AudioBuffer.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sonivera {

// Sound files through libsndfile: whatever it reads (WAV, FLAC, AIFF, Ogg and more) comes in as
// float samples; what the program writes is 32-bit float WAV, built in memory so that the caller
// can hand the complete bytes to the program's one file writer.

// Reads a sound file. Throws AudioError naming the file when it cannot be opened, is not a sound
// file libsndfile knows, is damaged, has a rate outside [kMinSampleRate, kMaxSampleRate], more
// than kMaxChannels channels, more than kMaxSamples samples, or a sample that is not finite.
AudioBuffer ReadAudioFile(const std::string& path);

// The same from the bytes of a file; `name` is used in the messages.
AudioBuffer DecodeAudio(std::span<const std::uint8_t> bytes, const std::string& name);

// The bytes of a 32-bit float WAV file holding the buffer. Throws AudioError when the buffer's
// rate or channel count is out of range or libsndfile refuses it.
std::vector<std::uint8_t> EncodeFloatWav(const AudioBuffer& sound);

} // namespace sonivera
