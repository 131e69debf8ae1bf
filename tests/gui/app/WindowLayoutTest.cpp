// The main window's remembered layout and the "Save changes?" box's buttons.
#include "support/AppFixture.h"

#include "gui/common/CommandIds.h"
#include "gui/common/MessageBoxes.h"

#include <wx/button.h>
#include <wx/fileconf.h>

#include <fstream>

namespace sonivera {

namespace {

class WindowLayoutTest : public AppTest {
protected:
    wxAuiPaneInfo& SceneBarPane() {
        return Frame().GetAuiManager().GetPane(CMainFrame::kSceneBarPane);
    }
    void WriteSettings(const std::string& text) {
        App().ShutDown();
        std::ofstream(SettingsFile()) << text;
        ASSERT_TRUE(Start());
    }
};

} // namespace

TEST_F(WindowLayoutTest, TheBarsLayoutIsRememberedAndTheDefaultCanBeRestored) {
    SceneBarPane().Float().FloatingPosition(200, 200);
    Frame().GetAuiManager().Update();
    Restart();
    EXPECT_TRUE(SceneBarPane().IsFloating());
    EXPECT_TRUE(SceneBarPane().IsShown());
    Command(ID_VIEW_RESET_LAYOUT);
    EXPECT_TRUE(SceneBarPane().IsDocked());
    EXPECT_EQ(SceneBarPane().dock_direction, wxAUI_DOCK_BOTTOM);
    EXPECT_EQ(Frame().GetAuiManager().SavePerspective(), Frame().DefaultPerspective());
}

TEST_F(WindowLayoutTest, DamagedOrOffScreenSettingsFallBackToTheDefault) {
    WriteSettings("[Main Window]\nLeft=-50000\nTop=-50000\nWidth=800\nHeight=600\nMaximized=0\n"
                  "Panes=layout2|name=SceneBar;state=2106108;dir=7;layer=xx|garbage\n");
    EXPECT_FALSE(Frame().IsMaximized());
    const wxRect placed = Frame().RestoredRect();
    EXPECT_GT(placed.x, -1000);
    EXPECT_GT(placed.y, -1000);
    EXPECT_TRUE(SceneBarPane().IsShown());
    EXPECT_TRUE(Frame().GetAuiManager().GetPane("View").IsShown());

    EXPECT_TRUE(SceneBarPane().IsDocked());
    EXPECT_EQ(SceneBarPane().dock_direction, wxAUI_DOCK_BOTTOM);

    // A floating bar whose place is off every screen comes back docked.
    SceneBarPane().Float().FloatingPosition(-90000, -90000);
    Frame().GetAuiManager().Update();
    Restart();
    EXPECT_TRUE(SceneBarPane().IsShown());
    EXPECT_TRUE(SceneBarPane().IsDocked());
}

TEST_F(WindowLayoutTest, SaveChangesOffersYesNoCancelInThisOrderAndTheLettersAnswer) {
    dialogs.Then([](wxDialog& box) {
        const wxWindow* yes = box.FindWindow(wxID_YES);
        const wxWindow* no = box.FindWindow(wxID_NO);
        const wxWindow* cancel = box.FindWindow(wxID_CANCEL);
        EXPECT_TRUE(yes && no && cancel);
        if (yes && no && cancel) {
            EXPECT_LT(yes->GetPosition().x, no->GetPosition().x);
            EXPECT_LT(no->GetPosition().x, cancel->GetPosition().x);
            EXPECT_EQ(yes->GetLabel().utf8_string(), "&Yes");
            EXPECT_EQ(no->GetLabel().utf8_string(), "&No");
        }
        // The N key answers No.
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = 'N';
        key.SetEventObject(&box);
        box.ProcessWindowEvent(key);
        return box.GetReturnCode();
    });
    EXPECT_EQ(AskSaveChanges(&Frame(), "scene.3d"), wxNO);
}

TEST_F(WindowLayoutTest, TheProgramsOwnYesNoQuestionsAnswerToTheirLetters) {
    for (const int letter : {'Y', 'N'}) {
        dialogs.Then([letter](wxDialog& box) {
            const wxWindow* yes = box.FindWindow(wxID_YES);
            EXPECT_TRUE(yes && yes->GetLabel().utf8_string() == "&Yes");
            wxKeyEvent key(wxEVT_CHAR_HOOK);
            key.m_keyCode = letter;
            key.SetEventObject(&box);
            box.ProcessWindowEvent(key);
            return box.GetReturnCode();
        });
        EXPECT_EQ(AskWarningYesNo(&Frame(), "Удалить?", "Предупреждение"), letter == 'Y');
    }
}

} // namespace sonivera
