#include "core/plot/PlotTicks.h"

#include <cmath>
#include <cstdio>

namespace sonivera {

AxisTicks NiceTicks(double low, double high, int maxTicks) {
    AxisTicks ticks;
    if (!std::isfinite(low) || !std::isfinite(high) || !(high > low) || maxTicks < 1) {
        return ticks;
    }
    const double rough = (high - low) / maxTicks;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10.0 * power;
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough) {
            step = factor * power;
            break;
        }
    }
    const double slack = step * 1e-9;
    const double first = std::ceil((low - slack) / step);
    ticks.step = step;
    for (double k = first; k * step <= high + slack; k += 1.0) {
        ticks.values.push_back(k * step);
    }
    return ticks;
}

std::string TickLabel(double value, double step) {
    int decimals = 0;
    if (step > 0.0 && step < 1.0) {
        decimals = static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    }
    const double rounded = std::abs(value) < step * 1e-6 ? 0.0 : value;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, rounded);
    return text;
}

} // namespace sonivera
