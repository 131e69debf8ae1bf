#pragma once

#include "core/analysis/EffectFigures.h"
#include "core/plot/PlotPort.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sonivera {

// What to draw: the bins of an effect and the grouping width they were computed with.
struct EffectPlotInput {
    std::span<const double> bins;
    double groupTime = 0.0; // ms
    bool db = false;        // echogram in dB relative to the peak energy instead of bin values
    std::optional<std::size_t> highlight; // a bin to mark and read out at the top
    OnsetRule onset;                      // time zero of the decay curve and the figures
    bool wholeStopTime = false; // the time axis to the end of the last bin, not to the content
};

// The plot's frame: the data area in pixels and the value ranges it shows.
struct PlotFrame {
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0; // pixels
    double xMin = 0.0, xMax = 1.0;                           // ms
    double yMin = 0.0, yMax = 1.0;                           // bin value, or dB
    double figuresX = 0.0; // left edge of the figures (column on the right, or block below)
    double figuresY = 0.0; // top of the figures
    bool showFigures = false;
    bool figuresBelow = false; // in two columns under the plot, for a narrow tall pane
    double width = 0.0;        // the whole plot's size
    double height = 0.0;

    double XToPixel(double ms) const;
    double YToPixel(double value) const;
};

// The lowest level of the dB echogram; quieter bins and the decay curve below it sit on the axis.
constexpr double kPlotFloorDb = -60.0;

// The frame for a plot of `width` × `height` pixels: margins for the tick labels (and, for bin
// values, for the decay curve's own dB axis on the right), a column for the figures on the right
// when there is room for it, else a block of two columns under the plot when the plot is tall
// enough, the time axis from 0 to the content's end (ContentEndMs) or to binCount × g ms, the
// value axis from 0 (or the lowest bin, if negative) to a tick at or above the peak, or from
// kPlotFloorDb to 0 dB.
PlotFrame LayoutEffectPlot(const EffectPlotInput& input, double width, double height);

// Where the time axis ends when it fits the content: the end of the last bin whose level is above
// kPlotFloorDb relative to the peak bin, plus a tenth of that (at least one bin), within the
// effect's span. The whole span when no bin has energy.
double ContentEndMs(std::span<const double> bins, double groupTime);

// The bin under the pixel (x, y), if it lies in the data area and on a bin.
std::optional<std::size_t> BinAtPixel(const PlotFrame& frame, const EffectPlotInput& input,
                                      double x, double y);

// Draws the whole plot: background, grid, bars, the decay curve, axes with ticks and labels, the
// figures column, and the read-out of the highlighted bin. Returns the frame used.
PlotFrame DrawEffectPlot(PlotPort& port, const EffectPlotInput& input, double width, double height);

// A line of the figures column ("T30: 1.23 с", "C50: н/д" where not available); a marked figure
// is drawn greyed with " *" and its reason is the mark's Russian text.
struct FigureLine {
    std::string text;
    bool marked = false;
    std::string reason;
};
std::vector<FigureLine> FigureLines(const EffectFigures& figures, std::size_t binCount,
                                    double groupTime);

// The figure line under the pixel (x, y), when the frame shows the figures.
std::optional<std::size_t> FigureLineAtPixel(const PlotFrame& frame, std::size_t lineCount,
                                             double x, double y);

// The read-out of one bin: its delays, value and level in dB relative to the peak energy.
std::string BinReadout(std::span<const double> bins, double groupTime, std::size_t bin);

} // namespace sonivera
