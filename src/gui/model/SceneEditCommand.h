#pragma once

#include "core/edit/SceneEdit.h"

#include <wx/cmdproc.h>

#include <memory>

namespace sonivera {

class C3DDoc;

// One scene edit on the document's undo stack. Do applies the edit to the document's scene (the
// first Do of an edit the editor has already made changes nothing), Undo reverts it; both then
// tell the views which object to select.
class CSceneEditCommand : public wxCommand {
public:
    CSceneEditCommand(C3DDoc& doc, std::unique_ptr<SceneEdit> edit, bool alreadyApplied);

    bool Do() override;
    bool Undo() override;

    EditKind Kind() const { return m_pEdit->Kind(); }

private:
    C3DDoc& m_doc;
    std::unique_ptr<SceneEdit> m_pEdit;
    bool m_bSkipNextDo;
};

} // namespace sonivera
