#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sonivera {

// Text from a file made safe to print on a terminal: control characters (C0, DEL and C1, which
// a terminal may take as commands) become \u00XX, bytes that are not UTF-8 become \xXX; all
// other text, Cyrillic included, is kept as it is.
std::string EscapeForTerminal(std::string_view text);

// A name or path from outside (a file's field name, a path the user gave) as a message shows it:
// escaped as above, and when longer than `maxBytes` its beginning and end with "…" between
// (cut at whole characters), so a hostile 10 MB name cannot flood a terminal or a dialog.
inline constexpr std::size_t kMaxShownName = 200;
std::string ShownName(std::string_view text, std::size_t maxBytes = kMaxShownName);

// A path as a message shows it: escaped, and shortened only beyond the longest path the system
// takes (4096 bytes), so every real path is shown whole.
inline std::string ShownPath(std::string_view path) {
    return ShownName(path, 4096);
}

} // namespace sonivera
