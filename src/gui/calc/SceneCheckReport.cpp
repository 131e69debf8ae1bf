#include "gui/calc/SceneCheckReport.h"

#include "core/calc/SceneCheck.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/Strings.h"

#include <wx/string.h>

namespace sonivera {

bool CheckSceneAndReport(wxWindow* owner, const SceneSettings& scene, bool reportSuccess,
                         const std::function<void(const SceneCheckFinding&)>& onFinding) {
    const auto finding = FindFirstSceneError(scene.objects);
    if (finding) {
        ShowError(owner, Ui(finding->message));
        if (onFinding) {
            onFinding(*finding);
        }
        return false;
    }
    if (reportSuccess) {
        ShowPlainMessage(owner, Ui(kSceneCleanText));
    }
    return true;
}

} // namespace sonivera
