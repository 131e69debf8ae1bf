#include "core/tracer/TraceParameters.h"

#include "core/tracer/EffectErrors.h"
#include "core/tracer/TraceConstants.h"
#include "core/model/SceneSettings.h"

#include <sstream>

namespace sonivera {

namespace {

std::string Text(double v) {
    std::ostringstream out;
    out.precision(17);
    out << v;
    return out.str();
}

} // namespace

TraceParameters MakeTraceParameters(const SceneSettings& scene) {
    if (scene.rayCount <= 0) {
        throw EffectParameterError("rayCount", "The ray count must be above 0 (it is " +
                                                   std::to_string(scene.rayCount) + ").");
    }
    if (!std::isfinite(scene.groupTime) || !(scene.groupTime > 0.0)) {
        throw EffectParameterError("groupTime",
                                   "The grouping width must be a finite number of milliseconds "
                                   "above 0 (it is " +
                                       Text(scene.groupTime) + ").");
    }
    if (!std::isfinite(scene.stopTime) || scene.stopTime < 0.0) {
        throw EffectParameterError("stopTime", "The stop time must be a finite number of "
                                               "milliseconds, 0 or more (it is " +
                                                   Text(scene.stopTime) + ").");
    }
    const double bins = std::ceil(scene.stopTime / scene.groupTime);
    if (!(bins <= static_cast<double>(kMaxBinCount))) {
        throw EffectParameterError("groupTime", "The stop time of " + Text(scene.stopTime) +
                                                    " ms and the grouping width of " +
                                                    Text(scene.groupTime) + " ms give " +
                                                    Text(bins) + " bins; at most " +
                                                    std::to_string(kMaxBinCount) + " are allowed.");
    }
    TraceParameters p;
    p.rayCount = scene.rayCount;
    p.binCount = static_cast<std::int32_t>(bins);
    p.groupTime = scene.groupTime;
    p.stopDistance = scene.stopTime * kMetresPerMillisecond;
    p.stopAmplitude = scene.stopAmplitude;
    p.passAbsorptionLimit = scene.passAbsorptionLimit;
    p.mediumAbsorption = scene.mediumAbsorption;
    p.noTransmission = scene.noTransmission;
    p.noReflection = scene.noReflection;
    p.normalize = scene.normalize;
    return p;
}

} // namespace sonivera
