#pragma once

#include <string>
#include <string_view>

namespace sonivera {

// Text from a file made safe to print on a terminal: control characters (C0, DEL and C1, which
// a terminal may take as commands) become \u00XX, bytes that are not UTF-8 become \xXX; all
// other text, Cyrillic included, is kept as it is.
std::string EscapeForTerminal(std::string_view text);

} // namespace sonivera
