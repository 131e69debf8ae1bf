#include "support/AppFixture.h"
#include "support/SceneBytes.h"

#include "core/model/Listener.h"
#include "gui/app/SceneDocManager.h"
#include "gui/common/CommandIds.h"
#include "gui/common/CommandTable.h"
#include "gui/view/C3DView.h"

#include <wx/aui/auibar.h>
#include <wx/clipbrd.h>
#include <wx/statusbr.h>

#include <set>

namespace sonivera {

namespace {

std::string Utf8(const wxString& s) {
    return s.utf8_string();
}

} // namespace

TEST_F(AppTest, StartsWithANewUntitledSceneInTheMainWindow) {
    EXPECT_EQ(Title(), "Untitled - Sonivera");
    EXPECT_TRUE(Frame().IsShown());
    EXPECT_FALSE(Doc().IsModified());
    const SceneSettings* scene = Doc().GetScene();
    ASSERT_NE(scene, nullptr);
    ASSERT_EQ(scene->objects.size(), 1u);
    EXPECT_NE(dynamic_cast<const CListener*>(scene->FirstObject()), nullptr);
    EXPECT_EQ(scene->FirstObject()->m_x, 50.0);
    EXPECT_EQ(scene->FirstObject()->m_y, 50.0);
    EXPECT_EQ(scene->width, 100.0);
    EXPECT_EQ(scene->effect, nullptr);
    // The view shows the document's scene.
    auto* view = wxDynamicCast(App().GetDocManager()->GetCurrentView(), C3DView);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->ShownScene(), scene);
    EXPECT_EQ(view->GetFrame(), &Frame());
}

TEST_F(AppTest, DeleteContentsReleasesTheSceneAndItsCommandsBecomeUnavailable) {
    auto* view = wxDynamicCast(App().GetDocManager()->GetCurrentView(), C3DView);
    ASSERT_NE(view, nullptr);
    view->OnKeyDown(EditorController::Key::Tab); // selects the listener
    ASSERT_EQ(view->Selected(), Doc().GetScene()->FirstObject());
    Doc().DeleteContents();
    EXPECT_EQ(Doc().GetScene(), nullptr);
    EXPECT_EQ(view->ShownScene(), nullptr);
    EXPECT_EQ(view->Selected(), nullptr);
    for (int id : {ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_SCENE_SIZE_GRID, ID_SCENE_PARAMETERS}) {
        EXPECT_FALSE(MenuItem(id)->IsEnabled()) << id;
        Command(id); // refused by the gate: no dialog, no crash
    }
    Command(ID_FILE_NEW);
    ASSERT_NE(Doc().GetScene(), nullptr);
    EXPECT_EQ(view->ShownScene(), Doc().GetScene());
}

