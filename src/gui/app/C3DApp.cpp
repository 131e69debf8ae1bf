#include "gui/app/C3DApp.h"

#include "gui/app/AboutDlg.h"
#include "gui/app/MainFrame.h"
#include "gui/app/RecentFiles.h"
#include "gui/app/SettingsFile.h"
#include "gui/app/SceneDocManager.h"
#include "gui/common/CommandIds.h"
#include "gui/common/CommandTable.h"
#include "gui/common/FileDialogs.h"
#include "gui/common/Strings.h"
#include "gui/model/C3DDoc.h"
#include "gui/view/C3DView.h"

#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/utils.h>

namespace sonivera {

C3DApp& TheApp() {
    return *static_cast<C3DApp*>(wxApp::GetInstance());
}

C3DApp::C3DApp() {
    SetAppName(Ui(text::kAppTitle));
    SetAppDisplayName(Ui(text::kAppTitle));
    SetVendorName(Ui(text::kSettingsVendor));
}

C3DApp::~C3DApp() {
    ShutDown();
}

bool C3DApp::OnInit() {
    wxArrayString args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(argv[i]);
    }
    return StartUp(args);
}

int C3DApp::OnExit() {
    ShutDown();
    return wxApp::OnExit();
}

wxString C3DApp::DefaultSettingsFile() {
    wxString folder;
    if (!wxGetEnv("XDG_CONFIG_HOME", &folder) || folder.empty()) {
        folder = wxGetHomeDir() + "/.config";
    }
    return folder + "/" + Ui(text::kSettingsVendor) + "/" + Ui(text::kAppTitle) + ".conf";
}

wxString C3DApp::SceneFileArgument(const wxArrayString& args) {
    const wxArrayString files = SceneFileArguments(args);
    return files.empty() ? wxString() : files[0];
}

wxArrayString C3DApp::SceneFileArguments(const wxArrayString& args) {
    wxArrayString files;
    bool switchesEnded = false;
    for (const wxString& arg : args) {
        if (!switchesEnded && arg == "--") {
            switchesEnded = true;
            continue;
        }
        if (switchesEnded || !arg.StartsWith("-")) {
            files.push_back(arg);
        }
    }
    return files;
}

bool C3DApp::StartUp(const wxArrayString& args) {
    {
        // A missing or unreadable settings file leaves the recent-file list empty, silently: no
        // log messages, and no toolkit assertions about malformed lines.
        wxLogNull quiet;
        const wxAssertHandler_t assertHandler = wxSetAssertHandler(nullptr);
        const wxString file = m_settingsFile.empty() ? DefaultSettingsFile() : m_settingsFile;
        m_pConfig = std::make_unique<CSettingsFile>(GetAppName(), GetVendorName(), file);
        wxSetAssertHandler(assertHandler);
    }

    m_pDocManager = std::make_unique<CSceneDocManager>();
    m_pDocManager->SetMaxDocsOpen(1);
    new wxDocTemplate(m_pDocManager.get(), Ui(text::kSceneFilterName),
                      Ui(text::kSceneFilterPattern), wxString(), Ui(text::kSceneExtension),
                      Ui(text::kDocTypeName), Ui(text::kViewTypeName), CLASSINFO(C3DDoc),
                      CLASSINFO(C3DView));
    m_pDocManager->SetRecentFiles(LoadRecentFiles(*m_pConfig, kRecentFileCount));

    m_pFrame = new CMainFrame(m_pDocManager.get());
    SetTopWindow(m_pFrame.get());
    m_pFrame->ShowRecentFiles(m_pDocManager->RecentFiles());
    m_pDocManager->SetRecentFilesListener([this] {
        if (m_pFrame) {
            m_pFrame->ShowRecentFiles(m_pDocManager->RecentFiles());
        }
        SaveSettings();
    });

    wxDocument* doc = m_pDocManager->CreateDocument(wxString(), wxDOC_NEW);
    auto* sceneDoc = wxDynamicCast(doc, C3DDoc);
    const wxString path = SceneFileArgument(args);
    if (!path.empty()) {
        // Activating the new document presented the frame behind the toolkit's back; take it off
        // the screen until the file is in place (a failure leaves no window behind its message).
        m_pFrame->Show();
        m_pFrame->Hide();
    }
    if (!sceneDoc ||
        (!path.empty() && sceneDoc->OpenSceneFile(path) != C3DDoc::OpenResult::Opened)) {
        ShutDown();
        return false;
    }

    m_pFrame->RestoreLayout(*m_pConfig);
    m_pFrame->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        // Remembered whether or not the close goes ahead: the layout is the user's either way.
        if (m_pFrame && m_pConfig) {
            wxLogNull quiet;
            SaveSettings();
            m_pFrame->SaveLayout(*m_pConfig);
        }
        event.Skip();
    });
    m_pFrame->Maximize(CMainFrame::IsRememberedMaximised(*m_pConfig));
    m_pFrame->Show(true);
    m_pFrame->Update();
    // Several files from the desktop's "open with": each further one in an editor of its own, so
    // none replaces the scene shown here.
    const wxArrayString files = SceneFileArguments(args);
    for (std::size_t i = 1; i < files.size() && argc > 0; ++i) {
        const wxString program = argv[0];
        const wxString file = files[i];
        const wchar_t* command[] = {program.wc_str(), L"--", file.wc_str(), nullptr};
        wxExecute(command, wxEXEC_ASYNC);
    }
    return true;
}

