#pragma once

#include "core/edit/ObjectRecord.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sonivera {

class CSceneObject;
struct SceneSettings;

// Copying and pasting single objects between scenes (and between running editors).
//
// The private clipboard format (kObjectClipboardFormat) holds one object, little-endian like the
// scene file: the archive string "SoniveraObject" (length byte 14 and the letters), the object's
// kind code (int32: 2 rectangle, 3 sound source) and the object's fields exactly as in its scene
// file record (rectangle: x, y, width, height, absorption, reflection; source: x, y, power; all
// doubles). Alongside it the clipboard carries the object as JSON text in the form the
// command-line tool's "objects" array uses.

inline constexpr const char* kObjectClipboardFormat = "application/x-sonivera-object";

// Only rectangles and sound sources can be copied; the listener is the scene's one receiver.
bool CanCopyObject(const CSceneObject* object);

std::vector<std::uint8_t> EncodeClipboardObject(const ObjectRecord& record);
// The object in the private format, or none for data that is not exactly one complete rectangle
// or source with finite fields and sides not below 0 (the clipboard may hold anything).
std::optional<ObjectRecord> DecodeClipboardObject(std::span<const std::uint8_t> bytes);

// The object as one JSON object: {"kind": "rect", "m_x": 10.0, ...}, numbers in their shortest
// form that reads back exactly.
std::string ObjectJsonText(const CSceneObject& object);

// The object of a JSON text in that form (what a copy puts on the clipboard as text, perhaps
// edited in a text editor and copied back): exactly the kind's fields, each once, numbers that are
// finite, sides not below 0. None for any other text.
std::optional<ObjectRecord> ObjectFromJsonText(std::string_view text);

// Where a pasted object goes in `scene`: `steps` grid steps right and down from where it was
// copied (each further paste of the same clipboard one step more, so two pastes never coincide),
// then kept inside the scene (a source's point within the scene; a rectangle's corner so that the
// whole rectangle fits where it can, never left of or above the origin).
ObjectRecord PlacePastedObject(const ObjectRecord& copied, SceneSettings& scene, int steps = 1);

} // namespace sonivera
