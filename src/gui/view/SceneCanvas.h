#pragma once

#include <wx/window.h>

namespace sonivera {

class CanvasInput;
class ScrollState;

// The window of the editor view, in the main frame's client area: white, with two scroll bars that
// show the view's scrolling, and keyboard input of its own (Tab and the arrows reach it instead of
// moving the focus). It paints the update region through the view and forwards the pointer, the
// keys, the scroll bars, its size and a lost pointer capture to the view. The view attaches itself
// with SetView and detaches (null) when it closes; the canvas belongs to the main frame.
class CSceneCanvas : public wxWindow {
public:
    explicit CSceneCanvas(wxWindow* parent);

    void SetView(CanvasInput* view) { m_pView = view; }
    CanvasInput* GetView() const { return m_pView; }

    // Sets both scroll bars from the view's scrolling (range, thumb, position) and repaints.
    void ShowScroll(const ScrollState& scroll);
    // Tells the view the window's area without scroll bars and the bars' thickness, from which
    // the view works out the client area the bars leave (they show only while needed).
    void ReportViewport();

private:
    void OnLButtonDown(wxMouseEvent& event);
    void OnLButtonDoubleClick(wxMouseEvent& event);
    void OnLButtonUp(wxMouseEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnRightButtonDown(wxMouseEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnScroll(wxScrollWinEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnMouseWheel(wxMouseEvent& event);

    CanvasInput* m_pView = nullptr;
    // Wheel rotation not yet amounting to a whole notch.
    int m_nWheelPendingX = 0;
    int m_nWheelPendingY = 0;

    wxDECLARE_EVENT_TABLE();
};

} // namespace sonivera
