#include "core/tracer/TraceScene.h"

#include "core/model/ObjectKind.h"
#include "core/model/RectObject.h"
#include "core/model/SceneSettings.h"
#include "core/model/SoundSource.h"

namespace sonivera {

TraceScene SnapshotScene(const SceneSettings& scene) {
    TraceScene s;
    bool first = true;
    for (const auto& entry : scene.objects) {
        const CSceneObject* object = entry.get();
        if (object == nullptr) {
            break;
        }
        if (first) {
            s.hasListener = true;
            s.listenerX = object->m_x;
            s.listenerY = object->m_y;
            first = false;
        }
        if (const auto* rect = dynamic_cast<const CRectObject*>(object)) {
            s.left.push_back(rect->m_x);
            s.top.push_back(rect->m_y);
            s.right.push_back(rect->m_x + rect->m_width);
            s.bottom.push_back(rect->m_y + rect->m_height);
            s.absorption.push_back(rect->m_absorption);
            s.reflection.push_back(rect->m_reflection);
        }
        if (object->GetKind() == OBJ_SOURCE) {
            if (const auto* source = dynamic_cast<const CSoundSource*>(object)) {
                s.sourceX.push_back(source->m_x);
                s.sourceY.push_back(source->m_y);
                s.sourcePower.push_back(source->m_power);
            }
        }
    }
    return s;
}

} // namespace sonivera
