#pragma once

#include "cli/json/SceneJsonError.h"
#include "core/model/SceneSettings.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace sonivera {

// The scene as JSON, for scripts: the fourteen settings under the names of the scene record and
// "objects", an array of the objects in list order, each with "kind" ("listener", "rect" or
// "source") and its fields under the objects' own names ("m_x", "m_y", then "m_power" for a
// source, "m_width", "m_height", "m_absorption", "m_reflection" for a rectangle). Doubles are
// written in their shortest form that reads back exactly, so a scene survives
// scene → JSON → scene unchanged to the byte.

nlohmann::ordered_json SceneToJson(const SceneSettings& scene);

// The JSON text of the scene, indented by two spaces, with a final newline.
std::string SceneToJsonText(const SceneSettings& scene);

// Builds a scene from its JSON form. Every field is required and no other is allowed; numbers
// must be finite, "rayCount" an integer that fits 32 bits, flags true or false; the objects must
// begin with the listener; and the result must be a scene the scene file reader accepts. Throws
// SceneJsonError naming the offending field.
std::unique_ptr<SceneSettings> SceneFromJson(const nlohmann::ordered_json& json);

// Reads the text (see ParseSceneJsonText: bounded nesting, no duplicate or unknown members, no
// NUL bytes) and builds the scene; text that is not JSON throws SceneJsonError too.
std::unique_ptr<SceneSettings> SceneFromJsonText(std::string_view text);

} // namespace sonivera
