#pragma once

#include <string>
#include <vector>

namespace sonivera {

// Axis ticks at "nice" values: a step of 1, 2 or 5 times a power of ten, the smallest such step
// that gives at most `maxTicks` intervals over [low, high]; the ticks are the multiples of the
// step within [low, high] (a multiple a rounding error outside still counts). Empty when the
// range is not finite or empty or maxTicks < 1.
struct AxisTicks {
    double step = 0.0;
    std::vector<double> values;
};
AxisTicks NiceTicks(double low, double high, int maxTicks);

// A tick's label: as many decimals as the step needs, no "-0".
std::string TickLabel(double value, double step);

} // namespace sonivera
