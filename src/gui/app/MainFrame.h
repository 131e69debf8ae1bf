#pragma once

#include "gui/common/CommandContext.h"
#include "gui/common/ViewFrame.h"
#include "core/view/WindowPlacement.h"

#include <wx/aui/aui.h>
#include <wx/docview.h>

#include <memory>
#include <vector>

class wxAuiToolBar;
class wxConfigBase;

namespace sonivera {

class CSceneCanvas;
class CEffectPane;
class CMapStatusProgress;
struct SceneSettings;

// The main window: menu bar, the main toolbar (top) and the scene toolbar (bottom) as dockable AUI
// panes, the "Эффект" pane (dockable on every edge, hidden until asked for or until a calculation
// gives an effect), the three-pane status bar, and the editor view's canvas in the client area. It
// serves the toggles of the "&Вид" menu; every other command goes to the view, the document or
// the application object. It answers every command's update-UI request from the command's
// declared rules over the state it gathers (GatherCommandContext).
class CMainFrame : public wxDocParentFrame, public ViewFrame {
public:
    // Pane names of the two toolbars in the AUI manager.
    static constexpr const char* kMainBarPane = "MainBar";
    static constexpr const char* kSceneBarPane = "SceneBar";

    explicit CMainFrame(wxDocManager* manager);
    ~CMainFrame() override;

    // --- ViewFrame ---
    wxFrame& Window() override { return *this; }
    CSceneCanvas* GetSceneCanvas() const override { return m_pCanvas; }
    void SetSceneCanvas(CSceneCanvas* canvas) override;
    void SetStatusPaneText(int pane, const wxString& text) override;
    void SetStatusMessage(const wxString& text) override;
    void ShowMapProgress(int percent, const wxString& label) override;
    void HideMapProgress() override;
    // Asks the clipboard again whether it holds an object (after a copy or cut).
    void ClipboardChanged() override;
    // The map's progress in the status bar (tests look at it).
    CMapStatusProgress* GetMapProgress() const { return m_pMapProgress.get(); }
    // Asks the command routing (view, document, frame, application) for a command's state. A
    // command whose rule nobody evaluates counts as disabled.
    CommandState QueryCommand(int commandId) override;

    // The state the commands' rules read, gathered from the application's recent files, the
    // bars and the view (with its document) the commands go to.
    CommandContext GatherCommandContext();
    // Applies every command's state to the menu bar and both toolbars.
    void UpdateCommandUI();
    // Shows the recent files in the File menu in place of the placeholder item.
    void ShowRecentFiles(const std::vector<wxString>& paths);

    // The "Эффект" pane, which the frame owns.
    CEffectPane* GetEffectPane() const override { return m_pEffectPane; }
    // Shows the scene's last effect in the pane, and the pane itself when it holds an effect.
    void ShowEffectOf(const SceneSettings& scene) override;

    wxAuiManager& GetAuiManager() { return m_aui; }
    wxAuiToolBar* GetMainBar() const { return m_pMainBar; }
    wxAuiToolBar* GetSceneBar() const { return m_pSceneBar; }
    // Whether the bar or pane that a toggle command (59392, 32792, 59393, 32870) shows is visible.
    bool IsBarShown(int toggleId);

    // --- The window's place and the bars' layout, remembered across runs (MainFrameLayout.cpp) ---
    // Takes the remembered size, position, maximised state and pane layout from the settings,
    // each falling back to the default when missing, damaged or off every screen. Call once the
    // view's canvas is in place, before the frame is shown.
    void RestoreLayout(wxConfigBase& config);
    void SaveLayout(wxConfigBase& config) const;
    // Whether the window was maximised when the layout was last saved (yes when nothing was).
    static bool IsRememberedMaximised(wxConfigBase& config);
    // Puts every pane back where it starts: the toolbars docked, shown, in their rows.
    void ResetLayout();
    // The pane layout the frame starts with (as the AUI manager writes it).
    const wxString& DefaultPerspective() const { return m_defaultPerspective; }
    // The window's position and client size when it is neither maximised nor minimised.
    wxRect RestoredRect() const;

private:
    wxMenuBar* BuildMenuBar();
    // Caps the docked "Эффект" pane at half of the window across its dock.
    void KeepHalfForThePlan();
    int StatusPaneWidth(const char* widestText) const;
    wxAuiToolBar* BuildToolbar(int resourceId, const std::vector<int>& layout);
    void ShowToolPrompt(wxAuiToolBar* bar, wxMouseEvent& event);
    void OnToggleBar(wxCommandEvent& event);
    void OnUpdateCommand(wxUpdateUIEvent& event);
    void OnMenuOpen(wxMenuEvent& event);
    void OnIdle(wxIdleEvent& event);
    void OnResetLayout(wxCommandEvent& event);
    void OnSizeOrMove(wxEvent& event);
    void PlaceForFirstStart();
    void ApplyRestoredRect();

    wxAuiManager m_aui;
    wxAuiToolBar* m_pMainBar = nullptr;
    wxAuiToolBar* m_pSceneBar = nullptr;
    CEffectPane* m_pEffectPane = nullptr;
    std::unique_ptr<CMapStatusProgress> m_pMapProgress;
    bool m_bClipboardHasObject = false;
    CSceneCanvas* m_pCanvas = nullptr;
    wxMenu* m_pFileMenu = nullptr;
    size_t m_nRecentPos = 0; // where the recent files stand in the File menu
    wxString m_defaultPerspective;
    RestoredWindowRect m_restored;

    wxDECLARE_EVENT_TABLE();
};

} // namespace sonivera
