#pragma once

#include <string>

namespace sonivera {

// The shortest decimal text that reads back as exactly the same double ("0.1", "1.6e+308",
// "-0"), independent of the process's locale.
std::string RoundTripText(double value);

} // namespace sonivera
