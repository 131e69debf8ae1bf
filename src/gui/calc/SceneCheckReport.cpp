#include "calc/SceneCheckReport.h"

#include "calc/SceneCheck.h"
#include "common/MessageBoxes.h"
#include "common/Strings.h"

#include <wx/string.h>

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
