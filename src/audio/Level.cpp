#include "audio/Level.h"

#include <cmath>
#include <limits>

namespace sonivera {

float PeakOf(const AudioBuffer& sound) {
    float peak = 0.0f;
    for (float s : sound.samples)
        peak = std::max(peak, std::fabs(s));
    return peak;
}

double DecibelsToFactor(double decibels) { return std::pow(10.0, decibels / 20.0); }

double PeakToDecibels(double peak) {
    return peak > 0.0 ? 20.0 * std::log10(peak) : -std::numeric_limits<double>::infinity();
}

void ApplyGain(AudioBuffer& sound, double factor) {
    for (float& s : sound.samples)
        s = static_cast<float>(static_cast<double>(s) * factor);
}

double NormalizeToFullScale(AudioBuffer& sound) {
    float peak = PeakOf(sound);
    if (peak == 0.0f)
        return 1.0;
    double factor = 1.0 / static_cast<double>(peak);
    ApplyGain(sound, factor);
    // Rounding may leave the loudest sample a hair above 1; pull any such sample to exactly 1.
    for (float& s : sound.samples)
        s = std::fmax(-1.0f, std::fmin(1.0f, s));
    return factor;
}

} // namespace sonivera
