#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string_view>

namespace sonivera {

// How deeply arrays and objects may nest in a scene's JSON text. A scene needs three levels (the
// scene, its "objects" array, an object); anything nested deeper is refused while it is read.
inline constexpr std::size_t kMaxJsonDepth = 64;

// Reads the JSON text of a scene into the JSON value SceneFromJson takes, in time and memory
// linear in the text, refusing with SceneJsonError as soon as it is read:
//  - text that is not JSON (with the parser's line and column), a NUL byte anywhere;
//  - nesting deeper than kMaxJsonDepth;
//  - a member of the scene or of an object that is no field of a scene or of any object kind
//    ("unknown field"), and a member given twice ("duplicate field").
// A container found where a number, a flag or a kind belongs is read past without being kept
// (it stands in the result as an empty array or object), so SceneFromJson still names the field
// and the type it got.
nlohmann::ordered_json ParseSceneJsonText(std::string_view text);

} // namespace sonivera
