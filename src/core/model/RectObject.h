#pragma once

#include "core/model/SceneObject.h"

namespace sonivera {

// An axis-aligned obstacle that absorbs sound passing through it (per metre of path) and reflects
// it as a mirror. The anchor is its top-left corner.
class CRectObject : public CSceneObject {
public:
    using CSceneObject::CSceneObject;

    // Tests the top, bottom, left and right edges in that order; *t is always written and holds
    // the nearest edge parameter, or the no-hit distance on a miss.
    bool IntersectRay(SceneRay ray, double* t) const override;
    bool EditProperties(PropertiesPort& port) override;
    // Shifts like any object, then keeps the whole rectangle inside the scene.
    void MoveBy(double dx, double dy) override;
    // Snaps the anchor and, while snapping is on, the size too.
    void EndMove() override;
    int GetKind() const override;
    // Half-open: the left and top edges belong to the rectangle, the right and bottom do not.
    bool HitTest(double x, double y, double scale) const override;
    // The outline at the draw position with the stored size.
    void Draw(Canvas& dc, double scale) override;

    double m_width = 0.0;
    double m_height = 0.0;
    double m_absorption = kInfiniteCoefficient;
    double m_reflection = 0.0;
};

} // namespace sonivera
