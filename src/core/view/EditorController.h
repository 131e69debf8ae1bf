#pragma once

#include "core/edit/ObjectRecord.h"
#include "core/edit/SceneEdit.h"
#include "core/view/EditorTool.h"
#include "core/view/ScrollState.h"
#include "core/view/ViewGeometry.h"

#include <cstdint>
#include <optional>

namespace sonivera {

class Canvas;
class CRectObject;
class CSceneObject;
class EditorHost;
class PropertiesPort;
struct SceneSettings;

// The editor view without its toolkit: the zoom, the scrolling, the four editing tools, Tab, the
// object commands and the painting of the shown scene. The toolkit view owns one controller,
// forwards its events to the handlers below and implements EditorHost for what the controller
// needs back. Window points are pixels of the view's client area.
//
// The controller never owns the scene: the shown scene and the selection point into the
// document's record, and the selection is cleared whenever the document replaces that record
// (OnUpdate) or the controller removes the selected object.
// How far one notch of the mouse wheel scrolls, in pixels on screen, at every zoom.
constexpr int kWheelPixelsPerNotch = 48;

class EditorController {
public:
    // Keys the view handles; any other key is Other and does nothing.
    enum class Key { Tab, Left, Right, Up, Down, Other };

    explicit EditorController(EditorHost& host);

    EditorController(const EditorController&) = delete;
    EditorController& operator=(const EditorController&) = delete;

    // --- Document ---
    // The document's update notification: `scene` is its current record and `recordSerial` a
    // number it changes whenever it replaces the record (File New, File Open), so that a new
    // record allocated where the old one was still counts as new. A new record clears the
    // selection. Then the scale text, the scroll sizes (scrolled to the top-left) and a repaint.
    void OnUpdate(SceneSettings* scene, std::uint64_t recordSerial);

    // An edit of the shown scene was applied or reverted outside the controller (undo, redo):
    // ends any gesture, takes the edit's selection (Keep keeps the selected object while it is
    // still in the scene), re-reads the scroll extent (the position stays unless the extent
    // changed) and repaints.
    void OnSceneEdited(const EditSelection& selection);

    // --- Painting ---
    // Paints the shown scene (see DrawScene) on a canvas whose origin is the scene origin, i.e.
    // already translated by minus Scroll().Position(). `clientArea` is the part of the client area
    // (window pixels) to paint, usually the update region's bounding box or the whole client.
    void Paint(Canvas& dc, const PixelRect& clientArea);

    // --- Pointer (left button) ---
    void OnLButtonDown(PixelPoint window);
    void OnMouseMove(PixelPoint window);
    void OnLButtonUp(PixelPoint window);
    // The system took the pointer capture away during a gesture: the gesture ends as if the button
    // had been released where the pointer was last seen (without ReleasePointer).
    void OnCaptureLost();

    // Shows what the scene check found: selects the object at `index` and draws the rectangle at
    // `container` in the selection's colour too, until the selection next changes.
    void ShowCheckFinding(std::size_t index, std::size_t container);

    // Moves the listener (the first object) to (x, y) as one undoable edit, as the map's
    // double-click does. False, with no edit, without a scene or when it stands there already.
    bool MoveListenerTo(double x, double y);

    // --- Keys and scrolling ---
    // Tab steps the selection; the arrows scroll one line, like the scroll bar's arrows.
    void OnKeyDown(Key key);
    // The mouse wheel turned by `notches` (positive: towards the top or the left of the scene).
    // Scrolls kWheelPixelsPerNotch pixels per notch whatever the zoom, vertically, or horizontally
    // when `horizontal` (Shift held or a horizontal wheel); with `zoom` (Ctrl held) it zooms one
    // step (in for positive notches) instead, keeping the scene point under `window` where it is.
    void OnWheel(int notches, bool horizontal, bool zoom, PixelPoint window);
    // A scroll bar action (see ScrollState); `thumb` is the position for ThumbTo.
    void OnScroll(ScrollState::Axis axis, ScrollState::Action action, int thumb = 0);
    // The client area's size, at creation and after every resize.
    void OnClientSize(PixelSize client);
    // The same for a window whose scroll bars come and go: its area without bars and the bars'
    // thickness (see ScrollState::SetViewport).
    void OnViewportSize(PixelSize outer, PixelSize bars);

