#include "gui/app/MainFrame.h"

#include "gui/app/MapStatusProgress.h"
#include "gui/view/ObjectClipboardIO.h"

#include "core/model/SceneSettings.h"
#include "gui/app/AppIcon.h"
#include "gui/app/RecentFiles.h"
#include "gui/app/SceneDocManager.h"
#include "gui/app/ToolbarImages.h"
#include "gui/common/CommandIds.h"
#include "gui/common/CommandTable.h"
#include "gui/common/Strings.h"
#include "gui/effect/EffectPane.h"
#include "gui/sound/EffectSoundButtons.h"
#include "gui/view/C3DView.h"
#include "gui/view/SceneCanvas.h"

#include <wx/aui/auibar.h>
#include <wx/menu.h>
#include <wx/statusbr.h>

#include <algorithm>

namespace sonivera {

namespace {

wxAcceleratorTable BuildAccelerators() {
    std::vector<wxAcceleratorEntry> entries;
    for (const auto& key : AcceleratorLayouts()) {
        entries.emplace_back(key.flags, key.keyCode, key.commandId);
    }
    return wxAcceleratorTable(static_cast<int>(entries.size()), entries.data());
}

// The widest texts the view puts into status panes 1 and 2 (pointer over a 1000 m scene; zoom).
constexpr const char* kWidestPointerText = "x = 1000.0, y = 1000.0";
constexpr const char* kWidestScaleText = "Масштаб 1:4.286";
constexpr int kStatusPaneWidth = 100;

} // namespace

// Panes 1 and 2 are 100 pixels wide, or wider where the status bar's font needs more room for the
// view's texts, so they are never cut off.
int CMainFrame::StatusPaneWidth(const char* widestText) const {
    const wxStatusBar* status = GetStatusBar();
    const int needed = status ? status->GetTextExtent(Ui(widestText)).x + FromDIP(16) : 0;
    return std::max(kStatusPaneWidth, needed);
}

CMainFrame::CMainFrame(wxDocManager* manager)
    : wxDocParentFrame(manager, nullptr, IDR_MAINFRAME, Ui(text::kAppTitle)) {
    SetIcons(AppIconBundle());
    m_aui.SetManagedWindow(this);

    SetMenuBar(BuildMenuBar());
    SetAcceleratorTable(BuildAccelerators());

    m_pMainBar = BuildToolbar(IDR_MAINFRAME, MainToolbarLayout());
    m_pSceneBar = BuildToolbar(IDR_SCENE_BAR, SceneToolbarLayout());

    CreateStatusBar(3);
    const int widths[] = {-1, StatusPaneWidth(kWidestPointerText),
                          StatusPaneWidth(kWidestScaleText)};
    const int styles[] = {wxSB_FLAT, wxSB_SUNKEN, wxSB_SUNKEN};
    SetStatusWidths(3, widths);
    GetStatusBar()->SetStatusStyles(3, styles);
    SetStatusBarPane(0);
    SetStatusText(Ui(text::kReady), 0);
    m_pMapProgress = std::make_unique<CMapStatusProgress>(*GetStatusBar());

    auto toolbarPane = [](const char* name, const char* caption) {
        return wxAuiPaneInfo()
            .Name(name)
            .Caption(Ui(caption))
            .ToolbarPane()
            .Gripper()
            .TopDockable()
            .BottomDockable()
            .LeftDockable()
            .RightDockable()
            .Floatable();
    };
    m_aui.AddPane(m_pMainBar, toolbarPane(kMainBarPane, text::kMainBarCaption).Top().Row(0));
    m_aui.AddPane(m_pSceneBar, toolbarPane(kSceneBarPane, text::kSceneBarCaption).Bottom().Row(0));
    m_pEffectPane = new CEffectPane(this);
    AddEffectSoundButtons(*m_pEffectPane);
    m_aui.AddPane(m_pEffectPane, wxAuiPaneInfo()
                                     .Name(CEffectPane::kPaneName)
                                     .Caption(Ui(text::kEffectPaneCaption))
                                     // Below the plan: an echogram is wide and short.
                                     .Bottom()
                                     .Layer(1)
                                     .BestSize(FromDIP(wxSize(900, 420)))
                                     .MinSize(FromDIP(wxSize(240, 180)))
                                     .FloatingSize(FromDIP(wxSize(720, 420)))
                                     .CloseButton(true)
                                     .Floatable()
                                     .Dockable()
                                     .Hide());
    m_aui.Update();
    m_defaultPerspective = m_aui.SavePerspective();
    PlaceForFirstStart();
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) { OnSizeOrMove(event); });
    Bind(wxEVT_MOVE, [this](wxMoveEvent& event) { OnSizeOrMove(event); });
    // Last in the routing (after the view and the document): every declared command's state.
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateCommand, this);
    // Whether "Вставить" can paste is asked of the clipboard when the window gains focus and when a
    // menu opens (and after the editor's own copy), never by polling.
    Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& event) {
        if (event.GetActive()) {
            ClipboardChanged();
        }
        event.Skip();
    });
    ClipboardChanged();
}

CMainFrame::~CMainFrame() {
    m_aui.UnInit();
}

