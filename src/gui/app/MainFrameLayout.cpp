// The main window's place on the screen and the panes' layout: the first start's size, the
// settings that remember both across runs, and the way back to the default layout.
#include "gui/app/MainFrame.h"

#include <algorithm>

#include "gui/effect/EffectPane.h"
#include "core/view/WindowPlacement.h"

#include <wx/confbase.h>
#include <wx/display.h>

#include <vector>

namespace sonivera {

namespace {

constexpr const char* kLayoutGroup = "/Main Window";
constexpr const char* kLeftKey = "Left";
constexpr const char* kTopKey = "Top";
constexpr const char* kWidthKey = "Width";
constexpr const char* kHeightKey = "Height";
constexpr const char* kMaximisedKey = "Maximized";
constexpr const char* kPanesKey = "Panes";

PixelRect ToPixelRect(const wxRect& r) {
    return {r.x, r.y, r.x + r.width, r.y + r.height};
}

wxRect ToWxRect(const PixelRect& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::vector<PixelRect> WorkAreas() {
    std::vector<PixelRect> areas;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
        areas.push_back(ToPixelRect(wxDisplay(i).GetClientArea()));
    }
    return areas;
}

// Whether a loaded layout can be used: every docked pane on one of the frame's edges (the view
// in the centre), every floating pane with its caption on a screen.
bool LayoutUsable(wxAuiManager& aui) {
    const std::vector<PixelRect> areas = WorkAreas();
    wxAuiPaneInfoArray& panes = aui.GetAllPanes();
    for (size_t i = 0; i < panes.GetCount(); ++i) {
        const wxAuiPaneInfo& pane = panes.Item(i);
        if (pane.IsDocked()) {
            const bool centre = pane.dock_direction == wxAUI_DOCK_CENTER;
            const bool edge =
                pane.dock_direction >= wxAUI_DOCK_TOP && pane.dock_direction <= wxAUI_DOCK_LEFT;
            if (pane.name == "View" ? !centre : !edge) {
                return false;
            }
        }
        if (!pane.IsShown() || !pane.IsFloating()) {
            continue;
        }
        wxSize size = pane.floating_size;
        if (size.x <= 0 || size.y <= 0) {
            size = pane.window ? pane.window->GetBestSize() : wxSize(100, 40);
        }
        // The bars are small: judge a rectangle of at least the checked minimum size around it.
        const PixelRect rect{pane.floating_pos.x, pane.floating_pos.y,
                             pane.floating_pos.x + std::max(size.x, 320),
                             pane.floating_pos.y + std::max(size.y, 240)};
        if (!UsableWindowRect(rect, areas)) {
            return false;
        }
    }
    return true;
}

} // namespace

void CMainFrame::PlaceForFirstStart() {
    const int display = wxDisplay::GetFromWindow(this);
    const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0u : unsigned(display)).GetClientArea();
    m_restored.Set(DefaultWindowRect(ToPixelRect(area)));
    ApplyRestoredRect();
}

wxRect CMainFrame::RestoredRect() const {
    return ToWxRect(m_restored.Rect());
}

void CMainFrame::ApplyRestoredRect() {
    // The position of the window's frame and the size of its client area: the toolkit reports
    // and takes both the same way before and after the window manager has decorated the window,
    // so the window comes back exactly as it was left.
    const wxRect rect = ToWxRect(m_restored.Rect());
    Move(rect.GetPosition());
    SetClientSize(rect.GetSize());
}

void CMainFrame::OnSizeOrMove(wxEvent& event) {
    if (!IsIconized() && !IsFullScreen()) {
        const bool shown = IsShown();
        const auto back = m_restored.Observe(ToPixelRect(wxRect(GetPosition(), GetClientSize())),
                                             shown, IsMaximized());
        if (back) {
            // Restored from maximised: back to the remembered size, not the one the window
            // manager chose for a window it only ever saw maximised.
            // The manager's own size may still arrive before this runs: the kept rectangle wins.
            CallAfter([this, rect = *back] {
                m_restored.Set(rect);
                ApplyRestoredRect();
            });
        }
    }
    if (event.GetEventType() == wxEVT_SIZE) {
        KeepHalfForThePlan();
    }
    event.Skip();
}

