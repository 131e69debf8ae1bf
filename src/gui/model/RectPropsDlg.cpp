#include "gui/model/RectPropsDlg.h"

#include "gui/app/CommandIds.h"
#include "gui/app/Strings.h"
#include "gui/model/NumericValidator.h"

#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace sonivera {

CRectPropsDlg::CRectPropsDlg(wxWindow* parent, double& absorption, double& reflectionPercent)
    : CExchangeDialog(parent, IDD_RECT_PROPERTIES, Ui(text::kRectPropsTitle)) {
    auto* box = new wxStaticBox(this, wxID_ANY, wxString());
    const wxSize editSize(EditWidth(), -1);
    auto* grid = new wxFlexGridSizer(2, FromDIP(8), FromDIP(12));
    auto addField = [&](int id, const char* label, double* value, double max) {
        grid->Add(new wxStaticText(box, wxID_ANY, Ui(label)), 0, wxALIGN_CENTER_VERTICAL);
        auto* edit = new wxTextCtrl(box, id, wxString(), wxDefaultPosition, editSize);
        edit->SetValidator(CNumericValidator(value, 0.0, max));
        grid->Add(edit, 0, wxALIGN_CENTER_VERTICAL);
        AddExchange(edit);
    };
    addField(IDC_RECT_ABSORPTION, text::kRectAbsorptionLabel, &absorption, kMaxAbsorption);
    addField(IDC_RECT_REFLECTION, text::kRectReflectionLabel, &reflectionPercent, kMaxPercent);

    auto* content = new wxBoxSizer(wxVERTICAL);
    content->Add(grid, 0, wxEXPAND);
    LayOut(content, box);
    LoadFields();
}

} // namespace sonivera
