#include "model/SceneEdits.h"

#include "model/NumericText.h"
#include "model/SceneSettings.h"

SceneSizeFields SceneSizeFieldsOf(const SceneSettings& scene) {
    return {TruncateToInt(scene.width), TruncateToInt(scene.height), TruncateToInt(scene.gridX),
            TruncateToInt(scene.gridY), scene.snapToGrid};
}

bool ApplySceneSizeFields(SceneSettings& scene, const SceneSizeFields& fields) {
    bool stored = false;
    if (fields.width != scene.width || fields.height != scene.height) {
        scene.width = fields.width;
        scene.height = fields.height;
        stored = true;
    }
    if (fields.gridX != scene.gridX || fields.gridY != scene.gridY ||
        fields.snapToGrid != scene.snapToGrid) {
        scene.gridX = fields.gridX;
        scene.gridY = fields.gridY;
        scene.snapToGrid = fields.snapToGrid;
        stored = true;
    }
    return stored;
}
