#include "gui/model/SceneEditCommand.h"

#include "gui/app/Strings.h"
#include "gui/model/C3DDoc.h"

namespace sonivera {

CSceneEditCommand::CSceneEditCommand(C3DDoc& doc, std::unique_ptr<SceneEdit> edit,
                                     bool alreadyApplied)
    : wxCommand(true, Ui(text::EditName(static_cast<int>(edit->Kind())))), m_doc(doc),
      m_pEdit(std::move(edit)), m_bSkipNextDo(alreadyApplied) {}

bool CSceneEditCommand::Do() {
    if (m_bSkipNextDo) {
        m_bSkipNextDo = false;
        return true;
    }
    SceneSettings* scene = m_doc.GetScene();
    if (!scene) {
        return false;
    }
    m_doc.NotifySceneEdited(m_pEdit->Apply(*scene));
    return true;
}

bool CSceneEditCommand::Undo() {
    SceneSettings* scene = m_doc.GetScene();
    if (!scene) {
        return false;
    }
    m_doc.NotifySceneEdited(m_pEdit->Revert(*scene));
    return true;
}

} // namespace sonivera
