#pragma once

#include "core/model/SceneLayout.h"

namespace sonivera {

struct SceneSettings;

// The values the scene-size dialog (169) exchanges: whole metres and the snapping flag.
using SceneSizeFields = BasicSceneLayout<int>;

// The size dialog's fields for a scene: sizes and grid steps truncated toward zero.
SceneSizeFields SceneSizeFieldsOf(const SceneSettings& scene);
// Stores the accepted size fields: both sizes when either differs from the scene's, then both
// grid steps and the flag when any of them differs. Returns whether anything was stored (the
// caller then marks the document modified and redraws). Objects are left where they are.
bool ApplySceneSizeFields(SceneSettings& scene, const SceneSizeFields& fields);

} // namespace sonivera