wxMenuBar* CMainFrame::BuildMenuBar() {
    auto* bar = new wxMenuBar;
    for (const auto& layout : MainMenuLayout()) {
        auto* menu = new wxMenu;
        for (int id : layout.items) {
            if (id == kSeparator) {
                menu->AppendSeparator();
                continue;
            }
            const CommandDecl& command = *FindCommand(id);
            if (id == ID_FILE_MRU_FILE1) {
                m_pFileMenu = menu;
                m_nRecentPos = menu->GetMenuItemCount();
            }
            menu->Append(id, Ui(command.label), Ui(command.prompt),
                         command.check ? wxITEM_CHECK : wxITEM_NORMAL);
        }
        bar->Append(menu, Ui(layout.title));
    }
    return bar;
}

wxAuiToolBar* CMainFrame::BuildToolbar(int resourceId, const std::vector<int>& layout) {
    auto* bar = new wxAuiToolBar(this, resourceId, wxDefaultPosition, wxDefaultSize,
                                 wxAUI_TB_DEFAULT_STYLE | wxAUI_TB_GRIPPER);
    bar->SetToolBitmapSize(wxSize(kToolImageWidth, kToolImageHeight));
    for (int id : layout) {
        if (id == kSeparator) {
            bar->AddSeparator();
            continue;
        }
        const CommandDecl& command = *FindCommand(id);
        bar->AddTool(id, wxString(), ToolbarImage(id), wxNullBitmap,
                     command.check ? wxITEM_CHECK : wxITEM_NORMAL, Ui(command.tooltip),
                     Ui(command.prompt), nullptr);
    }
    bar->Realize();
    bar->Bind(wxEVT_MOTION, [this, bar](wxMouseEvent& event) { ShowToolPrompt(bar, event); });
    bar->Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent& event) {
        SetStatusText(Ui(text::kReady), 0);
        event.Skip();
    });
    return bar;
}

void CMainFrame::ShowToolPrompt(wxAuiToolBar* bar, wxMouseEvent& event) {
    const wxAuiToolBarItem* item = bar->FindToolByPosition(event.GetX(), event.GetY());
    const wxString prompt = item ? item->GetLongHelp() : wxString();
    SetStatusText(prompt.empty() ? Ui(text::kReady) : prompt, 0);
    event.Skip();
}

void CMainFrame::SetSceneCanvas(CSceneCanvas* canvas) {
    m_pCanvas = canvas;
    m_aui.AddPane(canvas, wxAuiPaneInfo().Name("View").CenterPane().PaneBorder(false));
    m_aui.Update();
    m_defaultPerspective = m_aui.SavePerspective();
}

void CMainFrame::SetStatusPaneText(int pane, const wxString& text) {
    if (pane >= 1 && pane <= 2 && GetStatusBar()) {
        SetStatusText(text, pane);
    }
}

void CMainFrame::SetStatusMessage(const wxString& text) {
    if (GetStatusBar()) {
        SetStatusText(text, 0);
    }
}

void CMainFrame::ShowMapProgress(int percent, const wxString& label) {
    if (m_pMapProgress) {
        m_pMapProgress->Show(percent, label);
    }
}

void CMainFrame::HideMapProgress() {
    if (m_pMapProgress) {
        m_pMapProgress->Hide();
    }
}

CommandContext CMainFrame::GatherCommandContext() {
    CommandContext context;
    if (auto* docs = dynamic_cast<CSceneDocManager*>(GetDocumentManager())) {
        context.recentFileCount = static_cast<int>(docs->RecentFiles().size());
        // The view the commands go to, as the document manager routes them.
        if (auto* view = wxDynamicCast(docs->GetAnyUsableView(), C3DView)) {
            view->DescribeCommandState(context);
        }
    }
    context.mainBarShown = IsBarShown(ID_VIEW_TOOLBAR);
    context.sceneBarShown = IsBarShown(ID_VIEW_SCENE_BAR);
    context.statusBarShown = IsBarShown(ID_VIEW_STATUS_BAR);
    context.effectPaneShown = IsBarShown(ID_VIEW_EFFECT_PANE);
    context.clipboardHasObject = m_bClipboardHasObject;
    return context;
}

void CMainFrame::OnUpdateCommand(wxUpdateUIEvent& event) {
    const CommandDecl* command = FindCommand(event.GetId());
    if (!command) {
        event.Skip();
        return;
    }
    const CommandState state = EvaluateCommand(*command, GatherCommandContext());
    event.Enable(state.enabled);
    if (command->check) {
        event.Check(state.checked);
    }
    if (!state.text.empty()) {
        event.SetText(state.text);
    }
}

CommandState CMainFrame::QueryCommand(int commandId) {
    wxUpdateUIEvent event(commandId);
    event.SetEventObject(this);
    ProcessWindowEvent(event);
    CommandState state;
    // A command whose rule nobody evaluates is shown and treated as disabled.
    state.enabled = event.GetSetEnabled() && event.GetEnabled();
    state.checked = event.GetSetChecked() && event.GetChecked();
    if (event.GetSetText()) {
        state.text = event.GetText();
    }
    return state;
}

