#pragma once

#include "core/map/MapFigure.h"
#include "core/map/MapSession.h"
#include "core/view/ViewGeometry.h"

#include <wx/event.h>
#include <wx/timer.h>

#include <memory>
#include <optional>
#include <string>

class wxDC;

namespace sonivera {

class ViewParts;
struct SceneSettings;

// The acoustic map on the plan ("Рассчитать карту..." in "&Сцена", "Карта" in "&Вид"): computes a
// map in the background (MapSession) while the user goes on editing, polls it ten times a second
// and repaints as the coarse and then the finer points arrive, with the progress and a stop button
// in the status bar. The colour field of one figure is drawn under the objects with its legend;
// the read-out under the pointer gives every figure of the point; once the plan is edited the map
// is drawn faded and says it is out of date, until it is recomputed. New and Open clear it.
class CMapOverlayView : public wxEvtHandler {
public:
    explicit CMapOverlayView(ViewParts& view);
    ~CMapOverlayView() override;

    // Starts a map of the scene with these steps; an error (a refused step or parameter) is
    // returned as its message and nothing starts.
    std::string Start(const SceneSettings& scene, double stepX, double stepY, MapFigure figure);
    void Stop();
    void Clear();

    bool Available() const { return m_session != nullptr; }
    bool Shown() const { return m_shown && Available(); }
    bool Running() const { return m_session && m_session->Running(); }
    void Toggle();
    MapFigure Figure() const { return m_figure; }
    void SetFigure(MapFigure figure);
    // Whether the plan changed since the map was started.
    bool Stale(const SceneSettings* scene) const;
    // Clears the status bar's read-out of a point, if it shows one: after a zoom, a scroll, an
    // edit, hiding the map or another scene it would name values of another place or scene.
    void ForgetReadout();
    // Whether the map as last painted shows another staleness than the scene now has: an edit
    // that repaints only its objects must then repaint the whole map (its grey cast and legend).
    bool StalenessChanged(const SceneSettings* scene) const {
        return Shown() && Stale(scene) != m_paintedStale;
    }
    const MapSession* Session() const { return m_session.get(); }

    // Draws the field under the objects and the legend at the client area's top-left corner, when
    // shown. `scroll` is the scroll position; `client` the client area's size.
    void Paint(wxDC& dc, const SceneSettings* scene, int pixelsPerMetre, PixelPoint scroll,
               PixelSize client);
    // The grid point under a window point, when the map is shown and the point is on it.
    std::optional<std::size_t> PointAt(PixelPoint window, PixelPoint scroll,
                                       int pixelsPerMetre) const;
    // The read-out of the point under the pointer, in the status bar's message pane.
    void OnMouseMove(PixelPoint window, PixelPoint scroll, int pixelsPerMetre);
    // The read-out text of a point: every figure with "*" on a marked one, or the check's message.
    std::string Readout(std::size_t index) const;
    // Polls the session (the timer does this; tests call it directly).
    void Poll();

private:
    void Repaint();
    void ShowProgress();

    ViewParts& m_view;
    std::unique_ptr<MapSession> m_session;
    MapFigure m_figure = MapFigure::C50;
    bool m_shown = false;
    bool m_paintedStale = false;
    bool m_readoutShown = false; // the status bar shows a point's values
    bool m_reportedEnd = false;
    wxTimer m_timer;
};

} // namespace sonivera
