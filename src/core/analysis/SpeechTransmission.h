#pragma once

#include <array>
#include <optional>
#include <span>

namespace sonivera {

// The speech transmission index of an effect by the indirect method from an impulse response:
// the modulation transfer function of the squared response,
//   m(F) = |Σ e(t)·exp(−j2πFt)| / Σ e(t),
// at the 14 modulation frequencies 0.63 … 12.5 Hz, each turned into an apparent signal-to-noise
// ratio 10·log10(m / (1 − m)) held to ±15 dB and into a transmission index (SNR + 15) / 30; their
// mean is the modulation transmission index. The effect has no frequency bands, so every octave
// band has the same index, and the weighted sum over the seven bands with the male speech
// weights (Σα − Σβ = 1) is that index itself. No background noise, no auditory masking and no
// hearing threshold are applied: the figure says what the room's echoes alone do to speech.
//
// The squared response is the model's: bin i's energy spread evenly over [i·g, (i+1)·g) ms from
// `firstBin` on, whose transform is the bin's energy at its middle times sin(x)/x, x = πFg.
struct SpeechTransmission {
    static constexpr std::array<double, 14> kModulationHz = {0.63, 0.8, 1.0, 1.25, 1.6, 2.0,  2.5,
                                                             3.15, 4.0, 5.0, 6.3,  8.0, 10.0, 12.5};
    std::array<double, 14> mtf{};
    double index = 0.0;
};

// None when no bin from `firstBin` on has energy. groupTime in ms, finite and above 0.
std::optional<SpeechTransmission> SpeechTransmissionOf(std::span<const double> bins,
                                                       std::size_t firstBin, double groupTime);

} // namespace sonivera
