#include "gui/model/SceneSizeDlg.h"

#include "gui/app/CommandIds.h"
#include "gui/app/Strings.h"
#include "gui/model/NumericValidator.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valgen.h>

namespace sonivera {

CSceneSizeDlg::CSceneSizeDlg(wxWindow* parent, SceneSizeFields& fields)
    : CExchangeDialog(parent, IDD_SCENE_SIZE, Ui(text::kSceneSizeTitle)), m_fields(fields) {
    auto* box = new wxStaticBox(this, wxID_ANY, wxString());
    const wxSize editSize(EditWidth(), -1);
    auto* grid = new wxFlexGridSizer(2, FromDIP(6), FromDIP(12));
    auto addField = [&](int id, const char* label, int* value, int min, int max) {
        grid->Add(new wxStaticText(box, wxID_ANY, Ui(label)), 0, wxALIGN_CENTER_VERTICAL);
        auto* edit = new wxTextCtrl(box, id, wxString(), wxDefaultPosition, editSize);
        edit->SetValidator(CNumericValidator(value, min, max));
        grid->Add(edit, 0);
        AddExchange(edit);
    };
    addField(IDC_SCENE_WIDTH, text::kSceneWidthLabel, &m_fields.width, kMinSize, kMaxSize);
    addField(IDC_SCENE_HEIGHT, text::kSceneHeightLabel, &m_fields.height, kMinSize, kMaxSize);
    addField(IDC_GRID_X, text::kGridXLabel, &m_fields.gridX, kMinGrid, kMaxGrid);
    addField(IDC_GRID_Y, text::kGridYLabel, &m_fields.gridY, kMinGrid, kMaxGrid);

    auto* snap = new wxCheckBox(box, IDC_SNAP_TO_GRID, Ui(text::kSnapLabel));
    snap->SetValidator(wxGenericValidator(&m_fields.snapToGrid));
    AddExchange(snap);

    auto* content = new wxBoxSizer(wxVERTICAL);
    content->Add(grid, 0, wxEXPAND);
    content->Add(snap, 0, wxTOP, FromDIP(10));
    LayOut(content, box);
    LoadFields();
}

} // namespace sonivera
