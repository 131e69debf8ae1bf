#pragma once

struct SceneSettings;

// The values the scene-size dialog (169) exchanges: whole metres and the snapping flag.
struct SceneSizeFields {
    int width = 0;
    int height = 0;
    int gridX = 0;
    int gridY = 0;
    bool snapToGrid = false;
};

// The size dialog's fields for a scene: sizes and grid steps truncated toward zero.
SceneSizeFields SceneSizeFieldsOf(const SceneSettings& scene);
// Stores the accepted size fields: both sizes when either differs from the scene's, then both
// grid steps and the flag when any of them differs. Returns whether anything was stored (the
// caller then marks the document modified and redraws). Objects are left where they are.
bool ApplySceneSizeFields(SceneSettings& scene, const SceneSizeFields& fields);
