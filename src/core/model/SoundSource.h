#pragma once

#include "core/model/SceneObject.h"

namespace sonivera {

// A sound source with its power as a fraction 0..1 (shown and edited in percent).
class CSoundSource : public CSceneObject {
public:
    using CSceneObject::CSceneObject;

    bool EditProperties(PropertiesPort& port) override;
    int GetKind() const override;
    // Picked within 17 pixels of the anchor (strictly), the half-size of its symbol.
    bool HitTest(double x, double y, double scale) const override;
    // A speaker: a 14-pixel square around the anchor with a horn opening to the right.
    void Draw(Canvas& dc, double scale) override;

    double m_power = 1.0;
};

} // namespace sonivera
