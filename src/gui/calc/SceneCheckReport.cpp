#include "gui/calc/SceneCheckReport.h"

#include "gui/app/MessageBoxes.h"
#include "gui/app/Strings.h"
#include "core/calc/SceneCheck.h"

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
