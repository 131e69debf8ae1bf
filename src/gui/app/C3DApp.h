#pragma once

#include <wx/app.h>
#include <wx/weakref.h>

#include <memory>

class wxConfigBase;

namespace sonivera {

class C3DDoc;
class CMainFrame;
class CSceneDocManager;

// The application object: sets up the settings and the recent-file list, registers the one
// document template (C3DDoc, C3DView, CMainFrame), processes the command line, shows the main
// window, and serves About, New, Open, Exit and the recent files (their rules are declared with
// the commands, common/CommandTable.cpp). It also refuses every command whose enable rule says
// disabled, whether it comes from a menu, a toolbar or an accelerator.
class C3DApp : public wxApp {
public:
    C3DApp();
    ~C3DApp() override;

    bool OnInit() override;
    int OnExit() override;
    int FilterEvent(wxEvent& event) override;
    void OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond,
                         const wxChar* msg) override;

    // Whether a toolkit assertion only says that a command id is above the 16-bit range some
    // platforms limit menu ids to. The command ids keep their given values (up to 59393), which
    // work on this platform, so this assertion is ignored.
    static bool IsCommandIdRangeAssertion(const wxString& message);

    // The start-up of the program with its arguments (without the program name): settings,
    // recent files, template, main window and first scene (a new one, or the file named by the
    // first argument that is not a switch). False when the file cannot be opened; the user has
    // been told and everything is torn down again.
    bool StartUp(const wxArrayString& args);
    // Closes the document and the main window without asking, writes the recent files to the
    // settings and releases the document manager. Safe to call when already shut down.
    void ShutDown();

    // Keeps the settings in this file instead of the per-user one (used before StartUp).
    void SetSettingsFile(const wxString& path) { m_settingsFile = path; }
    // The per-user settings file: <config folder>/ЛИРО/Sonivera.conf.
    static wxString DefaultSettingsFile();
    // The scene file named on the command line, or an empty string: the first argument that does
    // not start with "-" (after "--" any argument).
    static wxString SceneFileArgument(const wxArrayString& args);
    // Every scene file named on the command line, in order: the editor shows one scene per
    // window, so the first opens here and each further one in a window (process) of its own.
    static wxArrayString SceneFileArguments(const wxArrayString& args);

    CMainFrame* GetMainFrame() const { return m_pFrame.get(); }
    CSceneDocManager* GetDocManager() const { return m_pDocManager.get(); }
    C3DDoc* GetSceneDocument() const;

private:
    void SaveSettings();
    void OnAppAbout(wxCommandEvent& event);
    void OnFileNew(wxCommandEvent& event);
    void OnFileOpen(wxCommandEvent& event);
    void OnImportPlan(wxCommandEvent& event);
    void OnAppExit(wxCommandEvent& event);
    void OnRecentFile(wxCommandEvent& event);

    wxString m_settingsFile;
    std::unique_ptr<wxConfigBase> m_pConfig;
    std::unique_ptr<CSceneDocManager> m_pDocManager;
    wxWeakRef<CMainFrame> m_pFrame;

    wxDECLARE_EVENT_TABLE();
};

// The running application object.
C3DApp& TheApp();

} // namespace sonivera
