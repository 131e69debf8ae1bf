#pragma once

#include "core/edit/SceneEdit.h"

#include <wx/cmdproc.h>

#include <memory>

namespace sonivera {

// What a scene edit on the undo stack acts on: the document's scene, and the views to tell.
class SceneEditTarget {
public:
    // The scene the edits apply to; null while the document holds none.
    virtual SceneSettings* EditedScene() = 0;
    // Tells the views that an edit was applied or reverted, with the selection it gives.
    virtual void NotifySceneEdited(const EditSelection& selection) = 0;

protected:
    ~SceneEditTarget() = default;
};

// One scene edit on the document's undo stack. Do applies the edit to the document's scene (the
// first Do of an edit the editor has already made changes nothing), Undo reverts it; both then
// tell the views which object to select.
class CSceneEditCommand : public wxCommand {
public:
    CSceneEditCommand(SceneEditTarget& doc, std::unique_ptr<SceneEdit> edit, bool alreadyApplied);

    bool Do() override;
    bool Undo() override;

    EditKind Kind() const { return m_pEdit->Kind(); }

private:
    SceneEditTarget& m_doc;
    std::unique_ptr<SceneEdit> m_pEdit;
    bool m_bSkipNextDo;
};

} // namespace sonivera
