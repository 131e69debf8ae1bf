#pragma once

#include "core/model/SceneObject.h"

#include <cstdint>
#include <list>
#include <memory>

namespace sonivera {

using ObjectList = std::list<std::unique_ptr<CSceneObject>>;

// The passage limit of a new scene: passage through objects absorbing more than this is ignored.
constexpr double kDefaultPassAbsorptionLimit = 1.6e308;

// One scene: its size, grid, calculation parameters, the objects it owns and the last effect
// computed for it. The first fourteen fields are stored in the scene file in this order.
struct SceneSettings {
    double width = 100.0;
    double height = 100.0;
    double gridX = 1.0;
    double gridY = 1.0;
    bool snapToGrid = true;
    double passAbsorptionLimit = kDefaultPassAbsorptionLimit;
    double stopAmplitude = 0.001;
    double groupTime = 10.0;
    bool noTransmission = false;
    bool noReflection = false;
    bool normalize = true;
    std::int32_t rayCount = 100;
    double mediumAbsorption = 0.0;
    double stopTime = 1000.0;
    // The scene's objects in order; the first one is the listener.
    ObjectList objects;
    // The last computed effect (bin 0 first), or none.
    std::unique_ptr<double[]> effect;
    std::int32_t effectCount = 0;
    // The grouping width and stop time (ms) the effect above was computed with; the writers of
    // the effect file and its table take them from here, not from the settings above, which may
    // have been edited since.
    double effectGroupTime = 0.0;
    double effectStopTime = 0.0;

    SceneSettings() = default;
    SceneSettings(const SceneSettings&) = delete;
    SceneSettings& operator=(const SceneSettings&) = delete;

    // Appends an object of type T bound to this scene and returns it.
    template <class T> T* Add() {
        auto object = std::make_unique<T>(this);
        T* raw = object.get();
        objects.push_back(std::move(object));
        return raw;
    }

    // The receiver: the first object, whatever its kind, or null for an empty list.
    CSceneObject* FirstObject() const { return objects.empty() ? nullptr : objects.front().get(); }
};

// The scene a new document starts with: default settings and a listener at (50, 50), placed
// as is (neither snapped nor clamped).
std::unique_ptr<SceneSettings> MakeDefaultScene();

} // namespace sonivera
