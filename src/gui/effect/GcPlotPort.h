#pragma once

#include "core/plot/PlotPort.h"

class wxGraphicsContext;

namespace sonivera {

// The plot port over the toolkit's graphics context (anti-aliased, fractional coordinates), so
// the pane draws the same layout the command-line tool draws with cairo.
class CGcPlotPort : public PlotPort {
public:
    explicit CGcPlotPort(wxGraphicsContext& gc);

    void FillRect(double x, double y, double width, double height, PlotColour colour) override;
    void Line(double x1, double y1, double x2, double y2, PlotColour colour,
              double width) override;
    void Polyline(std::span<const PlotPoint> points, PlotColour colour, double width) override;
    void Text(double x, double y, const std::string& text, TextAnchorX anchorX,
              TextAnchorY anchorY, PlotColour colour) override;

private:
    wxGraphicsContext& m_gc;
};

} // namespace sonivera
