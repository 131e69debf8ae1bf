#pragma once

#include <wx/panel.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class wxCheckBox;
class wxSizer;
class wxSpinCtrlDouble;

namespace sonivera {

struct SceneSettings;

// The "Эффект" pane of the main frame: the last calculated effect of the open scene as an
// echogram (bars over time, linear or dB) with its decay curve, the room-acoustic figures, axes,
// and a read-out of the bin under the pointer. It keeps its own copy of the bins, so it never
// points into a scene record that New or Open replaces.
//
// Extension points: SetBinClickHandler is told the bin of a bar the user clicks; ButtonParent()
// and ButtonRow() take extra buttons, which appear in the pane's top row after the dB switch.
class CEffectPane : public wxPanel {
public:
    // The pane's name in the frame's AUI manager.
    static constexpr const char* kPaneName = "Effect";

    explicit CEffectPane(wxWindow* parent);

    // Shows the scene's last calculated effect with the grouping width it was computed with, or
    // nothing when the scene holds none.
    void ShowEffectOf(const SceneSettings& scene);
    void SetEffect(std::vector<double> bins, double groupTime, double stopTime,
                   std::vector<double> response = {}, int responseRate = 0);
    void Clear();

    bool HasEffect() const { return !m_bins.empty(); }
    // Whether the effect holds any sound (a scene without sources, or whose echoes all stay
    // below the stop amplitude, calculates to silence: nothing to listen to or export).
    bool HasSound() const;

    // The effect no longer matches the scene: after an edit (`SceneEdited` compares the scene
    // with the one the effect was calculated for, so undoing back makes it current again) or a
    // stopped recalculation. The plot is then greyed with a line saying why, until the next
    // calculation.
    void SceneEdited(const SceneSettings& scene);
    void CalculationStopped();
    // Why the effect is out of date or empty, as the pane says it (empty when it is current).
    const std::string& Note() const { return m_note; }
    const std::vector<double>& Bins() const { return m_bins; }
    double GroupTime() const { return m_groupTime; }
    double StopTime() const { return m_stopTime; }
    // The same calculation's echoes at their own delays (empty when it kept none), and their rate.
    const std::vector<double>& Response() const { return m_response; }
    int ResponseRate() const { return m_responseRate; }

    // Linear bin values or levels in dB.
    bool IsDb() const;
    void SetDb(bool db);

    // The onset's level trigger in dB below the peak bin (time zero of the curve and figures).
    double OnsetDb() const;
    void SetOnsetDb(double db);

    // The reason shown on hover over a marked figure at (x, y) of the plot window, or empty.
    std::string MarkReasonAt(const wxPoint& position) const;

    // The bin under the pointer (shown highlighted with its read-out), if any.
    std::optional<std::size_t> HoveredBin() const { return m_hovered; }
    // Moves the read-out as a pointer at (x, y) in the plot window would; returns the bin.
    std::optional<std::size_t> PointAt(const wxPoint& position);

    using BinClickHandler = std::function<void(std::size_t bin)>;
    void SetBinClickHandler(BinClickHandler handler) { m_binClick = std::move(handler); }

    // Where extra buttons go: create them with ButtonParent() as their parent and add them to
    // ButtonRow().
    wxWindow* ButtonParent() { return this; }
    wxSizer* ButtonRow() const { return m_pButtonRow; }

    // The window the plot is drawn in (for tests and for pointer events).
    wxWindow* PlotWindow() const { return m_pPlot; }

private:
    void OnPaintPlot(wxPaintEvent& event);
    void OnPlotMotion(wxMouseEvent& event);
    void OnPlotLeave(wxMouseEvent& event);
    void OnPlotClick(wxMouseEvent& event);
    std::optional<std::size_t> BinAt(const wxPoint& position) const;

    std::vector<double> m_bins;
    double m_groupTime = 0.0;
    double m_stopTime = 0.0;
    std::vector<double> m_response;
    std::vector<std::uint8_t> m_sceneAtEffect; // the scene file's bytes the effect was made from
    std::string m_note;
    bool m_stale = false;
    int m_responseRate = 0;
    std::optional<std::size_t> m_hovered;
    BinClickHandler m_binClick;
    wxCheckBox* m_pDb = nullptr;
    wxSpinCtrlDouble* m_pOnset = nullptr;
    wxSizer* m_pButtonRow = nullptr;
    wxWindow* m_pPlot = nullptr;
};

} // namespace sonivera
