#pragma once

#include "core/edit/ObjectRecord.h"

#include <optional>

namespace sonivera {

class CSceneObject;

// The system clipboard for single objects: the private format of ObjectClipboard.h together with
// the object's JSON text, so that a copied object can also be pasted into a text editor.
bool PutObjectOnClipboard(const CSceneObject& object);
// The object the clipboard holds in the private format, or none (another format, another
// program's data, or data that is not a complete rectangle or source).
std::optional<ObjectRecord> ObjectFromClipboard();

} // namespace sonivera
