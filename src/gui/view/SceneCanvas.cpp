#include "view/SceneCanvas.h"

#include "paths/PathsOverlayView.h"
#include "view/C3DView.h"
#include "view/ScrollState.h"

#include <wx/dcclient.h>

namespace {

PixelPoint PointOf(const wxMouseEvent& event) {
    return {event.GetX(), event.GetY()};
}

EditorController::Key KeyOf(int keyCode) {
    using Key = EditorController::Key;
    switch (keyCode) {
    case WXK_TAB:
        return Key::Tab;
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT:
        return Key::Left;
    case WXK_RIGHT:
    case WXK_NUMPAD_RIGHT:
        return Key::Right;
    case WXK_UP:
    case WXK_NUMPAD_UP:
        return Key::Up;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN:
        return Key::Down;
    default:
        return Key::Other;
    }
}

bool ActionOf(wxEventType type, ScrollState::Action& action) {
    using Action = ScrollState::Action;
    if (type == wxEVT_SCROLLWIN_LINEUP) {
        action = Action::LineUp;
    } else if (type == wxEVT_SCROLLWIN_LINEDOWN) {
        action = Action::LineDown;
    } else if (type == wxEVT_SCROLLWIN_PAGEUP) {
        action = Action::PageUp;
    } else if (type == wxEVT_SCROLLWIN_PAGEDOWN) {
        action = Action::PageDown;
    } else if (type == wxEVT_SCROLLWIN_TOP) {
        action = Action::Top;
    } else if (type == wxEVT_SCROLLWIN_BOTTOM) {
        action = Action::Bottom;
    } else if (type == wxEVT_SCROLLWIN_THUMBTRACK || type == wxEVT_SCROLLWIN_THUMBRELEASE) {
        action = Action::ThumbTo;
    } else {
        return false;
    }
    return true;
}

} // namespace

CSceneCanvas::CSceneCanvas(wxWindow* parent)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
               wxHSCROLL | wxVSCROLL | wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE) {
    // The paint handler erases to white itself, only within the area being repainted.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(*wxWHITE);
}

void CSceneCanvas::ShowScroll(const ScrollState& scroll) {
    const ScrollSizes& sizes = scroll.Sizes();
    const PixelSize client = scroll.ClientSize();
    const PixelPoint at = scroll.Position();
    SetScrollbar(wxHORIZONTAL, at.x, client.cx, sizes.total.cx, false);
    SetScrollbar(wxVERTICAL, at.y, client.cy, sizes.total.cy, true);
    Refresh(true);
}

void CSceneCanvas::OnLButtonDown(wxMouseEvent& event) {
    SetFocus(); // the keys (Tab, arrows) go to the view the user works in
    if (m_pView) {
        m_pView->OnLButtonDown(PointOf(event));
    }
}

void CSceneCanvas::OnLButtonUp(wxMouseEvent& event) {
    if (m_pView) {
        m_pView->OnLButtonUp(PointOf(event));
    }
}

void CSceneCanvas::OnMouseMove(wxMouseEvent& event) {
    if (m_pView) {
        m_pView->OnMouseMove(PointOf(event));
    }
}

void CSceneCanvas::OnKeyDown(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE && m_pView && m_pView->Paths().OnEscape()) {
        return; // Esc cleared the echo paths' highlight
    }
    const EditorController::Key key = KeyOf(event.GetKeyCode());
    if (!m_pView || key == EditorController::Key::Other) {
        event.Skip(); // Delete, Alt+I and the other accelerators are the frame's
        return;
    }
    m_pView->OnKeyDown(key);
}

void CSceneCanvas::OnRightButtonDown(wxMouseEvent& event) {
    if (m_pView) {
        m_pView->OnRightButtonDown(event.GetPosition());
    }
}

void CSceneCanvas::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    if (m_pView) {
        m_pView->PaintArea(dc, GetUpdateRegion().GetBox());
    }
}

void CSceneCanvas::OnSize(wxSizeEvent& event) {
    if (m_pView) {
        const wxSize client = GetClientSize();
        m_pView->OnClientSize({client.x, client.y});
    }
    event.Skip();
}

void CSceneCanvas::OnScroll(wxScrollWinEvent& event) {
    ScrollState::Action action;
    if (!m_pView || !ActionOf(event.GetEventType(), action)) {
        return;
    }
    const auto axis = event.GetOrientation() == wxHORIZONTAL ? ScrollState::Axis::Horizontal
                                                             : ScrollState::Axis::Vertical;
    m_pView->OnScroll(axis, action, event.GetPosition());
}

void CSceneCanvas::OnCaptureLost(wxMouseCaptureLostEvent&) {
    if (m_pView) {
        m_pView->OnCaptureLost();
    }
}

// The view's input in the order of its handling table; painting, size, scroll bars and a lost
// capture after it. The second press of a double click arrives only as a double-click event; it
// is a press like any other (quick presses on a spot keep cycling through its objects).
// clang-format off
wxBEGIN_EVENT_TABLE(CSceneCanvas, wxWindow)
    EVT_LEFT_DOWN(CSceneCanvas::OnLButtonDown)
    EVT_LEFT_DCLICK(CSceneCanvas::OnLButtonDown)
    EVT_LEFT_UP(CSceneCanvas::OnLButtonUp)
    EVT_MOTION(CSceneCanvas::OnMouseMove)
    EVT_KEY_DOWN(CSceneCanvas::OnKeyDown)
    EVT_RIGHT_DOWN(CSceneCanvas::OnRightButtonDown)
    EVT_PAINT(CSceneCanvas::OnPaint)
    EVT_SIZE(CSceneCanvas::OnSize)
    EVT_SCROLLWIN(CSceneCanvas::OnScroll)
    EVT_MOUSE_CAPTURE_LOST(CSceneCanvas::OnCaptureLost)
wxEND_EVENT_TABLE()
