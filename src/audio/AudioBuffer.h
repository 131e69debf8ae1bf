#pragma once

#include <cstddef>
#include <vector>

namespace sonivera {

// A piece of sound in memory: interleaved 32-bit float samples (frame 0's channels first), the
// sample rate in hertz and the channel count.
struct AudioBuffer {
    int rate = 0;
    int channels = 0;
    std::vector<float> samples;

    std::size_t Frames() const {
        return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0;
    }
};

} // namespace sonivera
