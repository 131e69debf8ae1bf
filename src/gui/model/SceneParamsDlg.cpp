#include "gui/model/SceneParamsDlg.h"

#include "core/model/CalcParameterTable.h"
#include "gui/common/CommandIds.h"
#include "gui/common/Strings.h"
#include "gui/model/NumericValidator.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valgen.h>

#include <map>
#include <memory>
#include <string>
#include <type_traits>

namespace sonivera {

namespace {

// The field's validator: a ranged numeric exchange for a number, a check box's for a flag.
std::unique_ptr<wxValidator> ValidatorOf(const CalcField& field, CalcParameters& params) {
    return std::visit(
        [&](auto member) -> std::unique_ptr<wxValidator> {
            auto* value = &(params.*member);
            using Value = std::remove_pointer_t<decltype(value)>;
            if constexpr (std::is_same_v<Value, bool>) {
                return std::make_unique<wxGenericValidator>(value);
            } else {
                return std::make_unique<CNumericValidator>(value,
                                                           static_cast<Value>(field.dialog->min),
                                                           static_cast<Value>(field.dialog->max));
            }
        },
        field.member);
}

} // namespace

CSceneParamsDlg::CSceneParamsDlg(wxWindow* parent, CalcParameters& params)
    : CExchangeDialog(parent, IDD_SCENE_PARAMS, Ui(text::kSceneParamsTitle)), m_params(params) {
    auto* box = new wxStaticBox(this, wxID_ANY, wxString());
    const wxSize editSize(EditWidth(), -1);
    auto* grid = new wxFlexGridSizer(2, FromDIP(8), FromDIP(12));
    std::map<std::string, wxWindow*> controls; // by field name

    // Created top to bottom, which is also the tab order.
    auto addEdit = [&](int id, const char* label, CalcMember member) {
        const CalcField& field = CalcFieldOf(member);
        grid->Add(new wxStaticText(box, wxID_ANY, Ui(label)), 0, wxALIGN_CENTER_VERTICAL);
        auto* edit = new wxTextCtrl(box, id, wxString(), wxDefaultPosition, editSize);
        edit->SetValidator(*ValidatorOf(field, m_params));
        grid->Add(edit, 0, wxALIGN_CENTER_VERTICAL);
        controls[field.name] = edit;
    };
    addEdit(IDC_RAY_COUNT, text::kRayCountLabel, &CalcParameters::rayCount);
    addEdit(IDC_GROUP_TIME, text::kGroupTimeLabel, &CalcParameters::groupTime);
    addEdit(IDC_PASS_LIMIT, text::kPassLimitLabel, &CalcParameters::passAbsorptionLimit);
    addEdit(IDC_MEDIUM_ABSORPTION, text::kMediumAbsorptionLabel, &CalcParameters::mediumAbsorption);
    addEdit(IDC_STOP_TIME, text::kStopTimeLabel, &CalcParameters::stopTime);
    addEdit(IDC_STOP_AMPLITUDE, text::kStopAmplitudeLabel, &CalcParameters::stopAmplitude);

    auto* checks = new wxBoxSizer(wxVERTICAL);
    auto addCheck = [&](int id, const char* label, CalcMember member) {
        const CalcField& field = CalcFieldOf(member);
        auto* check = new wxCheckBox(box, id, Ui(label));
        check->SetValidator(*ValidatorOf(field, m_params));
        checks->Add(check, 0, wxTOP, FromDIP(8));
        controls[field.name] = check;
    };
    addCheck(IDC_NO_REFLECTION, text::kNoReflectionLabel, &CalcParameters::noReflection);
    addCheck(IDC_NO_TRANSMISSION, text::kNoTransmissionLabel, &CalcParameters::noTransmission);
    addCheck(IDC_NORMALIZE, text::kNormalizeLabel, &CalcParameters::normalize);

    // Exchanged (and a wrong entry reported first) in the scene record's order.
    for (const CalcField& field : CalcFields()) {
        AddExchange(controls.at(field.name));
    }

    auto* content = new wxBoxSizer(wxVERTICAL);
    content->Add(grid, 0, wxEXPAND);
    content->Add(checks, 0, wxTOP, FromDIP(4));
    LayOut(content, box);
    LoadFields();
}

} // namespace sonivera
