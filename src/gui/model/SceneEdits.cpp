#include "gui/model/SceneEdits.h"

#include "gui/model/NumericText.h"
#include "core/model/SceneSettings.h"

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

SceneParamFields SceneParamFieldsOf(const SceneSettings& scene) {
    return {scene.passAbsorptionLimit,
            scene.stopAmplitude,
            scene.groupTime,
            scene.noTransmission,
            scene.noReflection,
            scene.normalize,
            scene.rayCount,
            scene.mediumAbsorption,
            scene.stopTime};
}

void ApplySceneParamFields(SceneSettings& scene, const SceneParamFields& fields) {
    scene.passAbsorptionLimit = fields.passAbsorptionLimit;
    scene.stopAmplitude = fields.stopAmplitude;
    scene.groupTime = fields.groupTime;
    scene.noTransmission = fields.noTransmission;
    scene.noReflection = fields.noReflection;
    scene.normalize = fields.normalize;
    scene.rayCount = fields.rayCount;
    scene.mediumAbsorption = fields.mediumAbsorption;
    scene.stopTime = fields.stopTime;
}

} // namespace sonivera
