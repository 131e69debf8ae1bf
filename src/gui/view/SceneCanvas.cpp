#include "gui/view/SceneCanvas.h"

#include "gui/view/CanvasInput.h"
#include "core/view/ScrollState.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

namespace sonivera {

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
    const PixelSize range = scroll.Range();
    const PixelSize client = scroll.ClientSize();
    const PixelPoint at = scroll.Position();
    SetScrollbar(wxHORIZONTAL, at.x, client.cx, range.cx, false);
    SetScrollbar(wxVERTICAL, at.y, client.cy, range.cy, true);
    Refresh(true);
}

void CSceneCanvas::OnLButtonDown(wxMouseEvent& event) {
    SetFocus(); // the keys (Tab, arrows) go to the view the user works in
    if (m_pView) {
        m_pView->OnLButtonDown(PointOf(event));
    }
}

void CSceneCanvas::OnLButtonDoubleClick(wxMouseEvent& event) {
    if (m_pView && m_pView->OnDoubleClick(PointOf(event))) {
        return;
    }
    OnLButtonDown(event);
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

// Keys the view takes without doing anything with them, so that the scrolled window's own key
// bindings (which scroll by amounts of their own) never see them.
bool IsSwallowedKey(int keyCode) {
    switch (keyCode) {
    case WXK_PAGEUP:
    case WXK_PAGEDOWN:
    case WXK_HOME:
    case WXK_END:
    case WXK_NUMPAD_PAGEUP:
    case WXK_NUMPAD_PAGEDOWN:
    case WXK_NUMPAD_HOME:
    case WXK_NUMPAD_END:
        return true;
    default:
        return false;
    }
}

void CSceneCanvas::OnKeyDown(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE && m_pView && m_pView->OnEscape()) {
        return; // Esc cleared the echo paths' highlight
    }
    const EditorController::Key key = KeyOf(event.GetKeyCode());
    if (key == EditorController::Key::Other && IsSwallowedKey(event.GetKeyCode()) &&
        !event.HasAnyModifiers()) {
        return;
    }
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

void CSceneCanvas::ReportViewport() {
    if (!m_pView) {
        return;
    }
    // The canvas has no border, so its whole size is the area the bars are taken from. The
    // toolkit gives the client size only after the bars have been shown or hidden, which is
    // too late for the scroll range that decides whether they show.
    const wxSize outer = GetSize();
    const int vertical = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this);
    const int horizontal = wxSystemSettings::GetMetric(wxSYS_HSCROLL_Y, this);
    m_pView->OnViewportSize({outer.x, outer.y}, {std::max(vertical, 0), std::max(horizontal, 0)});
}

void CSceneCanvas::OnSize(wxSizeEvent& event) {
    ReportViewport();
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

void CSceneCanvas::OnMouseWheel(wxMouseEvent& event) {
    if (!m_pView || event.GetWheelDelta() <= 0) {
        return;
    }
    // Fine-grained wheels send parts of a notch: they add up until a whole notch is reached.
    const bool horizontalWheel = event.GetWheelAxis() == wxMOUSE_WHEEL_HORIZONTAL;
    int& pending = horizontalWheel ? m_nWheelPendingX : m_nWheelPendingY;
    // A horizontal wheel turned right reports a positive rotation; it scrolls right, as a
    // vertical wheel turned towards the user scrolls down.
    pending += horizontalWheel ? -event.GetWheelRotation() : event.GetWheelRotation();
    const int notches = pending / event.GetWheelDelta();
    if (notches == 0) {
        return;
    }
    pending -= notches * event.GetWheelDelta();
    const bool zoom = event.ControlDown() && !horizontalWheel;
    m_pView->OnWheel(notches, horizontalWheel || event.ShiftDown(), zoom, PointOf(event));
}

void CSceneCanvas::OnCaptureLost(wxMouseCaptureLostEvent&) {
    if (m_pView) {
        m_pView->OnCaptureLost();
    }
}

// The view's input in the order of its handling table; painting, size, scroll bars and a lost
// capture after it. The second press of a double click arrives only as a double-click event; it
// is a press like any other (quick presses on a spot keep cycling through its objects), unless
// the map shown on the plan takes it.
// clang-format off
wxBEGIN_EVENT_TABLE(CSceneCanvas, wxWindow)
    EVT_LEFT_DOWN(CSceneCanvas::OnLButtonDown)
    EVT_LEFT_DCLICK(CSceneCanvas::OnLButtonDoubleClick)
    EVT_LEFT_UP(CSceneCanvas::OnLButtonUp)
    EVT_MOTION(CSceneCanvas::OnMouseMove)
    EVT_KEY_DOWN(CSceneCanvas::OnKeyDown)
    EVT_RIGHT_DOWN(CSceneCanvas::OnRightButtonDown)
    EVT_PAINT(CSceneCanvas::OnPaint)
    EVT_SIZE(CSceneCanvas::OnSize)
    EVT_SCROLLWIN(CSceneCanvas::OnScroll)
    EVT_MOUSEWHEEL(CSceneCanvas::OnMouseWheel)
    EVT_MOUSE_CAPTURE_LOST(CSceneCanvas::OnCaptureLost)
wxEND_EVENT_TABLE()

} // namespace sonivera
