#pragma once

#include "core/plot/PlotPort.h"

class wxDC;

namespace sonivera {

// The plot port over a plain drawing context, for pictures drawn into the editor view (the map's
// colour field and legend). With `fade` every colour is mixed halfway towards white, so a stale
// picture stays readable but visibly out of date.
class CDcPlotPort : public PlotPort {
public:
    CDcPlotPort(wxDC& dc, bool fade) : m_dc(dc), m_fade(fade) {}
    void FillRect(double x, double y, double width, double height, PlotColour colour) override;
    void Line(double x1, double y1, double x2, double y2, PlotColour colour, double width) override;
    void Polyline(std::span<const PlotPoint> points, PlotColour colour, double width) override;
    void Text(double x, double y, const std::string& text, TextAnchorX anchorX, TextAnchorY anchorY,
              PlotColour colour) override;

private:
    PlotColour Shown(PlotColour colour) const;
    wxDC& m_dc;
    bool m_fade;
};

} // namespace sonivera
