#pragma once

#include "core/model/SceneObject.h"

namespace sonivera {

// The receiver point from which the tracer shoots its rays; always the scene's first object.
class CListener : public CSceneObject {
public:
    using CSceneObject::CSceneObject;

    bool EditProperties(PropertiesPort& port) override;
    int GetKind() const override;
    // Picked within 10 pixels of the anchor (strictly).
    bool HitTest(double x, double y, double scale) const override;
    // A white disc of radius 10 pixels outlined in the object's colour.
    void Draw(Canvas& dc, double scale) override;
};

} // namespace sonivera
