#pragma once

#include "support/DialogScript.h"

#include "TempDir.h"
#include "gui/app/C3DApp.h"
#include "gui/app/MainFrame.h"
#include "gui/model/C3DDoc.h"

#include <gtest/gtest.h>

#include <wx/menu.h>

#include <string>
#include <vector>

namespace sonivera {

// A test of the running editor: starts the application's state with a private settings file in a
// fresh temporary folder, answers dialogs through a DialogScript, and shuts the state down again.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }
    void TearDown() override {
        App().ShutDown();
        dialogs.Verify();
    }

    // Starts (or restarts) the application with the given command-line arguments.
    bool Start(const std::vector<std::string>& args = {}) {
        wxArrayString list;
        for (const auto& arg : args) {
            list.push_back(wxString::FromUTF8(arg));
        }
        App().SetSettingsFile(wxString::FromUTF8(SettingsFile()));
        return App().StartUp(list);
    }
    void Restart() {
        App().ShutDown();
        ASSERT_TRUE(Start());
    }

    std::string SettingsFile() const { return dir.File("settings.conf"); }
    static C3DApp& App() { return TheApp(); }
    static CMainFrame& Frame() { return *App().GetMainFrame(); }
    static C3DDoc& Doc() { return *App().GetSceneDocument(); }
    static std::string Title() { return Frame().GetTitle().utf8_string(); }

    // Sends a command to the main window as a menu item or an accelerator does.
    static void Command(int id) {
        wxCommandEvent event(wxEVT_MENU, id);
        event.SetEventObject(&Frame());
        Frame().ProcessWindowEvent(event);
    }
    // The menu item of a command after the update-UI rules have been applied.
    static wxMenuItem* MenuItem(int id) {
        Frame().UpdateCommandUI();
        return Frame().GetMenuBar()->FindItem(id);
    }
    // The labels of the File menu's items, separators as "-".
    static std::vector<std::string> FileMenuLabels() {
        std::vector<std::string> labels;
        for (wxMenuItem* item : Frame().GetMenuBar()->GetMenu(0)->GetMenuItems()) {
            labels.push_back(item->IsSeparator() ? "-" : item->GetItemLabel().utf8_string());
        }
        return labels;
    }

    TempDir dir;
    DialogScript dialogs;
};

// The path of a file under tests/data.
inline std::string DataFile(const std::string& name) {
    return std::string(SONIVERA_TEST_DATA_DIR) + "/" + name;
}

} // namespace sonivera
