#pragma once

#include "core/model/CalcParameters.h"
#include "core/model/SceneLayout.h"
#include "core/model/SceneObject.h"

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

namespace sonivera {

using ObjectList = std::list<std::unique_ptr<CSceneObject>>;

// One scene: its size, grid, calculation parameters, the objects it owns and the last effect
// computed for it. The size, the grid and the parameters are stored in the scene file in this
// order.
struct SceneSettings : SceneLayout {
    CalcParameters params;
    // The scene's objects in order; the first one is the listener.
    ObjectList objects;
    // The last computed effect (bin 0 first), or none, and the parameters it was computed with:
    // the writers of the effect file and its table take the grouping width and the stop time from
    // these, not from `params`, which may have been edited since.
    std::unique_ptr<double[]> effect;
    std::int32_t effectCount = 0;
    CalcParameters effectParams;
    // The same calculation's echoes at their own delays (FineResponse.h), when it was asked for;
    // empty otherwise. Sample 0 is delay 0; effectResponseRate samples per second.
    std::vector<double> effectResponse;
    int effectResponseRate = 0;

    // A new scene: 100 × 100 m with a 1 m grid and snapping on, the default parameters.
    SceneSettings() : SceneLayout{100.0, 100.0, 1.0, 1.0, true} {}
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
