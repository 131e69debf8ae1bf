#pragma once

#include "core/model/Colors.h"
#include "core/model/FiniteInfinity.h"
#include "core/model/SceneRay.h"

namespace sonivera {

class ArchiveReader;
class ArchiveWriter;
class Canvas;
class PropertiesPort;
struct SceneSettings;

// Abstract base of everything placed in a scene: the listener, sound sources and rectangles.
// Positions are metres in scene coordinates (origin top-left, y downwards). The virtual
// operations keep this declaration order.
class CSceneObject {
public:
    explicit CSceneObject(SceneSettings* settings);
    virtual ~CSceneObject();

    CSceneObject(const CSceneObject&) = delete;
    CSceneObject& operator=(const CSceneObject&) = delete;

    // Intersects the ray with the object; only rectangles report hits. On a hit *t holds the ray
    // parameter of the nearest hit. The base version returns false and leaves *t alone.
    virtual bool IntersectRay(SceneRay ray, double* t) const;
    // Shows the object's properties through the port; returns true when the user accepted.
    virtual bool EditProperties(PropertiesPort& port) = 0;
    // Places the anchor at (x, y), snapped to the grid while snapping is on, then clamped.
    virtual void SetPosition(double x, double y);
    // Shifts the anchor during a drag and keeps it inside the scene; no snapping.
    virtual void MoveBy(double dx, double dy);
    // Ends a drag: snaps the anchor to the grid while snapping is on.
    virtual void EndMove();
    // Clamps a point into [0, width] × [0, height]; a NaN coordinate becomes 0.
    virtual void ClampPoint(double* x, double* y) const;
    // Euclidean distance from the anchor to (x, y).
    virtual double DistanceTo(double x, double y) const;
    virtual int GetKind() const = 0;
    // Whether the scene point (x, y) picks the object at the given pixels per metre.
    virtual bool HitTest(double x, double y, double scale) const = 0;
    // Updates the draw position: the anchor, or its snapped value during a drag with snapping.
    virtual void Draw(Canvas& dc, double scale);
    // The object's scene-file record: its kind's fields (ObjectKindTable.h) in order, as doubles.
    void Save(ArchiveWriter& ar) const;
    void Load(ArchiveReader& ar);

    double m_x = 0.0;
    double m_y = 0.0;
    double m_drawX = 0.0;
    double m_drawY = 0.0;
    bool m_bMoving = false;
    bool m_bSelected = false;
    SceneSettings* m_pSettings;
    RgbColor m_color = kColorBlack;

protected:
    // Selects the 2-pixel outline pen in the object's colour.
    void SelectOutlinePen(Canvas& dc) const;
    bool SnapOn() const;
};

} // namespace sonivera
