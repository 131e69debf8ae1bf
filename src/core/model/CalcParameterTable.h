#pragma once

#include "core/model/CalcParameters.h"

#include <optional>
#include <span>
#include <string>
#include <variant>

namespace sonivera {

// The member of CalcParameters a field is.
using CalcMember =
    std::variant<double CalcParameters::*, bool CalcParameters::*, std::int32_t CalcParameters::*>;

// An inclusive range of values.
struct CalcRange {
    double min = 0.0;
    double max = 0.0;
};

// What a calculation needs of a value beyond what a scene may hold.
enum class CalcNeed {
    Any,     // whatever the scene holds
    AtLeast, // finite and at least `calcBound`
    Above,   // finite and above `calcBound`
};

// One calculation parameter: everything the dialog, the scene file's reader, the JSON form, the
// `info` listing and the tracer need to know of it besides its place in the file's byte layout.
struct CalcField {
    const char* name; // the member's name: the JSON key, the `info` label, the field an error names
    CalcMember member;
    const char* unit;                // "ms", "1/m" or "" (a plain number or a flag)
    const char* title;               // what it is called in a message ("grouping width")
    const char* unitName;            // the unit in a message ("milliseconds"), "" for none
    std::optional<CalcRange> dialog; // what the parameters dialog accepts; none for a flag
    bool fileFinite;                 // a scene may hold only finite values (else any value)
    CalcNeed calcNeed;               // what a calculation needs
    double calcBound;
};

// The nine fields in the scene record's order (which is also the order the parameters dialog
// exchanges them in, and the order of the JSON keys and the `info` lines).
std::span<const CalcField> CalcFields();

// The field of a member, e.g. CalcFieldOf(&CalcParameters::rayCount).
const CalcField& CalcFieldOf(CalcMember member);

// The field's value as a double (a flag as 0 or 1).
double CalcValue(const CalcField& field, const CalcParameters& params);

// Whether a scene (read from a file or built from JSON) may hold the field's value.
bool SceneMayHold(const CalcField& field, const CalcParameters& params);

// The message that refuses the field's value for a calculation, or none when it is acceptable.
std::optional<std::string> CalculationRefusal(const CalcField& field, const CalcParameters& params);

// The shortest text that names the value exactly enough for a message (17 significant digits).
std::string CalcNumberText(double value);

} // namespace sonivera
