#include "calc/EffectCalcDlg.h"

#include "app/CommandIds.h"
#include "app/MessageBoxes.h"
#include "app/Strings.h"
#include "calc/SaveEffect.h"
#include "model/SceneSettings.h"
#include "tracer/ComputeEffect.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

#include <algorithm>
#include <exception>

namespace {

// The larger of a control's natural size and its size in the dialog template (dialog units).
wxSize TemplateSize(wxWindow* control, wxWindow* dialog, int width, int height) {
    const wxSize wanted = dialog->ConvertDialogToPixels(wxSize(width, height));
    const wxSize best = control->GetBestSize();
    return wxSize(std::max(wanted.x, best.x), std::max(wanted.y, best.y));
}

} // namespace

CEffectCalcDlg::CEffectCalcDlg(wxWindow* owner, SceneSettings& scene)
    : wxDialog(owner, IDD_CALC_EFFECT, Ui(text::kCalcTitle), wxDefaultPosition, wxDefaultSize,
               wxCAPTION),
      m_scene(scene) {
    auto* group = new wxStaticBox(this, wxID_ANY, wxString());
    m_pCalculate = new wxButton(group, IDC_CALCULATE, Ui(text::kCalculateButton));
    m_pSave = new wxButton(group, IDC_SAVE_EFFECT, Ui(text::kSaveEffectButton));
    m_pProgress = new wxGauge(group, IDC_PROGRESS, 100, wxDefaultPosition, wxDefaultSize,
                              wxGA_HORIZONTAL | wxGA_SMOOTH);
    m_pClose = new wxButton(this, wxID_OK, Ui(text::kCloseButton));

    // Sizes and spacing of the template, in dialog units.
    const auto dluX = [this](int units) { return ConvertDialogToPixels(wxSize(units, 0)).x; };
    m_pCalculate->SetMinSize(TemplateSize(m_pCalculate, this, 80, 14));
    m_pSave->SetMinSize(TemplateSize(m_pSave, this, 75, 14));
    m_pClose->SetMinSize(TemplateSize(m_pClose, this, 50, 14));
    const int rowWidth = m_pCalculate->GetMinSize().x + dluX(10) + m_pSave->GetMinSize().x;
    m_pProgress->SetMinSize(
        wxSize(std::max(rowWidth, dluX(165)), ConvertDialogToPixels(wxSize(0, 10)).y));

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(m_pCalculate, 0);
    row->AddStretchSpacer(1);
    row->AddSpacer(dluX(10));
    row->Add(m_pSave, 0);
    auto* inGroup = new wxStaticBoxSizer(group, wxVERTICAL);
    inGroup->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, dluX(10));
    inGroup->Add(m_pProgress, 0, wxEXPAND | wxALL, dluX(10));

    auto* all = new wxBoxSizer(wxVERTICAL);
    all->Add(inGroup, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, dluX(5));
    all->Add(m_pClose, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, dluX(10));
    SetSizerAndFit(all);

    m_pClose->SetDefault();
    SetAffirmativeId(wxID_OK);
    SetEscapeId(wxID_CANCEL);
    Reset();
}

void CEffectCalcDlg::Reset() {
    m_pSave->Disable();
    m_pProgress->SetRange(100);
    m_pProgress->SetValue(0);
}

int CEffectCalcDlg::ShowModal() {
    Reset();
    m_pClose->SetFocus();
    return wxDialog::ShowModal();
}

bool CEffectCalcDlg::Calculate() {
    if (m_bCalculating) {
        return false;
    }
    m_bCalculating = true;
    wxString refusal;
    {
        CGaugeProgress progress(*m_pProgress, m_progressObserver);
        try {
            EffectOptions options;
            options.paths = m_pPaths;
            ComputeEffect(m_scene, &progress, options);
        } catch (const EffectParameterError& error) {
            refusal = Ui(error.what());
        } catch (const std::exception& error) {
            refusal = Ui(error.what());
        }
    }
    DiscardQueuedInput();
    m_bCalculating = false;
    m_pProgress->SetValue(0);
    if (!refusal.empty()) {
        ShowError(this, refusal);
        return false;
    }
    m_pSave->Enable();
    return true;
}

bool CEffectCalcDlg::Save() {
    return !m_bCalculating && SaveEffect(this, m_scene);
}

void CEffectCalcDlg::DiscardQueuedInput() {
    // The clicks and keys that arrived while the bar was being painted were held back; let them
    // through now, while m_bCalculating still makes every handler of this dialog ignore them.
    wxTheApp->Yield(true);
}

void CEffectCalcDlg::OnCalculate(wxCommandEvent&) {
    Calculate();
}

void CEffectCalcDlg::OnSave(wxCommandEvent&) {
    Save();
}

void CEffectCalcDlg::OnClose(wxCommandEvent&) {
    if (!m_bCalculating) {
        EndDialog(wxID_OK);
    }
}

void CEffectCalcDlg::OnCharHook(wxKeyEvent& event) {
    if (m_bCalculating) {
        return;
    }
    if (event.GetKeyCode() == WXK_ESCAPE) {
        EndDialog(wxID_CANCEL);
        return;
    }
    event.Skip();
}

void CEffectCalcDlg::OnCloseWindow(wxCloseEvent& event) {
    if (m_bCalculating) {
        event.Veto();
        return;
    }
    EndDialog(wxID_CANCEL);
}

void RunEffectCalculation(wxWindow* owner, SceneSettings& scene, EchoPathRequest* paths) {
    CEffectCalcDlg dialog(owner, scene);
    dialog.SetPathRequest(paths);
    dialog.CentreOnParent();
    dialog.ShowModal();
}

// clang-format off
wxBEGIN_EVENT_TABLE(CEffectCalcDlg, wxDialog)
    EVT_BUTTON(IDC_CALCULATE, CEffectCalcDlg::OnCalculate)
    EVT_BUTTON(IDC_SAVE_EFFECT, CEffectCalcDlg::OnSave)
    EVT_BUTTON(wxID_OK, CEffectCalcDlg::OnClose)
    EVT_CHAR_HOOK(CEffectCalcDlg::OnCharHook)
    EVT_CLOSE(CEffectCalcDlg::OnCloseWindow)
wxEND_EVENT_TABLE()
    // clang-format on
