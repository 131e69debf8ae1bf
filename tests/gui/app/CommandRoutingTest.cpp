#include "support/AppFixture.h"

#include "gui/app/AboutDlg.h"
#include "gui/app/CommandIds.h"
#include "gui/app/CommandTable.h"
#include "gui/calc/EffectCalcDlg.h"
#include "gui/model/SceneSizeDlg.h"

#include <wx/accel.h>
#include <wx/statusbr.h>

#include <set>
#include <tuple>

namespace sonivera {

namespace {

// Serves one command for a test, with a rule the test switches, and counts executions.
class ServedCommand : public wxEvtHandler {
public:
    explicit ServedCommand(int id) {
        Bind(
            wxEVT_MENU, [this](wxCommandEvent&) { ++executed; }, id);
        Bind(
            wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& event) { event.Enable(enabled); }, id);
    }
    bool enabled = false;
    int executed = 0;
};

// What the toolkit does with a key pressed in the main window: finds the command in the frame's
// accelerator table and sends it to the frame.
bool PressKey(CMainFrame& frame, int flags, int keyCode) {
    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.m_keyCode = keyCode;
    key.m_controlDown = (flags & wxACCEL_CTRL) != 0;
    key.m_altDown = (flags & wxACCEL_ALT) != 0;
    key.m_shiftDown = (flags & wxACCEL_SHIFT) != 0;
    const int command = frame.GetAcceleratorTable()->GetCommand(key);
    if (command == -1) {
        return false;
    }
    wxCommandEvent event(wxEVT_MENU, command);
    event.SetEventObject(&frame);
    frame.HandleWindowEvent(event);
    return true;
}

} // namespace

TEST_F(AppTest, AcceleratorTableMatchesTheKeysNamedInTheMenuTexts) {
    using Key = std::tuple<int, int, int>; // flags, key code, command
    std::set<Key> fromMenus;
    wxMenuBar* bar = Frame().GetMenuBar();
    for (size_t m = 0; m < bar->GetMenuCount(); ++m) {
        for (wxMenuItem* item : bar->GetMenu(m)->GetMenuItems()) {
            if (item->IsSeparator()) {
                continue;
            }
            std::unique_ptr<wxAcceleratorEntry> entry(
                wxAcceleratorEntry::Create(item->GetItemLabel()));
            if (entry) {
                fromMenus.insert({entry->GetFlags(), entry->GetKeyCode(), item->GetId()});
            }
        }
    }
    std::set<Key> fromTable;
    for (const auto& key : AcceleratorLayouts()) {
        fromTable.insert({key.flags, key.keyCode, key.commandId});
    }
    // Redo has a second key that its item cannot show.
    fromMenus.insert({wxACCEL_CTRL | wxACCEL_SHIFT, 'Z', ID_EDIT_REDO});
    EXPECT_EQ(fromMenus, fromTable);
    EXPECT_EQ(fromTable.size(), 16u);

    // The frame's table sends each key's command.
    for (const auto& key : AcceleratorLayouts()) {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = key.keyCode;
        event.m_controlDown = (key.flags & wxACCEL_CTRL) != 0;
        event.m_altDown = (key.flags & wxACCEL_ALT) != 0;
        event.m_shiftDown = (key.flags & wxACCEL_SHIFT) != 0;
        EXPECT_EQ(Frame().GetAcceleratorTable()->GetCommand(event), key.commandId);
    }
}

TEST_F(AppTest, ADisabledCommandIsNeverCarriedOutWhicheverWayItArrives) {
    auto* served = new ServedCommand(ID_DELETE_OBJECT);
    Frame().PushEventHandler(served);

    EXPECT_TRUE(PressKey(Frame(), wxACCEL_NORMAL, WXK_DELETE));
    Command(ID_DELETE_OBJECT); // menu item or toolbar button
    EXPECT_EQ(served->executed, 0);
    EXPECT_FALSE(MenuItem(ID_DELETE_OBJECT)->IsEnabled());
    EXPECT_FALSE(Frame().GetSceneBar()->GetToolEnabled(ID_DELETE_OBJECT));

    served->enabled = true;
    EXPECT_TRUE(PressKey(Frame(), wxACCEL_NORMAL, WXK_DELETE));
    Command(ID_DELETE_OBJECT);
    EXPECT_EQ(served->executed, 2);
    EXPECT_TRUE(MenuItem(ID_DELETE_OBJECT)->IsEnabled());
    EXPECT_TRUE(Frame().GetSceneBar()->GetToolEnabled(ID_DELETE_OBJECT));

    Frame().PopEventHandler(true);
}

