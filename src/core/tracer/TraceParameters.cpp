#include "core/tracer/TraceParameters.h"

#include "core/model/CalcParameterTable.h"
#include "core/model/SceneSettings.h"
#include "core/tracer/EffectErrors.h"
#include "core/tracer/TraceConstants.h"

namespace sonivera {

TraceParameters MakeTraceParameters(const SceneSettings& scene) {
    const CalcParameters& calc = scene.params;
    // In this order, so the field named first stays the same whatever else is wrong.
    for (const CalcMember member :
         {CalcMember(&CalcParameters::rayCount), CalcMember(&CalcParameters::groupTime),
          CalcMember(&CalcParameters::stopTime)}) {
        const CalcField& field = CalcFieldOf(member);
        if (auto refusal = CalculationRefusal(field, calc)) {
            throw EffectParameterError(field.name, *refusal);
        }
    }
    const double bins = std::ceil(calc.stopTime / calc.groupTime);
    if (!(bins <= static_cast<double>(kMaxBinCount))) {
        throw EffectParameterError(
            "groupTime", "The stop time of " + CalcNumberText(calc.stopTime) +
                             " ms and the grouping width of " + CalcNumberText(calc.groupTime) +
                             " ms give " + CalcNumberText(bins) + " bins; at most " +
                             std::to_string(kMaxBinCount) + " are allowed.");
    }
    TraceParameters p;
    p.calc = calc;
    p.binCount = static_cast<std::int32_t>(bins);
    p.stopDistance = calc.stopTime * kMetresPerMillisecond;
    return p;
}

} // namespace sonivera
