#pragma once

#include "gui/calc/GaugeProgress.h"

#include <wx/dialog.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

class wxButton;
class wxGauge;
class wxStaticText;

namespace sonivera {

struct EchoPathRequest;
struct SceneSettings;

// Control ids of the effect calculation dialog (134).
enum EffectCalcControl : int {
    IDC_CALCULATE = 1011,
    IDC_PROGRESS = 1012,
    IDC_SAVE_EFFECT = 1013,
};

// The effect calculation dialog "Рассчёт эффекта": "Рассчитать эффект" computes the scene's effect
// with the progress shown on the bar and, once a few percent are done, an estimate of the time
// remaining under it; "Сохранить..." writes it to an effect file, "Закрыть" (also Enter and Esc)
// ends the dialog. During a calculation Esc stops it and "Закрыть" stops it and then closes the
// dialog: the scene keeps its previous effect, the bar returns to 0 and a line says it stopped. The
// calculation runs on a worker thread while this thread keeps the dialog responsive; the dialog's
// other commands are refused meanwhile. The effect is kept in the scene record; the dialog owns
// nothing. No close box: the caption carries no system menu. The rate of the response the editor
// keeps beside the bins, and the most samples it keeps (2^24: about 350 s at that rate, 128 MiB).
constexpr int kEditorResponseRate = 48000;
constexpr std::int64_t kEditorMaxResponseSamples = std::int64_t{1} << 24;

class CEffectCalcDlg : public wxDialog {
public:
    CEffectCalcDlg(wxWindow* owner, SceneSettings& scene);

    // Back to the state of a fresh opening: save disabled, bar at 0 of 0..100.
    void Reset();
    // Runs one calculation, as the calculate button does, and returns when it has ended; false
    // when the scene's parameters were refused (reported in an "Ошибка" box) or the calculation
    // was stopped; the previous effect is kept then.
    bool Calculate();
    // Asks a running calculation to stop, as Esc and "Закрыть" do during one.
    void RequestStop();
    // Whether the last calculation ended because it was stopped, and how long after the request.
    bool WasStopped() const { return m_bStopped; }
    double StopLatencySeconds() const { return m_stopLatency; }
    // The estimate under the bar (empty when there is none).
    wxString RemainingText() const;
    // Called after each calculation that produced an effect.
    void SetCalculatedHandler(std::function<void()> handler) {
        m_onCalculated = std::move(handler);
    }
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
    // The memory the kept paths may take (0: the machine's budget). Should they need more, the
    // effect is calculated without them and a message says so.
    void SetMemoryBudget(std::uint64_t bytes) { m_memoryBudget = bytes; }

    int ShowModal() override;

private:
    void OnCalculate(wxCommandEvent& event);
    void OnSave(wxCommandEvent& event);
    void OnClose(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    // Handles the input that arrived during a calculation while it is still refused.
    void DiscardQueuedInput();
    void ShowRemaining(double elapsedSeconds, int position);

    SceneSettings& m_scene;
    wxButton* m_pCalculate = nullptr;
    wxButton* m_pSave = nullptr;
    wxButton* m_pClose = nullptr;
    wxGauge* m_pProgress = nullptr;
    wxStaticText* m_pRemaining = nullptr;
    bool m_bCalculating = false;
    bool m_bStopped = false;
    bool m_bPathsDropped = false; // the last calculation kept no paths for want of memory
    std::uint64_t m_memoryBudget = 0;
    bool m_bCloseAfterStop = false; // "Закрыть" during a calculation
    std::atomic<bool> m_stop{false};
    std::chrono::steady_clock::time_point m_stopRequestedAt;
    double m_stopLatency = 0.0;
    std::function<void()> m_onCalculated;
    CGaugeProgress::Observer m_progressObserver;
    EchoPathRequest* m_pPaths = nullptr;

    wxDECLARE_EVENT_TABLE();
};

// The calculation command's dialog: shows a CEffectCalcDlg on the scene, owned by and centred
// over `owner` (the main window), and destroys it when it ends. `onCalculated` (may be empty) runs
// after each calculation that produced an effect. Each calculation keeps its echo paths in `paths`
// when given. With `startAtOnce` the calculation starts as soon as the dialog shows (the map's
// double-click), as if "Рассчитать эффект" had been pressed.
// Returns whether the last calculation in the dialog was stopped.
bool RunEffectCalculation(wxWindow* owner, SceneSettings& scene,
                          std::function<void()> onCalculated = {}, EchoPathRequest* paths = nullptr,
                          bool startAtOnce = false);

} // namespace sonivera
