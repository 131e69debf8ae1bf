#pragma once

#include <optional>
#include <ostream>

namespace sonivera {

// `sonivera --version` and `sonivera --help` (also -h) answer on standard output and end, as the
// command-line tool does, before the toolkit starts (so they work without a display). Returns the
// exit status when the first argument is one of them, nothing otherwise (the editor starts and
// takes the arguments as scene files).
std::optional<int> AnswerInformationalOption(int argc, const char* const* argv, std::ostream& out);

} // namespace sonivera