void CMainFrame::KeepHalfForThePlan() {
    // A docked "Эффект" pane takes at most half of the window across its dock, so the plan keeps
    // at least the other half however small the window is.
    wxAuiPaneInfo& pane = m_aui.GetPane(CEffectPane::kPaneName);
    if (!pane.IsOk()) {
        return;
    }
    const wxSize client = GetClientSize();
    const wxSize most(std::max(1, client.x / 2), std::max(1, client.y / 2));
    const bool across = pane.dock_direction == wxAUI_DOCK_LEFT ||
                        pane.dock_direction == wxAUI_DOCK_RIGHT;
    const wxSize limit = across ? wxSize(most.x, -1) : wxSize(-1, most.y);
    if (pane.max_size != limit) {
        pane.MaxSize(limit);
        if (pane.IsShown() && pane.IsDocked()) {
            m_aui.Update();
        }
    }
}

void CMainFrame::RestoreLayout(wxConfigBase& config) {
    const wxString oldPath = config.GetPath();
    config.SetPath(kLayoutGroup);
    long left = 0;
    long top = 0;
    long width = 0;
    long height = 0;
    if (config.Read(kLeftKey, &left) && config.Read(kTopKey, &top) &&
        config.Read(kWidthKey, &width) && config.Read(kHeightKey, &height) &&
        left >= INT32_MIN / 2 && left <= INT32_MAX / 2 && top >= INT32_MIN / 2 &&
        top <= INT32_MAX / 2 && width > 0 && width <= INT32_MAX / 2 && height > 0 &&
        height <= INT32_MAX / 2) {
        const PixelRect remembered{int(left), int(top), int(left + width), int(top + height)};
        if (const auto usable = UsableWindowRect(remembered, WorkAreas())) {
            m_restored.Set(*usable);
            ApplyRestoredRect();
        }
    }
    wxString panes;
    if (config.Read(kPanesKey, &panes) && !panes.empty()) {
        // A damaged layout is refused quietly (the toolkit would assert on it) and replaced.
        const wxAssertHandler_t assertHandler = wxSetAssertHandler(nullptr);
        const bool loaded = m_aui.LoadPerspective(panes, false);
        wxSetAssertHandler(assertHandler);
        if (!loaded || !LayoutUsable(m_aui)) {
            m_aui.LoadPerspective(m_defaultPerspective, false);
        }
        // The centre pane is never hidden, whatever the setting said.
        wxAuiPaneInfo& view = m_aui.GetPane("View");
        if (view.IsOk()) {
            view.Show();
        }
        m_aui.Update();
    }
    config.SetPath(oldPath);
}

bool CMainFrame::IsRememberedMaximised(wxConfigBase& config) {
    bool maximised = true;
    config.Read(wxString(kLayoutGroup) + "/" + kMaximisedKey, &maximised, true);
    return maximised;
}

void CMainFrame::SaveLayout(wxConfigBase& config) const {
    const wxString oldPath = config.GetPath();
    config.SetPath(kLayoutGroup);
    const wxRect restored = ToWxRect(m_restored.Rect());
    config.Write(kLeftKey, long{restored.x});
    config.Write(kTopKey, long{restored.y});
    config.Write(kWidthKey, long{restored.width});
    config.Write(kHeightKey, long{restored.height});
    config.Write(kMaximisedKey, IsMaximized());
    config.Write(kPanesKey, const_cast<wxAuiManager&>(m_aui).SavePerspective());
    config.SetPath(oldPath);
    config.Flush();
}

void CMainFrame::ResetLayout() {
    m_aui.LoadPerspective(m_defaultPerspective, true);
}

void CMainFrame::OnResetLayout(wxCommandEvent&) {
    ResetLayout();
}

} // namespace sonivera