TEST_F(AppTest, AcceleratorsOfEnabledCommandsActAndOfUnservedOnesDoNothing) {
    dialogs.Then([](wxDialog& dialog) {
        EXPECT_NE(dynamic_cast<CSceneSizeDlg*>(&dialog), nullptr);
        return int(wxID_CANCEL);
    });
    EXPECT_TRUE(PressKey(Frame(), wxACCEL_CTRL, 'P'));
    dialogs.Verify();

    dialogs.Then([](wxDialog& dialog) {
        EXPECT_NE(dynamic_cast<CAboutDlg*>(&dialog), nullptr);
        EXPECT_EQ(dialog.GetTitle().utf8_string(), "О программе...");
        return int(wxID_OK);
    });
    EXPECT_TRUE(PressKey(Frame(), wxACCEL_NORMAL, WXK_F1));
    dialogs.Verify();

    // Alt+C checks the scene and opens the calculation dialog.
    dialogs.Then([](wxDialog& dialog) {
        EXPECT_NE(dynamic_cast<CEffectCalcDlg*>(&dialog), nullptr);
        return int(wxID_OK);
    });
    EXPECT_TRUE(PressKey(Frame(), wxACCEL_ALT, 'C'));
    dialogs.Verify();

    // Zoom is not served yet: nothing changes.
    EXPECT_TRUE(PressKey(Frame(), wxACCEL_ALT, 'I'));
    EXPECT_FALSE(Doc().IsModified());

    // Ctrl+S on the new scene asks for a name (cancelled here).
    dialogs.ThenFile("");
    EXPECT_TRUE(PressKey(Frame(), wxACCEL_CTRL, 'S'));
}

TEST_F(AppTest, ExitOffersToSaveAndCancelKeepsTheWindow) {
    Doc().Modify(true);
    dialogs.ThenMessage("Save changes to Untitled?", wxID_CANCEL);
    EXPECT_TRUE(PressKey(Frame(), wxACCEL_ALT, 'X'));
    ASSERT_NE(App().GetMainFrame(), nullptr);
    EXPECT_FALSE(App().IsScheduledForDestruction(App().GetMainFrame()));
    EXPECT_TRUE(Doc().IsModified());

    dialogs.ThenMessage("Save changes to Untitled?", wxID_NO);
    Command(ID_APP_EXIT);
    EXPECT_TRUE(App().IsScheduledForDestruction(App().GetMainFrame()));
}

TEST_F(AppTest, ViewTogglesHideAndShowTheirBarsWithTheirCheckMarks) {
    wxAuiManager& aui = Frame().GetAuiManager();
    Command(ID_VIEW_SCENE_BAR);
    EXPECT_FALSE(aui.GetPane(CMainFrame::kSceneBarPane).IsShown());
    EXPECT_FALSE(MenuItem(ID_VIEW_SCENE_BAR)->IsChecked());
    EXPECT_TRUE(MenuItem(ID_VIEW_TOOLBAR)->IsChecked());
    Command(ID_VIEW_SCENE_BAR);
    EXPECT_TRUE(aui.GetPane(CMainFrame::kSceneBarPane).IsShown());
    EXPECT_EQ(aui.GetPane(CMainFrame::kSceneBarPane).dock_direction, wxAUI_DOCK_BOTTOM);
    EXPECT_TRUE(MenuItem(ID_VIEW_SCENE_BAR)->IsChecked());

    Command(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(aui.GetPane(CMainFrame::kMainBarPane).IsShown());
    EXPECT_FALSE(MenuItem(ID_VIEW_TOOLBAR)->IsChecked());
    Command(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(aui.GetPane(CMainFrame::kMainBarPane).IsShown());
    EXPECT_EQ(aui.GetPane(CMainFrame::kMainBarPane).dock_direction, wxAUI_DOCK_TOP);

    // A floating toolbar still counts as shown.
    aui.GetPane(CMainFrame::kSceneBarPane).Float();
    aui.Update();
    EXPECT_TRUE(MenuItem(ID_VIEW_SCENE_BAR)->IsChecked());

    Frame().SetStatusPaneText(1, "12.0, 7.0");
    Frame().SetStatusPaneText(2, "1:5");
    Command(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(Frame().GetStatusBar()->IsShown());
    EXPECT_FALSE(MenuItem(ID_VIEW_STATUS_BAR)->IsChecked());
    Command(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(Frame().GetStatusBar()->IsShown());
    EXPECT_TRUE(MenuItem(ID_VIEW_STATUS_BAR)->IsChecked());
    EXPECT_EQ(Frame().GetStatusBar()->GetStatusText(1), "12.0, 7.0");
    EXPECT_EQ(Frame().GetStatusBar()->GetStatusText(2), "1:5");
}

TEST_F(AppTest, MenuHighlightAndToolbarHoverPutThePromptInPaneZero) {
    wxMenuEvent highlight(wxEVT_MENU_HIGHLIGHT, ID_FILE_OPEN);
    Frame().ProcessWindowEvent(highlight);
    EXPECT_EQ(Frame().GetStatusBar()->GetStatusText(0).utf8_string(),
              "Открытие существующего документа");

    wxAuiToolBar* bar = Frame().GetSceneBar();
    const wxRect rect = bar->GetToolRect(ID_SCENE_PARAMETERS);
    ASSERT_FALSE(rect.IsEmpty());
    wxMouseEvent motion(wxEVT_MOTION);
    motion.SetPosition(rect.GetPosition() + wxPoint(2, 2));
    motion.SetEventObject(bar);
    bar->ProcessWindowEvent(motion);
    EXPECT_EQ(Frame().GetStatusBar()->GetStatusText(0).utf8_string(),
              "Установка параметров и свойств сцены");
    wxMouseEvent leave(wxEVT_LEAVE_WINDOW);
    leave.SetEventObject(bar);
    bar->ProcessWindowEvent(leave);
    EXPECT_EQ(Frame().GetStatusBar()->GetStatusText(0).utf8_string(), "Готово");
}

} // namespace sonivera
