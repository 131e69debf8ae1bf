#pragma once

#include <wx/scrolwin.h>

class C3DView;

// The window of the editor view: a scrolling canvas with a white background that repaints the
// whole client area through the view's OnDraw. The view attaches itself with SetView and detaches
// (null) when it closes; the canvas belongs to the main frame.
class CSceneCanvas : public wxScrolledCanvas {
public:
    explicit CSceneCanvas(wxWindow* parent);

    void SetView(C3DView* view) { m_pView = view; }
    C3DView* GetView() const { return m_pView; }

private:
    void OnPaint(wxPaintEvent& event);

    C3DView* m_pView = nullptr;
};