TEST_F(AppTest, BarsStartDockedWithTheirCaptionsAndTheStatusBarHasThreePanes) {
    const wxAuiPaneInfo& main = Frame().GetAuiManager().GetPane(CMainFrame::kMainBarPane);
    const wxAuiPaneInfo& scene = Frame().GetAuiManager().GetPane(CMainFrame::kSceneBarPane);
    EXPECT_TRUE(main.IsShown() && main.IsDocked() && main.IsToolbar());
    EXPECT_EQ(main.dock_direction, wxAUI_DOCK_TOP);
    EXPECT_EQ(Utf8(main.caption), "Основная");
    EXPECT_TRUE(scene.IsShown() && scene.IsDocked());
    EXPECT_EQ(scene.dock_direction, wxAUI_DOCK_BOTTOM);
    EXPECT_EQ(Utf8(scene.caption), "Сцена");
    for (const wxAuiPaneInfo* pane : {&main, &scene}) {
        EXPECT_TRUE(pane->IsTopDockable() && pane->IsBottomDockable() && pane->IsLeftDockable() &&
                    pane->IsRightDockable() && pane->IsFloatable());
    }

    wxStatusBar* status = Frame().GetStatusBar();
    ASSERT_NE(status, nullptr);
    ASSERT_EQ(status->GetFieldsCount(), 3);
    EXPECT_EQ(status->GetStatusWidth(0), -1);
    // 100 pixels, or wide enough for the view's widest texts in the status bar's font.
    for (int pane : {1, 2}) {
        EXPECT_GE(status->GetStatusWidth(pane), 100);
        EXPECT_GE(status->GetStatusWidth(pane),
                  status
                      ->GetTextExtent(pane == 1 ? "x = 1000.0, y = 1000.0"
                                                : wxString::FromUTF8("Масштаб 1:4.286"))
                      .x);
    }
    EXPECT_EQ(status->GetStatusStyle(0), wxSB_FLAT);
    EXPECT_EQ(status->GetStatusStyle(1), wxSB_SUNKEN);
    EXPECT_EQ(status->GetStatusStyle(2), wxSB_SUNKEN);
    EXPECT_EQ(Utf8(status->GetStatusText(0)), "Готово");

    EXPECT_TRUE(MenuItem(ID_VIEW_TOOLBAR)->IsChecked());
    EXPECT_TRUE(MenuItem(ID_VIEW_SCENE_BAR)->IsChecked());
    EXPECT_TRUE(MenuItem(ID_VIEW_STATUS_BAR)->IsChecked());
}

// The letter after the mnemonic's "&", lower-case; empty when there is none.
static std::string Mnemonic(const std::string& label) {
    const auto amp = label.find('&');
    if (amp == std::string::npos) {
        return {};
    }
    return Utf8(wxString::FromUTF8(label.substr(amp + 1)).Left(1).Lower());
}

// The menu bar, the context menu and both toolbars are the command table's rows: every row in its
// popup or bar in table order with its label, key, prompt, tooltip and check mark; the letters
// that open the popups and the items of each popup are unique; every key shown is an
// accelerator of its command.
TEST_F(AppTest, MenusAndToolbarsAreTheCommandTablesRows) {
    wxMenuBar* bar = Frame().GetMenuBar();
    const auto& layout = MainMenuLayout();
    ASSERT_EQ(bar->GetMenuCount(), layout.size());
    std::set<std::string> titles;
    for (size_t m = 0; m < layout.size(); ++m) {
        EXPECT_EQ(Utf8(bar->GetMenuLabel(m)), layout[m].title);
        EXPECT_TRUE(titles.insert(Mnemonic(layout[m].title)).second) << layout[m].title;
        const auto items = bar->GetMenu(m)->GetMenuItems();
        ASSERT_EQ(items.size(), layout[m].items.size()) << layout[m].title;
        std::set<std::string> letters;
        std::size_t i = 0;
        for (const wxMenuItem* item : items) {
            const int id = layout[m].items[i++];
            if (id == kSeparator) {
                EXPECT_TRUE(item->IsSeparator()) << layout[m].title << " " << i;
                continue;
            }
            const CommandDecl* row = FindCommand(id);
            ASSERT_NE(row, nullptr) << id;
            EXPECT_EQ(item->GetId(), id);
            EXPECT_EQ(item->IsCheckable(), row->check) << row->label;
            EXPECT_EQ(Utf8(item->GetHelp()), row->prompt) << row->label;
            if (row->dynamicLabel == nullptr && id != ID_FILE_MRU_FILE1) {
                EXPECT_EQ(Utf8(item->GetItemLabel()), row->label);
                const std::string letter = Mnemonic(row->label);
                EXPECT_TRUE(letter.empty() || letters.insert(letter).second) << row->label;
            }
        }
    }
    // Table order within each popup and bar: the rows placed there, as the table lists them.
    for (size_t m = 0; m < layout.size(); ++m) {
        std::vector<int> placed;
        for (const CommandDecl& row : Commands()) {
            if (static_cast<size_t>(row.menu) == m + 1) {
                placed.push_back(row.id);
            }
        }
        std::vector<int> shown;
        for (int id : layout[m].items) {
            if (id != kSeparator) {
                shown.push_back(id);
            }
        }
        EXPECT_EQ(shown, placed) << layout[m].title;
    }
    for (const auto& [toolbar, ids] :
         {std::pair{Frame().GetMainBar(), MainToolbarLayout()},
          std::pair{Frame().GetSceneBar(), SceneToolbarLayout()}}) {
        ASSERT_EQ(toolbar->GetToolCount(), ids.size());
        for (size_t i = 0; i < ids.size(); ++i) {
            const wxAuiToolBarItem* tool = toolbar->FindToolByIndex(static_cast<int>(i));
            if (ids[i] == kSeparator) {
                EXPECT_EQ(tool->GetKind(), wxITEM_SEPARATOR);
                continue;
            }
            const CommandDecl* row = FindCommand(ids[i]);
            ASSERT_NE(row, nullptr);
            EXPECT_EQ(tool->GetId(), ids[i]);
            EXPECT_EQ(tool->GetKind() == wxITEM_CHECK, row->check) << row->label;
            EXPECT_EQ(Utf8(tool->GetShortHelp()), row->tooltip) << row->label;
            EXPECT_EQ(Utf8(tool->GetLongHelp()), row->prompt) << row->label;
        }
    }
    // A key shown after the tab is an accelerator of that very command.
    for (const CommandDecl& row : Commands()) {
        const std::string label = row.label;
        const auto tab = label.find('\t');
        if (tab == std::string::npos) {
            continue;
        }
        wxAcceleratorEntry shown;
        ASSERT_TRUE(shown.FromString(wxString::FromUTF8(label.substr(tab + 1)))) << label;
        bool found = false;
        for (const AcceleratorLayout& key : AcceleratorLayouts()) {
            found = found || (key.commandId == row.id && key.keyCode == shown.GetKeyCode() &&
                              key.flags == shown.GetFlags());
        }
        EXPECT_TRUE(found) << label;
    }
}

