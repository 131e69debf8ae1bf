#include "gui/model/SourcePropsDlg.h"

#include "gui/app/CommandIds.h"
#include "gui/app/Strings.h"
#include "gui/model/NumericValidator.h"

#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace sonivera {

CSourcePropsDlg::CSourcePropsDlg(wxWindow* parent, double& powerPercent)
    : CExchangeDialog(parent, IDD_SOURCE_PROPERTIES, Ui(text::kSourcePropsTitle)) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(this, wxID_ANY, Ui(text::kSourcePowerLabel)), 0,
             wxALIGN_CENTER_VERTICAL | wxRIGHT, FromDIP(12));
    auto* edit = new wxTextCtrl(this, IDC_SOURCE_POWER, wxString(), wxDefaultPosition,
                                wxSize(EditWidth(), -1));
    edit->SetValidator(CNumericValidator(&powerPercent, 0.0, kMaxPercent));
    row->Add(edit, 0, wxALIGN_CENTER_VERTICAL);
    AddExchange(edit);

    LayOutPlain(row);
    LoadFields();
}

} // namespace sonivera
