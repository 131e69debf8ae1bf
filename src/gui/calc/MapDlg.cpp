#include "gui/calc/MapDlg.h"

#include "gui/common/MessageBoxes.h"
#include "gui/common/Strings.h"
#include "gui/model/NumericText.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

namespace sonivera {

namespace {

constexpr double kMinStep = 0.1;
constexpr double kMaxStep = 1000.0;

std::string StepText(double value) {
    std::string text = FormatDoubleField(std::clamp(value, kMinStep, kMaxStep));
    std::replace(text.begin(), text.end(), '.', ','); // as a Russian user writes it
    return text;
}

wxTextCtrl* StepControl(wxWindow* parent, double value) {
    return new wxTextCtrl(parent, wxID_ANY, wxString::FromUTF8(StepText(value)));
}

} // namespace

CMapDlg::CMapDlg(wxWindow* parent, double stepX, double stepY, MapFigure figure)
    : wxDialog(parent, wxID_ANY, Ui(text::kMapDialogTitle)) {
    m_pStepX = StepControl(this, stepX);
    m_pStepY = StepControl(this, stepY);
    m_pFigure = new wxChoice(this, wxID_ANY);
    for (const MapFigureInfo& info : MapFigures()) {
        m_pFigure->Append(Ui(info.label));
        if (info.figure == figure) {
            m_pFigure->SetSelection(static_cast<int>(m_pFigure->GetCount()) - 1);
        }
    }
    auto* grid = new wxFlexGridSizer(2, FromDIP(wxSize(8, 8)));
    grid->Add(new wxStaticText(this, wxID_ANY, Ui(text::kMapStepX)), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_pStepX, 0, wxEXPAND);
    grid->Add(new wxStaticText(this, wxID_ANY, Ui(text::kMapStepY)), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_pStepY, 0, wxEXPAND);
    grid->Add(new wxStaticText(this, wxID_ANY, Ui(text::kMapFigure)), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_pFigure, 0, wxEXPAND);
    auto* all = new wxBoxSizer(wxVERTICAL);
    all->Add(grid, 0, wxALL, FromDIP(12));
    auto* ok = new wxButton(this, wxID_OK, Ui(text::kOk));
    auto* cancel = new wxButton(this, wxID_CANCEL, Ui(text::kCancel));
    ok->SetDefault();
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(ok, 0, wxRIGHT, FromDIP(10));
    buttons->Add(cancel, 0);
    all->Add(buttons, 0, wxALIGN_CENTER | wxALL, FromDIP(10));
    SetSizerAndFit(all);
    Bind(wxEVT_BUTTON, &CMapDlg::OnOk, this, wxID_OK);
}

std::optional<double> CMapDlg::ParseStep(std::string text) {
    if (std::count(text.begin(), text.end(), ',') + std::count(text.begin(), text.end(), '.') > 1) {
        return std::nullopt;
    }
    std::replace(text.begin(), text.end(), ',', '.');
    return CheckDoubleField(text, kMinStep, kMaxStep).value;
}

void CMapDlg::OnOk(wxCommandEvent&) {
    for (wxTextCtrl* field : {m_pStepX, m_pStepY}) {
        if (!ParseStep(field->GetValue().utf8_string())) {
            ShowExclamation(this, Ui(text::kMapStepRefused));
            field->SetFocus();
            field->SelectAll();
            return;
        }
    }
    EndModal(wxID_OK);
}

double CMapDlg::StepX() const {
    return ParseStep(m_pStepX->GetValue().utf8_string()).value_or(kMinStep);
}

double CMapDlg::StepY() const {
    return ParseStep(m_pStepY->GetValue().utf8_string()).value_or(kMinStep);
}

MapFigure CMapDlg::Figure() const {
    const int index = m_pFigure->GetSelection();
    return index >= 0 ? MapFigures()[static_cast<std::size_t>(index)].figure : MapFigure::C50;
}

void CMapDlg::SetSteps(double stepX, double stepY) {
    m_pStepX->SetValue(wxString::FromUTF8(StepText(stepX)));
    m_pStepY->SetValue(wxString::FromUTF8(StepText(stepY)));
}

} // namespace sonivera
