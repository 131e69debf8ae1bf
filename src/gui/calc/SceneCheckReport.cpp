#include "gui/calc/SceneCheckReport.h"

#include "core/calc/SceneCheck.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/Strings.h"

#include <wx/string.h>

namespace sonivera {

bool CheckSceneAndReport(wxWindow* owner, const SceneSettings& scene, bool reportSuccess) {
    const auto finding = FindFirstSceneError(scene.objects);
    if (finding) {
        ShowError(owner, Ui(finding->message));
        return false;
    }
    if (reportSuccess) {
        ShowPlainMessage(owner, Ui(kSceneCleanText));
    }
    return true;
}

} // namespace sonivera
