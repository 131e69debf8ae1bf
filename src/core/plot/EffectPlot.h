#pragma once

#include "core/plot/PlotPort.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sonivera {

struct EffectFigures;

// What to draw: the bins of an effect and the grouping width they were computed with.
struct EffectPlotInput {
    std::span<const double> bins;
    double groupTime = 0.0; // ms
    bool db = false;        // echogram in dB relative to the peak energy instead of bin values
    std::optional<std::size_t> highlight; // a bin to mark and read out at the top
};

// The plot's frame: the data area in pixels and the value ranges it shows.
struct PlotFrame {
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0; // pixels
    double xMin = 0.0, xMax = 1.0;                            // ms
    double yMin = 0.0, yMax = 1.0;                            // bin value, or dB
    double figuresX = 0.0;    // left edge of the figures (column on the right, or block below)
    double figuresY = 0.0;    // top of the figures
    bool showFigures = false;
    bool figuresBelow = false; // in two columns under the plot, for a narrow tall pane

    double XToPixel(double ms) const;
    double YToPixel(double value) const;
};

// The lowest level of the dB echogram; quieter bins and the decay curve below it sit on the axis.
constexpr double kPlotFloorDb = -60.0;

// The frame for a plot of `width` × `height` pixels: margins for the tick labels, a column for the
// figures on the right when there is room for it, else a block of two columns under the plot when
// the plot is tall enough, the time axis from 0 to binCount × g ms, the
// value axis from 0 (or the lowest bin, if negative) to a tick at or above the peak, or from
// kPlotFloorDb to 0 dB.
PlotFrame LayoutEffectPlot(const EffectPlotInput& input, double width, double height);

// The bin under the pixel (x, y), if it lies in the data area and on a bin.
std::optional<std::size_t> BinAtPixel(const PlotFrame& frame, const EffectPlotInput& input,
                                      double x, double y);

// Draws the whole plot: background, grid, bars, the decay curve, axes with ticks and labels, the
// figures column, and the read-out of the highlighted bin. Returns the frame used.
PlotFrame DrawEffectPlot(PlotPort& port, const EffectPlotInput& input, double width,
                         double height);

// The lines of the figures column ("T30: 1.23 с", "C50: н/д" where not available).
std::vector<std::string> FigureLines(const EffectFigures& figures, std::size_t binCount,
                                     double groupTime);

// The read-out of one bin: its delays, value and level in dB relative to the peak energy.
std::string BinReadout(std::span<const double> bins, double groupTime, std::size_t bin);

} // namespace sonivera
