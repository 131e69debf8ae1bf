#include "gui/model/C3DDoc.h"

#include "core/files/SafeFileWriter.h"
#include "core/model/SceneFile.h"
#include "core/model/SceneFileError.h"
#include "gui/common/CommandIds.h"
#include "gui/common/FileDialogs.h"
#include "gui/common/FileNames.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/Strings.h"
#include "gui/model/SceneEditCommand.h"
#include "gui/model/SceneEdits.h"
#include "gui/model/SceneParamsDlg.h"
#include "gui/model/SceneSizeDlg.h"

#include <algorithm>
#include <cstdio>
#include <wx/cmdproc.h>
#include <wx/filename.h>

namespace sonivera {

wxIMPLEMENT_DYNAMIC_CLASS(C3DDoc, wxDocument);

C3DDoc::~C3DDoc() {
    m_pScene.reset();
}

wxObject* C3DDoc::SceneReplacedHint() {
    static wxObject hint;
    return &hint;
}

bool C3DDoc::OnNewDocument() {
    DeleteContents();
    if (!wxDocument::OnNewDocument()) {
        return false;
    }
    Modify(false);
    ReplaceScene(MakeDefaultScene());
    UpdateAllViews(nullptr, SceneReplacedHint());
    return true;
}

bool C3DDoc::DeleteContents() {
    if (m_pScene) {
        ReplaceScene(nullptr);
        UpdateAllViews(nullptr, SceneReplacedHint());
    }
    return wxDocument::DeleteContents();
}

bool C3DDoc::OnSaveModified() {
    if (!IsModified()) {
        return true;
    }
    switch (AskSaveChanges(GetDocumentWindow(), GetUserReadableName())) {
    case wxYES:
        return Save();
    case wxNO:
        return true;
    default:
        return false;
    }
}

bool C3DDoc::Save() {
    if (!m_pScene) {
        return false;
    }
    if (!GetDocumentSaved() || GetFilename().empty()) {
        return SaveAs();
    }
    return SaveSceneFile(GetFilename());
}

bool C3DDoc::SaveAs() {
    if (!m_pScene) {
        return false;
    }
    // A scene from a file is offered under its own name in its own folder; a new one under its
    // title in the folder last used.
    const bool named = GetDocumentSaved() && !GetFilename().empty();
    const wxString folder = named ? wxPathOnly(GetFilename()) : LastSceneFolder();
    const wxString suggested = named ? wxFileNameFromPath(GetFilename())
                                     : GetUserReadableName() + "." + Ui(text::kSceneExtension);
    const wxString path = AskSaveScenePath(GetDocumentWindow(), folder, suggested);
    return !path.empty() && SaveSceneFile(path);
}

bool C3DDoc::OnOpenDocument(const wxString& path) {
    return OpenSceneFile(path) == OpenResult::Opened;
}

bool C3DDoc::OnSaveDocument(const wxString& path) {
    return SaveSceneFile(path);
}

C3DDoc::OpenResult C3DDoc::OpenSceneFile(const wxString& path) {
    const wxString fullPath = AbsolutePath(path);
    std::string readFrom = ToFileSystem(fullPath);
    const std::vector<std::string> copies = OldCopiesOf(readFrom);
    if (!copies.empty() &&
        AskWarningYesNo(GetDocumentWindow(),
                        wxString::Format(Ui(text::kOldCopyFound), fullPath,
                                         FromFileSystem(copies.front())),
                        Ui(text::kOldCopyCaption))) {
        readFrom = copies.front();
    }
    std::unique_ptr<SceneSettings> scene;
    try {
        scene = ReadSceneFile(readFrom);
    } catch (const SceneFileError& error) {
        if (error.GetKind() == SceneFileError::Kind::BadFormat) {
            ShowExclamation(GetDocumentWindow(), Ui(kUnexpectedFileFormat));
            OnNewDocument();
            return OpenResult::BadFormat;
        }
        ShowExclamation(GetDocumentWindow(), FromFileSystem(error.what()));
        return OpenResult::CannotOpen;
    }
    DeleteContents();
    ReplaceScene(std::move(scene));
    TakeFileName(fullPath);
    m_sTakenCopy.clear();
    if (readFrom != ToFileSystem(fullPath)) {
        // The file on disk is not what is shown: saving puts the old content back.
        m_sTakenCopy = readFrom;
        Modify(true);
    }
    UpdateAllViews(nullptr, SceneReplacedHint());
    return OpenResult::Opened;
}

void C3DDoc::TakeImportedScene(std::unique_ptr<SceneSettings> scene, const wxString& title) {
    DeleteContents();
    ReplaceScene(std::move(scene));
    SetFilename(wxString(), true);
    SetTitle(title);
    SetDocumentSaved(false);
    m_sTakenCopy.clear();
    Modify(true);
    UpdateAllViews(nullptr, SceneReplacedHint());
}

bool C3DDoc::SaveSceneFile(const wxString& path) {
    if (!m_pScene) {
        return false;
    }
    const wxString fullPath = AbsolutePath(path);
    try {
        WriteSceneFile(ToFileSystem(fullPath), *m_pScene);
    } catch (const SceneFileError& error) {
        ShowExclamation(GetDocumentWindow(),
                        wxString::Format(Ui(text::kSaveFailed), FromFileSystem(error.what())));
        return false;
    }
    TakeFileName(fullPath);
    const std::vector<std::string> copies = OldCopiesOf(ToFileSystem(fullPath));
    if (std::find(copies.begin(), copies.end(), m_sTakenCopy) != copies.end()) {
        std::remove(m_sTakenCopy.c_str()); // saved over the file it was the old content of
        m_sTakenCopy.clear();
    }
    return true;
}

void C3DDoc::ReplaceScene(std::unique_ptr<SceneSettings> scene) {
    if (wxCommandProcessor* commands = GetCommandProcessor()) {
        commands->ClearCommands();
    }
    m_pScene = std::move(scene);
    ++m_nSceneSerial;
}

// --- Undo and redo ---

void C3DDoc::SubmitEdit(std::unique_ptr<SceneEdit> edit, bool alreadyApplied) {
    wxCommandProcessor* commands = GetCommandProcessor();
    if (!m_pScene || !edit) {
        return;
    }
    if (!commands) {
        if (!alreadyApplied) {
            NotifySceneEdited(edit->Apply(*m_pScene));
        }
        Modify(true);
        return;
    }
    commands->Submit(new CSceneEditCommand(*this, std::move(edit), alreadyApplied));
    FollowCommandStack();
}

bool C3DDoc::UndoEdit() {
    wxCommandProcessor* commands = GetCommandProcessor();
    if (!m_pScene || !commands || !commands->CanUndo()) {
        return false;
    }
    const bool undone = commands->Undo();
    FollowCommandStack();
    return undone;
}

bool C3DDoc::RedoEdit() {
    wxCommandProcessor* commands = GetCommandProcessor();
    if (!m_pScene || !commands || !commands->CanRedo()) {
        return false;
    }
    const bool redone = commands->Redo();
    FollowCommandStack();
    return redone;
}

void C3DDoc::NotifySceneEdited(const EditSelection& selection) {
    EditedHint hint(selection);
    UpdateAllViews(nullptr, &hint);
}

void C3DDoc::FollowCommandStack() {
    if (wxCommandProcessor* commands = GetCommandProcessor()) {
        Modify(commands->IsDirty());
    }
    StackChangedHint hint;
    UpdateAllViews(nullptr, &hint);
}

void C3DDoc::Modify(bool modified) {
    wxDocument::Modify(modified);
    if (!modified) {
        if (wxCommandProcessor* commands = GetCommandProcessor()) {
            commands->MarkAsSaved();
        }
    }
}

void C3DDoc::TakeFileName(const wxString& path) {
    SetTitle(wxFileNameFromPath(path));
    SetFilename(path, true);
    SetDocumentSaved(true);
    Modify(false);
    if (wxDocManager* manager = GetDocumentManager()) {
        manager->AddFileToHistory(path);
        manager->SetLastDirectory(wxPathOnly(path));
    }
}

void C3DDoc::OnFileSave(wxCommandEvent&) {
    Save();
}

void C3DDoc::OnFileSaveAs(wxCommandEvent&) {
    SaveAs();
}

void C3DDoc::OnSceneSizeGrid(wxCommandEvent&) {
    SceneSizeFields fields = SceneSizeFieldsOf(*m_pScene);
    CSceneSizeDlg dialog(GetDocumentWindow(), fields);
    if (dialog.ShowModal() != wxID_OK) {
        return;
    }
    const SettingsRecord before = SettingsOf(*m_pScene);
    if (ApplySceneSizeFields(*m_pScene, fields)) {
        SubmitEdit(MakeSettingsEdit(EditKind::SceneSize, before, SettingsOf(*m_pScene)), true);
        UpdateAllViews();
    }
}

void C3DDoc::OnSceneParameters(wxCommandEvent&) {
    CalcParameters params = m_pScene->params;
    CSceneParamsDlg dialog(GetDocumentWindow(), params);
    if (dialog.ShowModal() != wxID_OK) {
        return;
    }
    const SettingsRecord before = SettingsOf(*m_pScene);
    m_pScene->params = params; // all nine, changed or not
    const SettingsRecord after = SettingsOf(*m_pScene);
    if (!(after == before)) {
        SubmitEdit(MakeSettingsEdit(EditKind::SceneParameters, before, after), true);
    } else {
        Modify(true); // accepted unchanged: marked all the same, as this dialog always did
    }
}

// clang-format off
wxBEGIN_EVENT_TABLE(C3DDoc, wxDocument)
    EVT_MENU(ID_FILE_SAVE, C3DDoc::OnFileSave)
    EVT_MENU(ID_FILE_SAVE_AS, C3DDoc::OnFileSaveAs)
    EVT_MENU(ID_SCENE_SIZE_GRID, C3DDoc::OnSceneSizeGrid)
    EVT_MENU(ID_SCENE_PARAMETERS, C3DDoc::OnSceneParameters)
wxEND_EVENT_TABLE()

} // namespace sonivera
