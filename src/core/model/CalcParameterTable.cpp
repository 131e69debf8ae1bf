#include "core/model/CalcParameterTable.h"

#include "core/model/FiniteInfinity.h"

#include <array>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace sonivera {

namespace {

using P = CalcParameters;

// The dialog's ranges are those it has always enforced. Two differ from what their labels say,
// and both are kept on purpose: the passage limit's label reads "1 - Inf" but the dialog accepts
// 0 and up, so a limit below 1 (passage only through objects absorbing less than that) can be
// entered, and a scene holding one can be confirmed unchanged; the labels of the ray count, the
// grouping and the stop time state their ranges as enforced. (The scene-size dialog's grid steps
// likewise accept 1 to 100 although their labels say 1 to 10.)
constexpr std::array<CalcField, 9> kFields = {{
    {"passAbsorptionLimit", &P::passAbsorptionLimit, "1/m", "passage absorption limit", "",
     CalcRange{0.0, kInfiniteCoefficient}, true, CalcNeed::Any, 0.0},
    {"stopAmplitude", &P::stopAmplitude, "", "stop amplitude", "", CalcRange{0.0, 1.0}, true,
     CalcNeed::Any, 0.0},
    // A calculation divides by the grouping width: it must be above 0 (a file may hold 0).
    {"groupTime", &P::groupTime, "ms", "grouping width", "milliseconds", CalcRange{1.0, 100.0},
     true, CalcNeed::Above, 0.0},
    {"noTransmission", &P::noTransmission, "", "no-transmission switch", "", std::nullopt, false,
     CalcNeed::Any, 0.0},
    {"noReflection", &P::noReflection, "", "no-reflection switch", "", std::nullopt, false,
     CalcNeed::Any, 0.0},
    {"normalize", &P::normalize, "", "normalisation switch", "", std::nullopt, false, CalcNeed::Any,
     0.0},
    // Any 32-bit count may stand in a file; a calculation needs at least one ray.
    {"rayCount", &P::rayCount, "", "ray count", "", CalcRange{10.0, 1000.0}, false, CalcNeed::Above,
     0.0},
    {"mediumAbsorption", &P::mediumAbsorption, "1/m", "medium absorption", "",
     CalcRange{0.0, kInfiniteCoefficient}, true, CalcNeed::Any, 0.0},
    // A stop time of 0 gives an effect of no bins, which is harmless; below 0 it is refused.
    {"stopTime", &P::stopTime, "ms", "stop time", "milliseconds", CalcRange{10.0, 10000.0}, true,
     CalcNeed::AtLeast, 0.0},
}};

} // namespace

std::span<const CalcField> CalcFields() {
    return kFields;
}

const CalcField& CalcFieldOf(CalcMember member) {
    for (const CalcField& field : kFields) {
        if (field.member == member) {
            return field;
        }
    }
    throw std::logic_error("not a calculation parameter"); // not reached: every member is listed
}

double CalcValue(const CalcField& field, const CalcParameters& params) {
    return std::visit([&](auto member) { return static_cast<double>(params.*member); },
                      field.member);
}

bool SceneMayHold(const CalcField& field, const CalcParameters& params) {
    return !field.fileFinite || std::isfinite(CalcValue(field, params));
}

std::optional<std::string> CalculationRefusal(const CalcField& field,
                                              const CalcParameters& params) {
    const double value = CalcValue(field, params);
    const bool accepted =
        field.calcNeed == CalcNeed::Any ||
        (std::isfinite(value) && (field.calcNeed == CalcNeed::Above ? value > field.calcBound
                                                                    : !(value < field.calcBound)));
    if (accepted) {
        return std::nullopt;
    }
    const bool count = std::holds_alternative<std::int32_t CalcParameters::*>(field.member);
    std::string rule;
    if (!count) {
        rule = *field.unitName != '\0' ? std::string("a finite number of ") + field.unitName
                                       : std::string("a finite number");
    }
    if (field.calcNeed == CalcNeed::Above) {
        rule += std::string(count ? "" : " ") + "above " + CalcNumberText(field.calcBound);
    } else {
        rule += std::string(count ? "" : ", ") + CalcNumberText(field.calcBound) + " or more";
    }
    const std::string shown =
        count ? std::to_string(params.*std::get<2>(field.member)) : CalcNumberText(value);
    return "The " + std::string(field.title) + " must be " + rule + " (it is " + shown + ").";
}

std::string CalcNumberText(double value) {
    std::ostringstream out;
    out.precision(17);
    out << value;
    return out.str();
}

} // namespace sonivera
