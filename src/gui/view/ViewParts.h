#pragma once

#include "core/view/ViewGeometry.h"

namespace sonivera {

class C3DDoc;
class CPathsOverlayView;
class CSceneCanvas;
class ViewFrame;

// What the view's helpers (the host of its controller, the echo paths overlay) reach through the
// view that owns them. The editor view implements it, so the helpers do not depend on the view.
class ViewParts {
public:
    // The canvas, the window the view lives in and the document; each may be null.
    virtual CSceneCanvas* GetCanvas() const = 0;
    virtual ViewFrame* GetViewFrame() const = 0;
    virtual C3DDoc* GetSceneDocument() const = 0;
    // The scroll position, in pixels of the scene at the current zoom.
    virtual PixelPoint ScrollPosition() const = 0;
    // The echo paths on the plan.
    virtual CPathsOverlayView& Paths() = 0;
    // Whether an edit must repaint the whole view, not only its objects (the map shown has
    // become stale, or fresh again).
    virtual bool WholeViewChanged() const = 0;
    // Whether a double-click on the map may move the listener to (x, y) metres.
    virtual bool ListenerCanGoTo(double x, double y) const = 0;

protected:
    ~ViewParts() = default;
};

} // namespace sonivera
