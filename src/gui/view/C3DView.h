#pragma once

#include "gui/view/CanvasInput.h"
#include "core/view/EditorController.h"
#include "gui/view/ViewParts.h"

#include <wx/docview.h>

#include <functional>
#include <memory>

class wxMenu;

namespace sonivera {

class C3DDoc;
class CMapOverlayView;
class CPathsOverlayView;
class CSceneCanvas;
class CSceneObject;
class CViewHost;
class ViewFrame;
struct CommandContext;
struct SceneSettings;

// The editor view of the scene document: shows the scene at a zoom of 1 to 30 pixels per metre on
// a white scrolling canvas in the main frame's client area, and turns the pointer and the keys
// into edits under the four tools. The behaviour (state, tools, zoom, scrolling, drawing) is the
// toolkit-free EditorController the view owns; the view connects it to the canvas, the frame's
// status bar and the document (CViewHost), serves the view's commands, describes the state their
// rules read, and shows the objects' context menu. It reaches the main window only through
// ViewFrame.
class C3DView : public wxView, public CanvasInput, public ViewParts {
public:
    // Shows a popup menu over the canvas at a window point, carrying out the chosen command.
    using PopupPresenter = std::function<void(wxMenu& menu, const wxPoint& windowPoint)>;

    C3DView();
    ~C3DView() override;

    bool OnCreate(wxDocument* doc, long flags) override;
    bool OnClose(bool deleteWindow) override;
    // Draws the whole client area's picture on `dc`, whose origin is the client area's.
    void OnDraw(wxDC* dc) override;
    // The document changed: shows its current record (a new record clears the selection), the
    // scale text, the scroll bars at the top-left corner, and repaints.
    void OnUpdate(wxView* sender, wxObject* hint = nullptr) override;
    // Shows "<document name> - Sonivera" as the frame's title.
    void OnChangeFilename() override;

    C3DDoc* GetSceneDocument() const override;
    CSceneCanvas* GetCanvas() const override { return m_pCanvas; }
    // The window the view lives in, or null.
    ViewFrame* GetViewFrame() const override;
    PixelPoint ScrollPosition() const override { return m_pController->Scroll().Position(); }
    // Puts the view's and its document's part of the commands' state into `context`.
    void DescribeCommandState(CommandContext& context) const;
    EditorController& Controller() { return *m_pController; }
    const EditorController& Controller() const { return *m_pController; }

    // The scene check of the shown scene with its message boxes (see CheckSceneAndReport): true
    // when the scene is clean; a clean scene is confirmed only when `reportSuccess` is set.
    bool CheckScene(bool reportSuccess);
    // Whether a double-click on the map may move the listener to (x, y): with the select tool
    // only (the other tools keep their own meaning of a click) and only to a point outside every
    // rectangle (where the check would refuse it).
    bool ListenerCanGoTo(double x, double y) const override;

    // The scene shown (the document's current record) and the selected object, or null.
    SceneSettings* ShownScene() const { return m_pController->ShownScene(); }
    CSceneObject* Selected() const { return m_pController->Selected(); }

    // --- Input from the canvas, in window pixels ---
    void OnLButtonDown(PixelPoint window) override;
    void OnLButtonUp(PixelPoint window) override;
    // On the shown map: moves the listener to the point under the pointer (an undoable edit) and
    // calculates its effect.
    bool OnDoubleClick(PixelPoint window) override;
    void OnMouseMove(PixelPoint window) override;
    // Esc first clears the echo paths' highlight or hovered path, if any.
    bool OnEscape() override;
    void OnKeyDown(EditorController::Key key) override;
    // Opens the objects' context menu at the point; the selection and the tool stay as they are.
    void OnRightButtonDown(const wxPoint& window) override;
    void OnScroll(ScrollState::Axis axis, ScrollState::Action action, int thumb) override;
    // The canvas's area without scroll bars and the bars' thickness, after every resize.
    void OnViewportSize(PixelSize outer, PixelSize bars) override;
    void OnCaptureLost() override;
    // The mouse wheel (see EditorController::OnWheel).
    void OnWheel(int notches, bool horizontal, bool zoom, PixelPoint window) override;
    // Paints the part `area` (window pixels) of the client area on the canvas's paint DC.
    void PaintArea(wxDC& dc, const wxRect& area) override;

    // The "&Работа с объектами" popup with each item enabled and checked as the main menu shows
    // it. The caller owns it.
    std::unique_ptr<wxMenu> CreateObjectsMenu() const;
    // The echo paths of the last calculation on the plan.
    CPathsOverlayView& Paths() override { return *m_pPaths; }
    bool WholeViewChanged() const override;

    // The acoustic map on the plan.
    CMapOverlayView& Map() { return *m_pMap; }

    // Replaces how the context menu is shown (tests); an empty one restores the frame's popup.
    void SetPopupPresenter(PopupPresenter presenter) { m_popupPresenter = std::move(presenter); }

private:
    // The scene check (32794) and the effect calculation (32793).
    void OnCheckScene(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnCalcEffect(wxCommandEvent& event);

    void OnToolCommand(wxCommandEvent& event);
    void OnDeleteObject(wxCommandEvent& event);
    void OnObjectProperties(wxCommandEvent& event);
    void OnZoomIn(wxCommandEvent& event);
    void OnZoomOut(wxCommandEvent& event);

    // Undo, redo and the clipboard ("&Правка").
    void OnUndo(wxCommandEvent& event);
    void OnRedo(wxCommandEvent& event);
    void OnCutOrCopy(wxCommandEvent& event);
    void OnPaste(wxCommandEvent& event);

    void ShowPopup(wxMenu& menu, const wxPoint& window);

    // "Показать пути" (33200).
    void OnShowPaths(wxCommandEvent& event);
    // The map: compute, stop, show, choose the figure (33250–33253).
    void OnCalcMap(wxCommandEvent& event);
    void OnStopMap(wxCommandEvent& event);
    void OnShowMap(wxCommandEvent& event);
    void OnMapFigure(wxCommandEvent& event);
    // Calculates the shown scene's effect in the calculation dialog (at once with `startAtOnce`).
    void CalculateEffect(bool startAtOnce);

    CSceneCanvas* m_pCanvas = nullptr;
    // The scene (by its serial) whose effect the frame's effect pane shows.
    std::uint64_t m_nEffectSerial = 0;
    std::unique_ptr<CViewHost> m_pHost;
    std::unique_ptr<EditorController> m_pController;
    PopupPresenter m_popupPresenter;
    std::unique_ptr<CPathsOverlayView> m_pPaths;
    std::unique_ptr<CMapOverlayView> m_pMap;
    // The scene (by its serial) the map was made for; New and Open clear the map.
    std::uint64_t m_nMapSerial = 0;

    wxDECLARE_DYNAMIC_CLASS(C3DView);
    wxDECLARE_EVENT_TABLE();
};

} // namespace sonivera
