#include "calc/SceneCheckReport.h"

#include "app/Strings.h"
#include "calc/CalcMessages.h"
#include "calc/SceneCheck.h"

#include <wx/string.h>

bool CheckSceneAndReport(wxWindow* owner, const SceneSettings& scene, bool reportSuccess) {
    const auto finding = FindFirstSceneError(scene.objects);
    if (finding) {
        ShowErrorBox(owner, Ui(finding->message));
        return false;
    }
    if (reportSuccess) {
        ShowNoticeBox(owner, Ui(kSceneCleanText));
    }
    return true;
}
