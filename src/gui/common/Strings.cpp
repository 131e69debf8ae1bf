#include "gui/common/Strings.h"

#include "core/edit/SceneEdit.h"

#include <wx/string.h>

namespace sonivera {

namespace text {

const char* EditName(int editKind) {
    switch (static_cast<EditKind>(editKind)) {
    case EditKind::AddSource:
        return kEditAddSource;
    case EditKind::DrawRect:
        return kEditDrawRect;
    case EditKind::MoveObject:
        return kEditMoveObject;
    case EditKind::DeleteObject:
        return kEditDeleteObject;
    case EditKind::CutObject:
        return kEditCutObject;
    case EditKind::PasteObject:
        return kEditPasteObject;
    case EditKind::ObjectProperties:
        return kEditObjectProperties;
    case EditKind::SceneSize:
        return kEditSceneSize;
    case EditKind::SceneParameters:
        return kEditSceneParameters;
    }
    return "";
}

} // namespace text

wxString Ui(std::string_view utf8) {
    return wxString::FromUTF8(utf8.data(), utf8.size());
}

} // namespace sonivera
