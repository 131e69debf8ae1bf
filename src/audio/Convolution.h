#pragma once

#include "audio/AudioBuffer.h"

#include <atomic>
#include <cstddef>
#include <span>
#include <stdexcept>

namespace sonivera {

// Thrown when a convolution is stopped through its cancel flag.
class ConvolutionCancelled : public std::runtime_error {
public:
    ConvolutionCancelled() : std::runtime_error("The convolution was stopped.") {}
};

// The full linear convolution of every channel of `dry` with `response` (overlap-add over real
// FFTs): dry.Frames() + response.size() − 1 frames (none when either is empty), the same rate and
// channel count. Throws AudioError when the result would hold more than kMaxSamples samples, and
// ConvolutionCancelled when `cancel` becomes true (it is checked between blocks).
AudioBuffer Convolve(const AudioBuffer& dry, std::span<const float> response,
                     const std::atomic<bool>* cancel = nullptr);

// The FFT length the convolution uses for a response of `responseLength` samples and a signal of
// `signalLength` frames: the power of two that needs the fewest operations per output sample.
std::size_t ChooseFftLength(std::size_t responseLength, std::size_t signalLength);

} // namespace sonivera
