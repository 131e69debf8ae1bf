#pragma once

#include "audio/AudioBuffer.h"

namespace sonivera {

// The level of a sound: its peak, gains in decibels, and bringing a peak to full scale.

// The largest magnitude of any sample (0 for silence).
float PeakOf(const AudioBuffer& sound);

// The factor of a gain in decibels: 10^(dB/20).
double DecibelsToFactor(double decibels);

// The level of a peak in decibels relative to full scale (1.0): 20·log10(peak); −inf for 0.
double PeakToDecibels(double peak);

// Multiplies every sample by the factor.
void ApplyGain(AudioBuffer& sound, double factor);

// Scales the sound so that its peak is exactly full scale (1.0). Silence stays silence. Returns
// the factor applied.
double NormalizeToFullScale(AudioBuffer& sound);

} // namespace sonivera
