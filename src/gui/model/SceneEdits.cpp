#include "gui/model/SceneEdits.h"

#include "core/model/SceneSettings.h"
#include "gui/model/NumericText.h"

namespace sonivera {

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

} // namespace sonivera
