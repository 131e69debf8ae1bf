#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sonivera {

// The text side of the numeric exchange between dialog fields and values: how a value is shown in
// an edit field and how an entry is parsed and range-checked, with the message that refuses it.
// Locale-independent (the decimal separator is always '.'). No toolkit involved.

// How an int value is shown: plain decimal.
std::string FormatIntField(int value);
// How a double value is shown: general notation with up to 15 significant digits (as the C
// conversion "%.15g" gives it in the C locale): 1.6e+308, 0.001, 10.
std::string FormatDoubleField(double value);

// The outcome of checking one field: either a value or the message that refuses the entry.
template <class T> struct FieldCheck {
    std::optional<T> value;
    std::string message; // UTF-8; empty when value is set
};

// Parses a decimal integer (leading and trailing blanks allowed, optional sign) and checks the
// inclusive range. Refuses with "Please enter an integer." when it does not parse and with
// "Please enter an integer between min and max." when it is out of range (also when it does not
// fit an int).
FieldCheck<int> CheckIntField(std::string_view text, int min, int max);

// Parses a decimal number (blanks around it, optional sign, digits with an optional point and an
// optional exponent; no hexadecimal, no infinity or NaN) and checks the inclusive range.
// Refuses with "Please enter a number." or "Please enter a number between min and max.", the
// bounds shown as FormatDoubleField shows them.
FieldCheck<double> CheckDoubleField(std::string_view text, double min, double max);

// Truncates toward zero into an int, saturating at the int range; NaN gives 0. Used where a double
// is shown in an integer field.
int TruncateToInt(double value);

} // namespace sonivera