    // --- Commands (each does nothing while its rule in CommandRules.h says disabled) ---
    // Sets m_nTool; changes nothing else (no repaint, the selection stays). Unknown values are
    // ignored.
    void SetTool(std::int32_t tool);
    void ZoomIn();
    void ZoomOut();
    // Deletes the selected object after the host's question; never the listener.
    void DeleteSelected();
    // Shows the selected object's properties through the port; an accepted change of a value is
    // an edit (no repaint); accepting the same values changes nothing.
    void EditSelectedProperties(PropertiesPort& port);
    // Removes the selected rectangle or source without a question, as the edit "cut" (the caller
    // has copied it). Nothing for the listener or no selection.
    void CutSelected();
    // Inserts a copied object (see PlacePastedObject) at the end of the list, selects it and
    // submits the edit. Nothing without a shown scene or for a record that makes no object.
    void Paste(const ObjectRecord& copied);

    // --- View operations, also used by the handlers ---
    ScenePoint WindowToScene(PixelPoint window) const;
    // Snaps (x, y) to the shown scene's grid while its snapping is on.
    void SnapPoint(double& x, double& y) const;
    // Recomputes the scroll extent and steps for the shown scene and zoom, scrolls to the top-left.
    void UpdateScrollSizes();
    // Shows the scale text, updates the scroll sizes and repaints everything.
    void ApplyZoom();

    // --- State, for the enable rules and the toolkit view ---
    std::int32_t Tool() const { return m_nTool; }
    bool IsDragging() const { return m_bDragging; }
    PixelPoint LastPoint() const { return m_ptLast; }
    SceneSettings* ShownScene() const { return m_pShownScene; }
    std::int32_t PixelsPerMetre() const { return m_nPixelsPerMetre; }
    bool IsButtonDown() const { return m_bButtonDown; }
    CSceneObject* Selected() const { return m_pSelected; }
    const ScrollState& Scroll() const { return m_scroll; }

private:
    // Shows the scroll bars, then the coordinates under the pointer where it now is.
    void ShowScrollAndPointer();
    void ShowPointerAt();
    // Draws the object a check finding marked black again (at the next selection change).
    void ClearMark();

    void PressSelect(const ScenePoint& p, bool startDrag, PixelPoint window);
    void PressDrawRect(const ScenePoint& p, PixelPoint window);
    void PressAddSource(const ScenePoint& p);
    void DragStep(const ScenePoint& p, const ScenePoint& last, PixelPoint window);
    void DrawStep(ScenePoint p, const ScenePoint& last);
    // Ends the open gesture at `window` (the release without giving back the capture).
    void FinishGesture(PixelPoint window);
    void StepSelectionByTab();
    void RemoveObject(CSceneObject* object);
    void RemoveSelected(EditKind kind);
    // Makes `object` (or nothing) the only selected, red object.
    void SelectOnly(CSceneObject* object);
    void ZoomAround(int newPixelsPerMetre, PixelPoint window);
    void ScrollAndShow(ScrollState::Axis axis, ScrollState::Action action, int thumb);

    EditorHost& m_host;

    std::int32_t m_nTool = ToolSelect;
    bool m_bDragging = false;
    PixelPoint m_ptLast;
    SceneSettings* m_pShownScene = nullptr;
    std::int32_t m_nPixelsPerMetre = kInitialPixelsPerMetre;
    bool m_bButtonDown = false;
    CSceneObject* m_pSelected = nullptr;

    // The tool the open gesture started under, the rectangle it is drawing (if any), and the
    // last window point the pointer was seen at.
    std::int32_t m_nGestureTool = ToolSelect;
    CRectObject* m_pDrawnRect = nullptr;
    PixelPoint m_ptPointer;
    bool m_bPointerKnown = false; // the pointer has moved over the view at least once
    // The clipboard object pasted last and how many grid steps its last paste moved it.
    std::optional<ObjectRecord> m_lastPasted;
    CSceneObject* m_pMarked = nullptr; // drawn red beside the selection by ShowCheckFinding
    int m_nPasteSteps = 0;
    std::uint64_t m_nShownSerial = 0;
    ScrollState m_scroll;
    // The moved object's fields when the move gesture started.
    std::optional<ObjectRecord> m_moveStart;
};

} // namespace sonivera