TEST_F(AppTest, CommandsShowTheStateOfTheirRulesOnMenusAndToolbarsAlike) {
    Frame().UpdateCommandUI();
    for (int id :
         {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_APP_EXIT, ID_SCENE_SIZE_GRID,
          ID_SCENE_PARAMETERS, ID_APP_ABOUT, ID_CALC_EFFECT, ID_CHECK_SCENE}) {
        EXPECT_TRUE(MenuItem(id)->IsEnabled()) << id;
    }
    // The view's commands at start-up: the select tool checked, at the largest zoom, nothing
    // selected.
    for (int id : {ID_ZOOM_OUT, ID_TOOL_SELECT, ID_TOOL_MOVE, ID_TOOL_RECT, ID_TOOL_SOURCE}) {
        EXPECT_TRUE(MenuItem(id)->IsEnabled()) << id;
    }
    EXPECT_TRUE(MenuItem(ID_TOOL_SELECT)->IsChecked());
    for (int id : {ID_ZOOM_IN, ID_DELETE_OBJECT, ID_OBJECT_PROPERTIES, ID_EDIT_UNDO, ID_EDIT_REDO,
                   ID_EDIT_CUT, ID_EDIT_COPY}) {
        EXPECT_FALSE(MenuItem(id)->IsEnabled()) << id;
    }
    // "Вставить" only while the clipboard holds an object (asked when the window gains focus or a
    // menu opens): plain text is none.
    {
        wxClipboardLocker lock;
        ASSERT_TRUE(!!lock);
        wxTheClipboard->SetData(new wxTextDataObject("plain text"));
    }
    Frame().ClipboardChanged();
    Frame().UpdateCommandUI();
    EXPECT_FALSE(MenuItem(ID_EDIT_PASTE)->IsEnabled());
    EXPECT_FALSE(MenuItem(ID_FILE_MRU_FILE1)->IsEnabled()); // the empty list's placeholder
    for (wxAuiToolBar* bar : {Frame().GetMainBar(), Frame().GetSceneBar()}) {
        for (size_t i = 0; i < bar->GetToolCount(); ++i) {
            const int id = bar->FindToolByIndex(static_cast<int>(i))->GetId();
            if (id == -1 ||
                bar->FindToolByIndex(static_cast<int>(i))->GetKind() == wxITEM_SEPARATOR) {
                continue;
            }
            const bool expected = Frame().QueryCommand(id).enabled;
            EXPECT_EQ(bar->GetToolEnabled(id), expected) << id;
            if (wxMenuItem* item = Frame().GetMenuBar()->FindItem(id)) {
                EXPECT_EQ(item->IsEnabled(), expected) << id;
            }
        }
    }
    // Print stays unserved: disabled and without texts.
    EXPECT_FALSE(Frame().GetMainBar()->GetToolEnabled(ID_FILE_PRINT));
    EXPECT_TRUE(Frame().GetMainBar()->GetToolShortHelp(ID_FILE_PRINT).empty());
    EXPECT_TRUE(Frame().GetMainBar()->GetToolLongHelp(ID_FILE_PRINT).empty());
    EXPECT_EQ(Utf8(Frame().GetMainBar()->GetToolShortHelp(ID_EDIT_PASTE)), "Вставить");
    EXPECT_EQ(Utf8(Frame().GetMainBar()->GetToolShortHelp(ID_FILE_NEW)), "Создать");
    EXPECT_EQ(Utf8(Frame().GetSceneBar()->GetToolShortHelp(ID_OBJECT_PROPERTIES)),
              "Свойства объекта");
}

