#pragma once

#include <memory>
#include <span>
#include <string>

namespace sonivera {

class CSceneObject;
class SceneEdit;
class ScrollState;

// What the editor view's controller (EditorController) needs from the window that shows it.
// A toolkit view implements these few operations and forwards its events to the controller;
// everything else (the tools, the commands, the scrolling arithmetic, the drawing) lives in the
// controller. All calls come on the user-interface thread, from inside the controller's
// handlers, and must not call back into the controller.
class EditorHost {
public:
    virtual ~EditorHost() = default;

    // Captures the pointer for the view: until ReleasePointer, moves and the release keep
    // arriving (OnMouseMove, OnLButtonUp) even outside the window. Called once per gesture, on
    // the press that starts it; never again before ReleasePointer or OnCaptureLost.
    virtual void CapturePointer() = 0;
    // Ends the capture taken by CapturePointer; called only while it is held. When the capture is
    // taken away by the system instead, the view calls OnCaptureLost and gets no ReleasePointer.
    virtual void ReleasePointer() = 0;

    // Invalidates the whole client area with erasing to white; the next paint calls Paint.
    virtual void RepaintAll() = 0;

    // Draws these objects now, in this order, over what the window shows (no erasing): each with
    // its Draw(canvas, pixelsPerMetre) on a canvas set up like the paint canvas (origin at the
    // scene origin, i.e. translated by minus the scroll position). Used when a press or Tab moves
    // the selection, so the old object turns black and the new one red without a full repaint.
    // A view that cannot draw outside its paint cycle may instead repaint just the areas given by
    // ObjectPixelBounds(object, pixelsPerMetre) shifted by minus the scroll position.
    virtual void DrawObjectsNow(std::span<CSceneObject* const> objects, double pixelsPerMetre) = 0;

    // Shows the pointer text (UTF-8, possibly empty) in the status bar's second pane (index 1),
    // redrawing the pane at once.
    virtual void ShowPointerText(const std::string& text) = 0;
    // Shows the scale text (UTF-8) in the status bar's third pane (index 2), redrawing the pane at
    // once; dropped when there is no main window.
    virtual void ShowScaleText(const std::string& text) = 0;

    // The scrolling changed (extents and steps after a zoom or document update, or the position
    // after a scroll action or a resize): set both scroll bars from scroll.Range() (range),
    // scroll.ClientSize() (thumb) and scroll.Position(), and show the content from the new
    // position (a full repaint will do).
    virtual void ShowScroll(const ScrollState& scroll) = 0;

    // Takes an edit the controller has just made to the shown scene (already applied) into the
    // document's undo history; the document is then modified. Undoing or redoing it later comes
    // back to the controller as OnSceneEdited.
    virtual void SubmitEdit(std::unique_ptr<SceneEdit> edit) = 0;

    // Asks the modal question kDeleteQuestionText with the caption kDeleteQuestionCaption (see
    // ViewTexts.h), buttons Yes and No with Yes the default, exclamation icon, owned by the view.
    // Returns true only for Yes.
    virtual bool AskDeleteObject() = 0;
};

} // namespace sonivera
