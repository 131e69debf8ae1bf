#pragma once

#include "core/plan/PlanImport.h"

#include <wx/dialog.h>

namespace sonivera {

// What an import of a plan made, before it replaces anything: the plan's rectangles and the
// listener drawn to fit, and the report (what was taken and what was left, by kind and layer).
// OK ("Открыть как новую сцену") opens it as a new scene; Cancel drops it.
class CImportPlanDlg : public wxDialog {
public:
    CImportPlanDlg(wxWindow* parent, const SceneSettings& scene, const PlanImportReport& report);
};

// The report in the editor's words.
wxString PlanReportText(const PlanImportReport& report);

} // namespace sonivera