TEST_F(AppTest, CommandLineOpensTheNamedScene) {
    App().ShutDown();
    ASSERT_TRUE(Start({DataFile("three-objects.3d")}));
    EXPECT_EQ(Title(), "three-objects.3d - Sonivera");
    EXPECT_EQ(Doc().GetScene()->objects.size(), 3u);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(AppTest, CommandLineFileThatCannotBeOpenedEndsTheProgramAfterTheMessage) {
    App().ShutDown();
    const std::string missing = dir.File("missing.3d");
    dialogs.ThenMessage(missing);
    EXPECT_FALSE(Start({missing}));
    EXPECT_EQ(App().GetMainFrame(), nullptr);
    EXPECT_EQ(App().GetDocManager(), nullptr);
}

TEST_F(AppTest, CommandLineFileOfAnotherFormatEndsTheProgramAfterTheMessage) {
    App().ShutDown();
    const std::string path = WriteFile(dir.File("lower.3d"), LowerCaseTagScene());
    dialogs.ThenMessage("Unexpected file format.");
    EXPECT_FALSE(Start({path}));
    EXPECT_EQ(App().GetMainFrame(), nullptr);
}

TEST(SceneFileArgument, IsTheFirstArgumentThatIsNotASwitch) {
    auto arg = [](std::initializer_list<const char*> list) {
        wxArrayString args;
        for (const char* a : list) {
            args.push_back(a);
        }
        return C3DApp::SceneFileArgument(args).utf8_string();
    };
    EXPECT_EQ(arg({}), "");
    EXPECT_EQ(arg({"-v", "/tmp/a.3d", "b.3d"}), "/tmp/a.3d");
    EXPECT_EQ(arg({"--", "-odd.3d"}), "-odd.3d");
    wxArrayString several;
    for (const char* a : {"a.3d", "-v", "b.3d", "--", "-c.3d"}) {
        several.push_back(a);
    }
    const wxArrayString files = C3DApp::SceneFileArguments(several);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[1], "b.3d");
    EXPECT_EQ(files[2], "-c.3d");
}

} // namespace sonivera
