#include "gui/model/SceneParamsDlg.h"

#include "gui/app/CommandIds.h"
#include "gui/app/Strings.h"
#include "gui/model/NumericValidator.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valgen.h>

#include <map>

namespace sonivera {

CSceneParamsDlg::CSceneParamsDlg(wxWindow* parent, SceneParamFields& fields)
    : CExchangeDialog(parent, IDD_SCENE_PARAMS, Ui(text::kSceneParamsTitle)), m_fields(fields) {
    auto* box = new wxStaticBox(this, wxID_ANY, wxString());
    const wxSize editSize(EditWidth(), -1);
    auto* grid = new wxFlexGridSizer(2, FromDIP(8), FromDIP(12));
    std::map<int, wxWindow*> controls;

    // Created top to bottom, which is also the tab order.
    auto addEdit = [&](int id, const char* label, const wxValidator& validator) {
        grid->Add(new wxStaticText(box, wxID_ANY, Ui(label)), 0, wxALIGN_CENTER_VERTICAL);
        auto* edit = new wxTextCtrl(box, id, wxString(), wxDefaultPosition, editSize);
        edit->SetValidator(validator);
        grid->Add(edit, 0, wxALIGN_CENTER_VERTICAL);
        controls[id] = edit;
    };
    addEdit(IDC_RAY_COUNT, text::kRayCountLabel, CNumericValidator(&m_fields.rayCount, 10, 1000));
    addEdit(IDC_GROUP_TIME, text::kGroupTimeLabel,
            CNumericValidator(&m_fields.groupTime, 1.0, 100.0));
    addEdit(IDC_PASS_LIMIT, text::kPassLimitLabel,
            CNumericValidator(&m_fields.passAbsorptionLimit, 0.0, kInfiniteCoefficient));
    addEdit(IDC_MEDIUM_ABSORPTION, text::kMediumAbsorptionLabel,
            CNumericValidator(&m_fields.mediumAbsorption, 0.0, kInfiniteCoefficient));
    addEdit(IDC_STOP_TIME, text::kStopTimeLabel,
            CNumericValidator(&m_fields.stopTime, 10.0, 10000.0));
    addEdit(IDC_STOP_AMPLITUDE, text::kStopAmplitudeLabel,
            CNumericValidator(&m_fields.stopAmplitude, 0.0, 1.0));

    auto* checks = new wxBoxSizer(wxVERTICAL);
    auto addCheck = [&](int id, const char* label, bool* value) {
        auto* check = new wxCheckBox(box, id, Ui(label));
        check->SetValidator(wxGenericValidator(value));
        checks->Add(check, 0, wxTOP, FromDIP(8));
        controls[id] = check;
    };
    addCheck(IDC_NO_REFLECTION, text::kNoReflectionLabel, &m_fields.noReflection);
    addCheck(IDC_NO_TRANSMISSION, text::kNoTransmissionLabel, &m_fields.noTransmission);
    addCheck(IDC_NORMALIZE, text::kNormalizeLabel, &m_fields.normalize);

    for (int id :
         {IDC_PASS_LIMIT, IDC_STOP_AMPLITUDE, IDC_GROUP_TIME, IDC_NO_TRANSMISSION,
          IDC_NO_REFLECTION, IDC_NORMALIZE, IDC_RAY_COUNT, IDC_MEDIUM_ABSORPTION, IDC_STOP_TIME}) {
        AddExchange(controls.at(id));
    }

    auto* content = new wxBoxSizer(wxVERTICAL);
    content->Add(grid, 0, wxEXPAND);
    content->Add(checks, 0, wxTOP, FromDIP(4));
    LayOut(content, box);
    LoadFields();
}

} // namespace sonivera