void CMainFrame::UpdateCommandUI() {
    wxMenuBar* bar = GetMenuBar();
    for (int id : AllCommandIds()) {
        const CommandState state = QueryCommand(id);
        if (wxMenuItem* item = bar ? bar->FindItem(id) : nullptr) {
            if (item->IsEnabled() != state.enabled) {
                item->Enable(state.enabled);
            }
            if (item->IsCheckable() && item->IsChecked() != state.checked) {
                item->Check(state.checked);
            }
            if (!state.text.empty() && item->GetItemLabel() != state.text) {
                item->SetItemLabel(state.text);
            }
        }
        for (wxAuiToolBar* toolbar : {m_pMainBar, m_pSceneBar}) {
            if (!toolbar || !toolbar->FindTool(id)) {
                continue;
            }
            bool changed = false;
            if (toolbar->GetToolEnabled(id) != state.enabled) {
                toolbar->EnableTool(id, state.enabled);
                changed = true;
            }
            if (IsCheckCommand(id) && toolbar->GetToolToggled(id) != state.checked) {
                toolbar->ToggleTool(id, state.checked);
                changed = true;
            }
            if (changed) {
                toolbar->Refresh(false);
            }
        }
    }
}

void CMainFrame::ShowRecentFiles(const std::vector<wxString>& paths) {
    if (!m_pFileMenu) {
        return;
    }
    for (int id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_FILE4; ++id) {
        while (wxMenuItem* item = m_pFileMenu->FindChildItem(id)) {
            m_pFileMenu->Destroy(item);
        }
    }
    const wxString prompt = Ui(text::kRecentPrompt);
    if (paths.empty()) {
        m_pFileMenu->Insert(m_nRecentPos, ID_FILE_MRU_FILE1, Ui(text::kRecentPlaceholder), prompt);
        m_pFileMenu->Enable(ID_FILE_MRU_FILE1, false);
        return;
    }
    for (size_t i = 0; i < paths.size() && i < static_cast<size_t>(kRecentFileCount); ++i) {
        const int index = static_cast<int>(i);
        m_pFileMenu->Insert(m_nRecentPos + i, ID_FILE_MRU_FILE1 + index,
                            RecentFileMenuLabel(index, paths[i]), prompt);
    }
}

bool CMainFrame::IsBarShown(int toggleId) {
    switch (toggleId) {
    case ID_VIEW_TOOLBAR:
        return m_aui.GetPane(kMainBarPane).IsShown();
    case ID_VIEW_SCENE_BAR:
        return m_aui.GetPane(kSceneBarPane).IsShown();
    case ID_VIEW_STATUS_BAR:
        return GetStatusBar() && GetStatusBar()->IsShown();
    case ID_VIEW_EFFECT_PANE:
        return m_aui.GetPane(CEffectPane::kPaneName).IsShown();
    default:
        return false;
    }
}

void CMainFrame::OnToggleBar(wxCommandEvent& event) {
    const bool show = !IsBarShown(event.GetId());
    if (event.GetId() == ID_VIEW_STATUS_BAR) {
        GetStatusBar()->Show(show);
        SendSizeEvent();
    } else if (event.GetId() == ID_VIEW_EFFECT_PANE) {
        m_aui.GetPane(CEffectPane::kPaneName).Show(show);
    } else {
        m_aui.GetPane(event.GetId() == ID_VIEW_TOOLBAR ? kMainBarPane : kSceneBarPane).Show(show);
    }
    m_aui.Update();
}

void CMainFrame::ShowEffectOf(const SceneSettings& scene) {
    m_pEffectPane->ShowEffectOf(scene);
    wxAuiPaneInfo& pane = m_aui.GetPane(CEffectPane::kPaneName);
    if (m_pEffectPane->HasEffect() && !pane.IsShown()) {
        pane.Show();
        m_aui.Update();
    }
}

void CMainFrame::OnMenuOpen(wxMenuEvent& event) {
    m_bClipboardHasObject = ClipboardHoldsObject();
    UpdateCommandUI();
    event.Skip();
}

void CMainFrame::ClipboardChanged() {
    m_bClipboardHasObject = ClipboardHoldsObject();
}

void CMainFrame::OnIdle(wxIdleEvent& event) {
    UpdateCommandUI();
    event.Skip();
}

// clang-format off
wxBEGIN_EVENT_TABLE(CMainFrame, wxDocParentFrame)
    EVT_MENU(ID_VIEW_TOOLBAR, CMainFrame::OnToggleBar)
    EVT_MENU(ID_VIEW_SCENE_BAR, CMainFrame::OnToggleBar)
    EVT_MENU(ID_VIEW_STATUS_BAR, CMainFrame::OnToggleBar)
    EVT_MENU(ID_VIEW_RESET_LAYOUT, CMainFrame::OnResetLayout)
    EVT_MENU(ID_VIEW_EFFECT_PANE, CMainFrame::OnToggleBar)
    EVT_MENU_OPEN(CMainFrame::OnMenuOpen)
    EVT_IDLE(CMainFrame::OnIdle)
wxEND_EVENT_TABLE()

} // namespace sonivera
