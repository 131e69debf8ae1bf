#pragma once

#include "calc/GaugeProgress.h"

#include <wx/dialog.h>

class wxButton;
class wxGauge;
struct EchoPathRequest;
struct SceneSettings;

// Control ids of the effect calculation dialog (134).
enum EffectCalcControl : int {
    IDC_CALCULATE = 1011,
    IDC_PROGRESS = 1012,
    IDC_SAVE_EFFECT = 1013,
};

// The effect calculation dialog "Рассчёт эффекта": "Рассчитать эффект" computes the scene's effect
// on the user-interface thread with the progress shown on the bar, "Сохранить..." writes it to an
// effect file, "Закрыть" (also Enter and Esc) ends the dialog. The effect is kept in the scene
// record; the dialog owns nothing. No close box: the caption carries no system menu.
class CEffectCalcDlg : public wxDialog {
public:
    CEffectCalcDlg(wxWindow* owner, SceneSettings& scene);

    // Back to the state of a fresh opening: save disabled, bar at 0 of 0..100.
    void Reset();
    // Runs one calculation, as the calculate button does; false when the scene's parameters were
    // refused (reported in an "Ошибка" box; the previous effect is kept).
    bool Calculate();
    // Saves the effect, as the save button does; true when a file was written.
    bool Save();
    // Whether a calculation is running (the dialog then takes no input).
    bool IsCalculating() const { return m_bCalculating; }

    // Lets an observer see every position the bar shows during a calculation.
    void SetProgressObserver(CGaugeProgress::Observer observer) {
        m_progressObserver = std::move(observer);
    }

    // Keeps the strongest echo paths of each calculation in `request` (none: no paths).
    void SetPathRequest(EchoPathRequest* request) { m_pPaths = request; }

    int ShowModal() override;

private:
    void OnCalculate(wxCommandEvent& event);
    void OnSave(wxCommandEvent& event);
    void OnClose(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    // Handles the input that arrived during a calculation while it is still refused.
    void DiscardQueuedInput();

    SceneSettings& m_scene;
    wxButton* m_pCalculate = nullptr;
    wxButton* m_pSave = nullptr;
    wxButton* m_pClose = nullptr;
    wxGauge* m_pProgress = nullptr;
    bool m_bCalculating = false;
    CGaugeProgress::Observer m_progressObserver;
    EchoPathRequest* m_pPaths = nullptr;

    wxDECLARE_EVENT_TABLE();
};

// The calculation command's dialog: shows a CEffectCalcDlg on the scene, owned by and centred
// over `owner` (the main window), and destroys it when it ends. Each calculation keeps its echo
// paths in `paths` when given.
void RunEffectCalculation(wxWindow* owner, SceneSettings& scene, EchoPathRequest* paths = nullptr);
