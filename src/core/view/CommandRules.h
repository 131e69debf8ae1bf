#pragma once

#include "core/view/EditorTool.h"
#include "core/view/ViewGeometry.h"
#include "core/model/ObjectKind.h"
#include "core/model/SceneObject.h"

#include <cstdint>

namespace sonivera {

// Enable and check rules of the editor view's commands, for the menu, the context menu and the
// toolbar alike. Commands not listed here (the four tools, the scene check, the effect
// calculation) are always enabled.

// Delete: a selection that is not the listener.
inline bool CanDeleteObject(const CSceneObject* selected) {
    return selected != nullptr && selected->GetKind() != OBJ_LISTENER;
}

// Properties: any selection, the listener included.
inline bool CanEditProperties(const CSceneObject* selected) {
    return selected != nullptr;
}

inline bool CanZoomIn(std::int32_t pixelsPerMetre) {
    return pixelsPerMetre < kMaxPixelsPerMetre;
}

inline bool CanZoomOut(std::int32_t pixelsPerMetre) {
    return pixelsPerMetre > kMinPixelsPerMetre;
}

// A tool's command shows its check mark (a pressed toolbar button) while that tool is current.
inline bool IsToolChecked(std::int32_t currentTool, EditorTool tool) {
    return currentTool == tool;
}

} // namespace sonivera
