#pragma once

#include "support/AppFixture.h"

#include "gui/app/SceneDocManager.h"
#include "gui/view/C3DView.h"
#include "gui/view/SceneCanvas.h"

#include <wx/statusbr.h>

namespace sonivera {

// A test of the editor view in the running editor: pointer, keys and scroll bars are sent to the
// view's canvas as the window system would send them; commands go through the main frame.
class ViewTest : public AppTest {
protected:
    static C3DView& View() {
        auto* view = wxDynamicCast(App().GetDocManager()->GetCurrentView(), C3DView);
        EXPECT_NE(view, nullptr);
        return *view;
    }
    static CSceneCanvas& Canvas() { return *View().GetCanvas(); }
    static SceneSettings& Scene() { return *Doc().GetScene(); }

    static void Mouse(wxEventType type, int x, int y) {
        wxMouseEvent event(type);
        event.SetPosition(wxPoint(x, y));
        event.SetEventObject(&Canvas());
        Canvas().ProcessWindowEvent(event);
    }
    static void Press(int x, int y) { Mouse(wxEVT_LEFT_DOWN, x, y); }
    static void MoveTo(int x, int y) { Mouse(wxEVT_MOTION, x, y); }
    static void Release(int x, int y) { Mouse(wxEVT_LEFT_UP, x, y); }
    // Press at (x0, y0), move to (x1, y1) and release there.
    static void Drag(int x0, int y0, int x1, int y1) {
        Press(x0, y0);
        MoveTo(x1, y1);
        Release(x1, y1);
    }
    static void Click(int x, int y) {
        Press(x, y);
        Release(x, y);
    }
    static void Key(int keyCode) {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = keyCode;
        event.SetEventObject(&Canvas());
        Canvas().ProcessWindowEvent(event);
    }
    static void UseTool(int commandId) { Command(commandId); }
    static std::string StatusPane(int pane) {
        return Frame().GetStatusBar()->GetStatusText(pane).utf8_string();
    }
    static CSceneObject* ObjectAt(std::size_t index) {
        auto it = Scene().objects.begin();
        std::advance(it, static_cast<std::ptrdiff_t>(index));
        return it->get();
    }
};

} // namespace sonivera
