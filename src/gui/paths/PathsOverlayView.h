#pragma once

#include "core/paths/PathOverlay.h"
#include "core/tracer/EchoPath.h"
#include "core/view/ViewGeometry.h"

#include <cstdint>
#include <vector>

class wxDC;

namespace sonivera {

class C3DView;
class Canvas;
struct SceneSettings;

// The echo paths of the view's last calculation on the plan ("Показать пути" in "&Вид"): keeps
// what the calculation kept, draws it over the scene when shown, names the path under the pointer
// in the status bar's message pane, and highlights the paths of one bin. Editing the scene hides
// the paths until the next calculation; a click on a bar of the effect pane's echogram highlights
// the paths of that bin. Editing is detected thus: the scene's file bytes at the calculation are
// compared with the scene's at every paint (every edit repaints), and the paths are dropped on the
// first difference.
class CPathsOverlayView {
public:
    explicit CPathsOverlayView(C3DView& view) : m_view(view) {}

    // The request a calculation fills in; remembers the scene as it is now.
    EchoPathRequest* PrepareCalculation(const SceneSettings& scene);
    // After the calculation dialog ended: takes the kept paths if a calculation finished.
    void CalculationEnded(const SceneSettings& scene);

    // Whether there are paths to show, and whether they are shown.
    bool Available() const { return !m_overlay.Empty(); }
    bool Shown() const { return m_shown && Available(); }
    void Toggle();

    // Draws the paths and the legend after the scene, when shown. `canvas` has the scene origin
    // at minus the scroll position; the legend goes to the top-right corner of the client area.
    void Paint(wxDC& dc, Canvas& canvas, const SceneSettings* scene, int pixelsPerMetre,
               PixelPoint scroll);
    // Hover: the path under the pointer is drawn on top and described in the message pane.
    void OnMouseMove(PixelPoint window, PixelPoint scroll, int pixelsPerMetre);
    // A click on a shown path highlights the paths of its bin (a click elsewhere changes nothing
    // here); the click then goes on to the editing tool as always.
    void OnClick(PixelPoint window, PixelPoint scroll, int pixelsPerMetre);
    // Esc: clears the highlighted bin and the hovered path; false when there was none.
    bool OnEscape();
    // Highlights the paths of bin `bin` and dims the others (−1: none).
    void HighlightBin(std::int32_t bin);

    const PathOverlay& Overlay() const { return m_overlay; }

private:
    void Repaint();
    void ShowMessage(int index);

    C3DView& m_view;
    PathOverlay m_overlay;
    EchoPathRequest m_request;
    std::vector<std::uint8_t> m_sceneAtCalculation;
    const double* m_effectBefore = nullptr;
    bool m_shown = false;
};

} // namespace sonivera