void C3DApp::ShutDown() {
    if (m_pFrame && !IsScheduledForDestruction(m_pFrame.get())) {
        if (C3DDoc* doc = GetSceneDocument()) {
            doc->Modify(false);
        }
        m_pFrame->Close(true);
    }
    // The frame goes before the document manager it refers to.
    DeletePendingObjects();
    if (m_pDocManager) {
        m_pDocManager->SetRecentFilesListener({});
        SaveSettings();
        m_pDocManager.reset();
    }
    wxLogNull quiet;
    m_pConfig.reset();
}

void C3DApp::SaveSettings() {
    if (!m_pConfig || !m_pDocManager) {
        return;
    }
    wxLogNull quiet;
    const wxString file = m_settingsFile.empty() ? DefaultSettingsFile() : m_settingsFile;
    wxFileName::Mkdir(wxFileName(file).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    SaveRecentFiles(*m_pConfig, m_pDocManager->RecentFiles());
}

C3DDoc* C3DApp::GetSceneDocument() const {
    if (!m_pDocManager) {
        return nullptr;
    }
    wxDocument* doc = m_pDocManager->GetCurrentDocument();
    if (!doc && !m_pDocManager->GetDocuments().empty()) {
        doc = static_cast<wxDocument*>(m_pDocManager->GetDocuments().GetFirst()->GetData());
    }
    return wxDynamicCast(doc, C3DDoc);
}

int C3DApp::FilterEvent(wxEvent& event) {
    // The command gate: a disabled command is never carried out, however it arrives.
    if (event.GetEventType() == wxEVT_MENU && IsCommandId(event.GetId()) && m_pFrame &&
        !IsScheduledForDestruction(m_pFrame.get()) &&
        !m_pFrame->QueryCommand(event.GetId()).enabled) {
        return Event_Processed;
    }
    return wxApp::FilterEvent(event);
}

bool C3DApp::IsCommandIdRangeAssertion(const wxString& message) {
    return message == "invalid itemid value";
}

void C3DApp::OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond,
                             const wxChar* msg) {
    if (!IsCommandIdRangeAssertion(msg)) {
        wxApp::OnAssertFailure(file, line, func, cond, msg);
    }
}

void C3DApp::OnAppAbout(wxCommandEvent&) {
    CAboutDlg dialog(m_pFrame.get());
    dialog.ShowModal();
}

void C3DApp::OnFileNew(wxCommandEvent&) {
    C3DDoc* doc = GetSceneDocument();
    if (doc && doc->OnSaveModified()) {
        doc->OnNewDocument();
    }
}

void C3DApp::OnFileOpen(wxCommandEvent&) {
    C3DDoc* doc = GetSceneDocument();
    if (!doc || !doc->OnSaveModified()) {
        return;
    }
    const wxString path = AskOpenScenePath(m_pFrame.get());
    if (!path.empty()) {
        doc->OpenSceneFile(path);
    }
}

void C3DApp::OnAppExit(wxCommandEvent&) {
    if (m_pFrame) {
        m_pFrame->Close();
    }
}

void C3DApp::OnRecentFile(wxCommandEvent& event) {
    const auto paths = m_pDocManager->RecentFiles();
    const size_t index = static_cast<size_t>(event.GetId() - ID_FILE_MRU_FILE1);
    C3DDoc* doc = GetSceneDocument();
    if (index >= paths.size() || !doc || !doc->OnSaveModified()) {
        return;
    }
    const wxString path = paths[index];
    if (doc->OpenSceneFile(path) == C3DDoc::OpenResult::CannotOpen) {
        // A file that is gone no longer belongs in the list.
        const auto now = m_pDocManager->RecentFiles();
        for (size_t i = 0; i < now.size(); ++i) {
            if (now[i] == path) {
                m_pDocManager->RemoveFileFromHistory(i);
                break;
            }
        }
    }
}

// clang-format off
wxBEGIN_EVENT_TABLE(C3DApp, wxApp)
    EVT_MENU(ID_APP_ABOUT, C3DApp::OnAppAbout)
    EVT_MENU(ID_FILE_NEW, C3DApp::OnFileNew)
    EVT_MENU(ID_FILE_OPEN, C3DApp::OnFileOpen)
    EVT_MENU(ID_FILE_IMPORT_PLAN, C3DApp::OnImportPlan)
    EVT_MENU(ID_APP_EXIT, C3DApp::OnAppExit)
    EVT_MENU_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE4, C3DApp::OnRecentFile)
wxEND_EVENT_TABLE()

} // namespace sonivera
