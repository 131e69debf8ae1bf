#include "view/SceneCanvas.h"

#include "view/C3DView.h"

#include <wx/dcbuffer.h>

CSceneCanvas::CSceneCanvas(wxWindow* parent)
    : wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                       wxHSCROLL | wxVSCROLL | wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(*wxWHITE);
    Bind(wxEVT_PAINT, &CSceneCanvas::OnPaint, this);
}

void CSceneCanvas::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    DoPrepareDC(dc);
    if (m_pView) {
        m_pView->OnDraw(&dc);
    }
}
