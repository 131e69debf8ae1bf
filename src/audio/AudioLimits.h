#pragma once

#include <cstddef>

namespace sonivera {

// The bounds within which the audio library works. They keep a damaged or hostile file, or a
// mistaken option, from asking for more memory than a desktop has.

// Sample rates accepted for reading, making and writing sound, in hertz.
inline constexpr int kMinSampleRate = 8000;
inline constexpr int kMaxSampleRate = 384000;

// Channels accepted in a sound file.
inline constexpr int kMaxChannels = 64;

// Samples (frames × channels) that one sound in memory may hold: 2^27, 512 MiB of floats, a
// little over 23 minutes of 48 kHz stereo.
inline constexpr std::size_t kMaxSamples = std::size_t{1} << 27;

// True when the rate lies within [kMinSampleRate, kMaxSampleRate].
constexpr bool IsSupportedRate(long long rate) {
    return rate >= kMinSampleRate && rate <= kMaxSampleRate;
}

} // namespace sonivera
