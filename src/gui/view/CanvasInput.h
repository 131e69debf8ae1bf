#pragma once

#include "core/view/EditorController.h"

class wxDC;
class wxPoint;
class wxRect;

namespace sonivera {

// What the canvas hands to the view attached to it: the pointer, the keys, the scroll bars, its
// size, a lost pointer capture, and the painting of the part of the client area to update. The
// editor view implements it, so the canvas does not depend on the view.
class CanvasInput {
public:
    virtual void OnLButtonDown(PixelPoint window) = 0;
    virtual void OnLButtonUp(PixelPoint window) = 0;
    // A double click: true when something shown over the scene took it (the map moves the
    // listener); otherwise it is handled as a press.
    virtual bool OnDoubleClick(PixelPoint window) = 0;
    virtual void OnMouseMove(PixelPoint window) = 0;
    // Esc, before it goes to the editing: true when it cleared something shown over the scene.
    virtual bool OnEscape() = 0;
    virtual void OnKeyDown(EditorController::Key key) = 0;
    virtual void OnRightButtonDown(const wxPoint& window) = 0;
    virtual void OnScroll(ScrollState::Axis axis, ScrollState::Action action, int thumb) = 0;
    virtual void OnViewportSize(PixelSize outer, PixelSize bars) = 0;
    virtual void OnCaptureLost() = 0;
    virtual void OnWheel(int notches, bool horizontal, bool zoom, PixelPoint window) = 0;
    virtual void PaintArea(wxDC& dc, const wxRect& area) = 0;

protected:
    ~CanvasInput() = default;
};

} // namespace sonivera
