#pragma once

#include "core/model/FiniteInfinity.h"
#include "core/model/Listener.h"
#include "core/model/RectObject.h"
#include "core/model/SceneSettings.h"
#include "core/model/SoundSource.h"

#include <memory>

namespace sonivera {

// The one way the tests put objects into a scene: every value named, so a copied call cannot
// swap two of them (a rectangle's reflection and absorption, say).
//   AddRect(scene, {.x = 0, .y = 5, .width = 20, .height = 1, .reflection = 0.5});

struct Rect {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
    double reflection = 0.0;
    double absorption = kInfiniteCoefficient; // opaque unless said otherwise
};

struct Source {
    double x = 0.0;
    double y = 0.0;
    double power = 1.0;
};

inline CRectObject* AddRect(SceneSettings& scene, const Rect& wanted) {
    auto* rect = scene.Add<CRectObject>();
    rect->m_x = wanted.x;
    rect->m_y = wanted.y;
    rect->m_width = wanted.width;
    rect->m_height = wanted.height;
    rect->m_reflection = wanted.reflection;
    rect->m_absorption = wanted.absorption;
    return rect;
}

inline CSoundSource* AddSource(SceneSettings& scene, const Source& wanted) {
    auto* source = scene.Add<CSoundSource>();
    source->m_x = wanted.x;
    source->m_y = wanted.y;
    source->m_power = wanted.power;
    return source;
}

// A scene holding only the listener at (x, y), without normalising its effect.
inline std::unique_ptr<SceneSettings> SceneWithListener(double x, double y) {
    auto scene = std::make_unique<SceneSettings>();
    auto* listener = scene->Add<CListener>();
    listener->m_x = x;
    listener->m_y = y;
    scene->params.normalize = false;
    return scene;
}

} // namespace sonivera
