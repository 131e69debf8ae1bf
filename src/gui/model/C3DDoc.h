#pragma once

#include "core/edit/SceneEdit.h"
#include "core/model/SceneSettings.h"
#include "gui/model/SceneEditCommand.h"

#include <wx/docview.h>

#include <cstdint>
#include <memory>
#include <string>

namespace sonivera {

// The scene document: owns the current scene record (m_pScene) and serves the file commands Save
// and Save As and the two scene dialogs (32847 size and grid, 32773 parameters). The one document
// of the application is created at start-up and reused for every New and Open; its views keep
// non-owning pointers into the record and are told through UpdateAllViews whenever it changes.
class C3DDoc : public wxDocument, public SceneEditTarget {
public:
    enum class OpenResult {
        Opened,     // the file's scene is now the document's, under the file's name
        BadFormat,  // refused as "Unexpected file format."; a new default scene took its place
        CannotOpen, // the file could not be read; reported, the scene is as it was
    };

    C3DDoc() = default;
    ~C3DDoc() override;

    // The current scene; null only between DeleteContents and the end of the next new or load.
    SceneSettings* GetScene() const { return m_pScene.get(); }
    // A number that changes whenever the document releases or replaces its record (New, Open), so
    // that a view can tell a new record from the old one even when it lies at the same address.
    std::uint64_t GetSceneSerial() const { return m_nSceneSerial; }

    // The hint of UpdateAllViews when the scene record itself was released or replaced (views
    // drop their selection); a plain redraw request has no hint.
    static wxObject* SceneReplacedHint();

    // --- Undo and redo through the document's command processor ---
    // Puts an edit of the scene on the undo stack (dropping what could be redone) and marks the
    // document modified. `alreadyApplied`: the editor has made the change already; otherwise it
    // is applied now.
    void SubmitEdit(std::unique_ptr<SceneEdit> edit, bool alreadyApplied);
    // Undoes or redoes one edit; the modified flag follows the stack (clear exactly at the state
    // last saved or opened). False when there was nothing to undo or redo.
    bool UndoEdit();
    bool RedoEdit();
    // Tells the views that an edit was applied or reverted, with the selection it gives.
    void NotifySceneEdited(const EditSelection& selection) override;
    SceneSettings* EditedScene() override { return m_pScene.get(); }
    // The hint UpdateAllViews carries for NotifySceneEdited.
    class EditedHint : public wxObject {
    public:
        explicit EditedHint(const EditSelection& selection) : m_selection(selection) {}
        EditSelection m_selection;
    };
    // Sent to the views after every edit, undo and redo, once the scene is in its new state.
    class StackChangedHint : public wxObject {};
    // Marking the document unmodified also marks the undo stack's current state as saved.
    void Modify(bool modified) override;

    // Builds the default scene (a listener at (50, 50)) under the name "Untitled", not modified.
    bool OnNewDocument() override;
    // Releases the scene with all its objects and its effect.
    bool DeleteContents() override;
    // Asks "Save changes to <name>?" when the scene is modified: Yes saves (a failed or cancelled
    // save answers false), No goes on without saving, Cancel answers false.
    bool OnSaveModified() override;
    bool Save() override;
    bool SaveAs() override;
    bool OnOpenDocument(const wxString& path) override;
    bool OnSaveDocument(const wxString& path) override;

    // Reads a scene file into the document and reports a failure to the user.
    OpenResult OpenSceneFile(const wxString& path);
    // Shows an imported scene as a new document that has never been saved: titled `title`,
    // modified, so Save asks for a name.
    void TakeImportedScene(std::unique_ptr<SceneSettings> scene, const wxString& title);
    // Writes the scene through a temporary file renamed into place. On success the document takes
    // the file's name, is no longer modified and the file goes to the top of the recent files; on
    // failure the old file is intact, the user is told the path and the reason, and the scene
    // stays modified.
    bool SaveSceneFile(const wxString& path);

private:
    void OnFileSave(wxCommandEvent& event);
    void OnFileSaveAs(wxCommandEvent& event);
    void OnSceneSizeGrid(wxCommandEvent& event);
    void OnSceneParameters(wxCommandEvent& event);
    // Gives the document the file's name and marks it saved and unmodified; its folder becomes the
    // one the file dialogs start in.
    void TakeFileName(const wxString& path);

    // Sets the modified flag from the command processor's stack.
    void FollowCommandStack();

    // Takes `scene` as the current record under a new serial (null releases the record); the
    // undo stack starts empty.
    void ReplaceScene(std::unique_ptr<SceneSettings> scene);

    std::unique_ptr<SceneSettings> m_pScene;
    std::uint64_t m_nSceneSerial = 0;
    // The copy of an interrupted save's old content the user took back on opening: removed once
    // the document has been saved over the file again.
    std::string m_sTakenCopy;

    wxDECLARE_DYNAMIC_CLASS(C3DDoc);
    wxDECLARE_EVENT_TABLE();
};

} // namespace sonivera
