#include "core/analysis/SpeechTransmission.h"

#include <algorithm>
#include <cmath>

namespace sonivera {

std::optional<SpeechTransmission> SpeechTransmissionOf(std::span<const double> bins,
                                                       std::size_t firstBin, double groupTime) {
    double total = 0.0;
    for (std::size_t i = firstBin; i < bins.size(); ++i) {
        total += bins[i] * bins[i];
    }
    if (!(total > 0.0)) {
        return std::nullopt;
    }
    constexpr double kPi = 3.141592653589793;
    SpeechTransmission sti;
    double sum = 0.0;
    for (std::size_t f = 0; f < sti.kModulationHz.size(); ++f) {
        const double omega = 2.0 * kPi * sti.kModulationHz[f] / 1000.0; // radians per ms
        // exp(−jω·t) at the bins' middles, stepped from bin to bin by one rotation (no sine or
        // cosine per bin; the rounding that builds up is far below what the figure shows).
        const double stepRe = std::cos(omega * groupTime);
        const double stepIm = -std::sin(omega * groupTime);
        double zRe = std::cos(omega * groupTime / 2.0);
        double zIm = -std::sin(omega * groupTime / 2.0);
        double re = 0.0, im = 0.0;
        for (std::size_t i = firstBin; i < bins.size(); ++i) {
            const double e = bins[i] * bins[i];
            re += e * zRe;
            im += e * zIm;
            const double nextRe = zRe * stepRe - zIm * stepIm;
            zIm = zRe * stepIm + zIm * stepRe;
            zRe = nextRe;
        }
        const double x = omega * groupTime / 2.0;
        const double spread = x > 0.0 ? std::sin(x) / x : 1.0;
        const double m = std::clamp(std::hypot(re, im) / total * std::fabs(spread), 0.0, 1.0);
        sti.mtf[f] = m;
        const double snr = m >= 1.0   ? 15.0
                           : m <= 0.0 ? -15.0
                                      : std::clamp(10.0 * std::log10(m / (1.0 - m)), -15.0, 15.0);
        sum += (snr + 15.0) / 30.0;
    }
    sti.index = sum / static_cast<double>(sti.kModulationHz.size());
    return sti;
}

} // namespace sonivera
