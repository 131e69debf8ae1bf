#include "gui/calc/EffectCalcDlg.h"

#include <utility>

#include "core/model/SceneSettings.h"
#include "core/tracer/ComputeEffect.h"
#include "core/tracer/EchoPath.h"
#include "core/tracer/EffectErrors.h"
#include "core/tracer/FineResponse.h"
#include "gui/calc/CalcWorker.h"
#include "gui/calc/SaveEffect.h"
#include "gui/common/CommandIds.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/Strings.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <thread>

namespace sonivera {

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
    m_pRemaining = new wxStaticText(group, wxID_ANY, wxString());

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
    inGroup->Add(m_pProgress, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, dluX(10));
    inGroup->Add(m_pRemaining, 0, wxEXPAND | wxALL, dluX(10));

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
    m_pRemaining->SetLabel(wxString());
}

wxString CEffectCalcDlg::RemainingText() const {
    return m_pRemaining->GetLabel();
}

void CEffectCalcDlg::ShowRemaining(double elapsedSeconds, int position) {
    const auto remaining = RemainingSeconds(elapsedSeconds, position);
    wxString label;
    if (remaining) {
        label = wxString::Format(Ui(text::kRemainingTime), static_cast<int>(std::ceil(*remaining)));
    }
    if (label != m_pRemaining->GetLabel()) {
        m_pRemaining->SetLabel(label);
    }
}

void CEffectCalcDlg::RequestStop() {
    if (m_bCalculating && !m_stop.exchange(true)) {
        m_stopRequestedAt = std::chrono::steady_clock::now();
    }
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
    m_bStopped = false;
    m_stop = false;
    m_stopLatency = 0.0;
    wxString refusal;
    {
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        const auto seconds = [&start] {
            return std::chrono::duration<double>(Clock::now() - start).count();
        };
        CPositionQueue queue;
        EffectOptions options;
        options.cancel = &m_stop;
        options.paths = m_pPaths;
        options.memoryBudget = m_memoryBudget;
        // The response at audio resolution is kept for listening and export when it fits the
        // editor's budget; beyond it they fall back to the bins.
        FineResponseRequest fine;
        fine.rate = kEditorResponseRate;
        const std::int64_t fineLength =
            FineResponseLength(m_scene.params.stopTime, kEditorResponseRate);
        if (fineLength > 0 && fineLength <= kEditorMaxResponseSamples) {
            options.fine = &fine;
        }
        std::exception_ptr failure;
        bool pathsDropped = false;
        std::thread worker([this, &queue, &options, &failure, &pathsDropped] {
            try {
                try {
                    ComputeEffect(m_scene, &queue, options);
                } catch (const EffectMemoryError&) {
                    if (options.paths == nullptr) {
                        throw;
                    }
                    // The echo paths would take more memory than this machine allows: the
                    // effect is calculated without them rather than not at all.
                    options.paths->paths.clear();
                    options.paths = nullptr;
                    pathsDropped = true;
                    ComputeEffect(m_scene, &queue, options);
                }
            } catch (...) {
                failure = std::current_exception();
            }
            queue.Finish();
        });
        // Show every position in order and keep the dialog answering Esc and "Закрыть"; its
        // other commands are refused while m_bCalculating is set.
        CGaugeProgress progress(*m_pProgress, m_progressObserver);
        std::vector<int> positions;
        bool finished = false;
        while (!finished) {
            positions.clear();
            finished = queue.Take(positions, std::chrono::milliseconds(20));
            progress.ShowPositions(positions);
            if (!positions.empty()) {
                ShowRemaining(seconds(), positions.back());
            }
            if (!finished) {
                wxTheApp->Yield(true);
            }
        }
        worker.join();
        m_bPathsDropped = pathsDropped && !failure;
        if (!failure) {
            m_scene.effectResponse = std::move(fine.samples);
            m_scene.effectResponseRate = options.fine != nullptr ? fine.rate : 0;
        }
        if (failure) {
            try {
                std::rethrow_exception(failure);
            } catch (const EffectCancelled&) {
                m_bStopped = true;
                m_stopLatency =
                    std::chrono::duration<double>(Clock::now() - m_stopRequestedAt).count();
            } catch (const std::exception& error) {
                refusal = Ui(error.what());
            }
        }
    }
    DiscardQueuedInput();
    m_bCalculating = false;
    m_pProgress->SetValue(0);
    m_pRemaining->SetLabel(m_bStopped ? Ui(text::kCalculationStopped) : wxString());
    if (!refusal.empty()) {
        ShowError(this, refusal);
        return false;
    }
    if (m_bStopped) {
        if (std::exchange(m_bCloseAfterStop, false) && IsModal()) {
            // "Закрыть" pressed during the calculation: it stopped, now the dialog closes.
            CallAfter([this] {
                if (IsModal()) {
                    EndDialog(wxID_OK);
                }
            });
        }
        return false;
    }
    m_pSave->Enable();
    if (m_bPathsDropped) {
        ShowExclamation(this, Ui(text::kPathsNotKept));
    }
    if (m_onCalculated) {
        m_onCalculated();
    }
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
    if (m_bCalculating) {
        m_bCloseAfterStop = true;
        RequestStop();
        return;
    }
    EndDialog(wxID_OK);
}

void CEffectCalcDlg::OnCharHook(wxKeyEvent& event) {
    if (m_bCalculating) {
        if (event.GetKeyCode() == WXK_ESCAPE) {
            RequestStop();
        }
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
        RequestStop();
        event.Veto();
        return;
    }
    EndDialog(wxID_CANCEL);
}

bool RunEffectCalculation(wxWindow* owner, SceneSettings& scene, std::function<void()> onCalculated,
                          EchoPathRequest* paths, bool startAtOnce) {
    CEffectCalcDlg dialog(owner, scene);
    dialog.SetCalculatedHandler(std::move(onCalculated));
    dialog.SetPathRequest(paths);
    dialog.CentreOnParent();
    if (startAtOnce) {
        dialog.CallAfter([&dialog] { dialog.Calculate(); });
    }
    dialog.ShowModal();
    return dialog.WasStopped();
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

} // namespace sonivera
