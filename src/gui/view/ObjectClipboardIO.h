#pragma once

#include "core/edit/ObjectRecord.h"

#include <optional>

namespace sonivera {

class CSceneObject;

// The system clipboard for single objects: the private format of ObjectClipboard.h together with
// the object's JSON text, so that a copied object can also be pasted into a text editor.
bool PutObjectOnClipboard(const CSceneObject& object);
// The object the clipboard holds in the private format, or else as the object's JSON text (the
// editor's own text copied back from a text editor); none for anything else.
std::optional<ObjectRecord> ObjectFromClipboard();

// Whether the clipboard holds an object now. Asking opens the clipboard, so the editor asks when a
// menu opens or its window gains focus, not all the time.
bool ClipboardHoldsObject();

} // namespace sonivera
