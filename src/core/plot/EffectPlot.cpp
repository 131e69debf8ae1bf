#include "core/plot/EffectPlot.h"

#include "core/analysis/EffectFigures.h"
#include "core/plot/PlotTexts.h"
#include "core/plot/PlotTicks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sonivera {

namespace {

constexpr PlotColour kBlack{0, 0, 0};
constexpr PlotColour kWhite{255, 255, 255};
constexpr PlotColour kGrid{225, 225, 225};
constexpr PlotColour kBar{70, 110, 170};
constexpr PlotColour kHighlight{240, 150, 30};
constexpr PlotColour kDecay{200, 30, 30};
constexpr PlotColour kMuted{90, 90, 90};

constexpr double kLeftMargin = 62.0;
constexpr double kTopMargin = 40.0; // the read-out line, then the axis label and legend
constexpr double kBottomMargin = 42.0;
constexpr double kRightMargin = 14.0;
constexpr double kFiguresWidth = 190.0;
constexpr double kMinWidthForFigures = 440.0;
constexpr double kLineHeight = 17.0;
constexpr double kMinHeightForFiguresBelow = 380.0;
constexpr int kFigureRowsBelow = 6; // eleven lines in two columns

std::string Number(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Optional(const std::optional<double>& value, const char* format, const char* unit) {
    if (!value) {
        return plottext::kNotAvailable;
    }
    return Number(format, *value) + (*unit != '\0' ? std::string(" ") + unit : std::string());
}

double PeakValue(std::span<const double> bins) {
    double peak = 0.0;
    for (const double v : bins) {
        peak = std::max(peak, v);
    }
    return peak;
}

double LowestValue(std::span<const double> bins) {
    double lowest = 0.0;
    for (const double v : bins) {
        lowest = std::min(lowest, v);
    }
    return lowest;
}

// A bar's value on the plot's scale: the bin value, or its level in dB held to the floor.
double BarValue(const PlotFrame& frame, const EffectPlotInput& input,
                const std::vector<double>& levels, std::size_t i) {
    if (!input.db) {
        return input.bins[i];
    }
    return std::isfinite(levels[i]) ? std::max(levels[i], frame.yMin) : frame.yMin;
}

void DrawDecayCurve(PlotPort& port, const PlotFrame& frame, const EffectPlotInput& input) {
    const DecayCurve curve = BackwardIntegral(input.bins);
    std::vector<PlotPoint> points;
    for (std::size_t k = 0; k < curve.levels.size(); ++k) {
        const double ms = static_cast<double>(curve.firstBin + k) * input.groupTime;
        const double level = curve.levels[k];
        double value = 0.0;
        if (input.db) {
            value = std::isfinite(level) ? std::max(level, frame.yMin) : frame.yMin;
        } else {
            // The share of the energy still to come, on the scale of the bars' top.
            value = std::isfinite(level) ? std::pow(10.0, level / 10.0) * frame.yMax : 0.0;
        }
        points.push_back({frame.XToPixel(ms), frame.YToPixel(value)});
        if (!std::isfinite(level) || (input.db && level <= frame.yMin)) {
            break; // the rest lies on the axis
        }
    }
    if (points.size() >= 2) {
        port.Polyline(points, kDecay, 2.0);
    }
}

AxisTicks XTicks(const PlotFrame& frame) {
    return NiceTicks(frame.xMin, frame.xMax,
                     std::max(2, static_cast<int>((frame.right - frame.left) / 70.0)));
}

AxisTicks YTicks(const PlotFrame& frame) {
    return NiceTicks(frame.yMin, frame.yMax,
                     std::max(2, static_cast<int>((frame.bottom - frame.top) / 40.0)));
}

void DrawGrid(PlotPort& port, const PlotFrame& frame) {
    for (const double v : XTicks(frame).values) {
        const double x = frame.XToPixel(v);
        port.Line(x, frame.top, x, frame.bottom, kGrid, 1.0);
    }
    for (const double v : YTicks(frame).values) {
        const double y = frame.YToPixel(v);
        port.Line(frame.left, y, frame.right, y, kGrid, 1.0);
    }
}

void DrawTickLabels(PlotPort& port, const PlotFrame& frame, const EffectPlotInput& input) {
    const AxisTicks xTicks = XTicks(frame);
    const AxisTicks yTicks = YTicks(frame);
    port.Line(frame.left, frame.bottom, frame.right, frame.bottom, kBlack, 1.0);
    port.Line(frame.left, frame.top, frame.left, frame.bottom, kBlack, 1.0);
    for (const double v : xTicks.values) {
        const double x = frame.XToPixel(v);
        port.Line(x, frame.bottom, x, frame.bottom + 4.0, kBlack, 1.0);
        port.Text(x, frame.bottom + 6.0, TickLabel(v, xTicks.step), TextAnchorX::Centre,
                  TextAnchorY::Top, kBlack);
    }
    for (const double v : yTicks.values) {
        const double y = frame.YToPixel(v);
        port.Line(frame.left - 4.0, y, frame.left, y, kBlack, 1.0);
        port.Text(frame.left - 6.0, y, TickLabel(v, yTicks.step), TextAnchorX::Right,
                  TextAnchorY::Middle, kBlack);
    }
    port.Text((frame.left + frame.right) / 2.0, frame.bottom + 24.0, plottext::kTimeAxis,
              TextAnchorX::Centre, TextAnchorY::Top, kBlack);
    port.Text(frame.left, frame.top - 6.0, input.db ? plottext::kLevelAxis : plottext::kValueAxis,
              TextAnchorX::Left, TextAnchorY::Bottom, kBlack);
    port.Text(frame.right, frame.top - 6.0, plottext::kDecayLegend, TextAnchorX::Right,
              TextAnchorY::Bottom, kDecay);
}

} // namespace

double PlotFrame::XToPixel(double ms) const {
    return left + (ms - xMin) / (xMax - xMin) * (right - left);
}

double PlotFrame::YToPixel(double value) const {
    return bottom - (value - yMin) / (yMax - yMin) * (bottom - top);
}

PlotFrame LayoutEffectPlot(const EffectPlotInput& input, double width, double height) {
    PlotFrame frame;
    const bool beside = width >= kMinWidthForFigures;
    frame.figuresBelow = !beside && height >= kMinHeightForFiguresBelow;
    frame.showFigures = beside || frame.figuresBelow;
    const double figuresWidth = beside ? kFiguresWidth : 0.0;
    const double figuresHeight = frame.figuresBelow ? kFigureRowsBelow * kLineHeight + 8.0 : 0.0;
    frame.left = kLeftMargin;
    frame.top = kTopMargin;
    frame.right = std::max(frame.left + 1.0, width - kRightMargin - figuresWidth);
    frame.bottom = std::max(frame.top + 1.0, height - kBottomMargin - figuresHeight);
    frame.figuresX = beside ? frame.right + kRightMargin + 8.0 : 8.0;
    frame.figuresY = beside ? frame.top : frame.bottom + kBottomMargin + 4.0;
    frame.xMin = 0.0;
    const double span = static_cast<double>(input.bins.size()) * input.groupTime;
    frame.xMax = span > 0.0 && std::isfinite(span) ? span : 1.0;
    if (input.db) {
        frame.yMin = kPlotFloorDb;
        frame.yMax = 0.0;
    } else {
        const double peak = PeakValue(input.bins);
        const double lowest = LowestValue(input.bins);
        frame.yMin = lowest;
        frame.yMax = peak > 0.0 ? peak : (lowest < 0.0 ? 0.0 : 1.0);
        // Up to the first tick at or above the peak, so the top of the axis is labelled.
        const AxisTicks ticks = NiceTicks(frame.yMin, frame.yMax, 5);
        if (ticks.step > 0.0) {
            frame.yMax = std::ceil(frame.yMax / ticks.step - 1e-9) * ticks.step;
            frame.yMin = std::floor(frame.yMin / ticks.step + 1e-9) * ticks.step;
        }
    }
    return frame;
}

std::optional<std::size_t> BinAtPixel(const PlotFrame& frame, const EffectPlotInput& input,
                                      double x, double y) {
    if (x < frame.left || x >= frame.right || y < frame.top || y > frame.bottom ||
        input.bins.empty()) {
        return std::nullopt;
    }
    const double ms = frame.xMin + (x - frame.left) / (frame.right - frame.left) *
                                       (frame.xMax - frame.xMin);
    const double bin = std::floor(ms / input.groupTime);
    if (!(bin >= 0.0) || bin >= static_cast<double>(input.bins.size())) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(bin);
}

PlotFrame DrawEffectPlot(PlotPort& port, const EffectPlotInput& input, double width,
                         double height) {
    const PlotFrame frame = LayoutEffectPlot(input, width, height);
    port.FillRect(0.0, 0.0, width, height, kWhite);
    if (input.bins.empty() || !(input.groupTime > 0.0)) {
        port.Text(width / 2.0, height / 2.0, plottext::kNoEffect, TextAnchorX::Centre,
                  TextAnchorY::Middle, kMuted);
        return frame;
    }
    DrawGrid(port, frame);

    const std::vector<double> levels = EchogramDb(input.bins);
    const double base = frame.YToPixel(input.db ? frame.yMin : std::max(0.0, frame.yMin));
    for (std::size_t i = 0; i < input.bins.size(); ++i) {
        const double value = BarValue(frame, input, levels, i);
        const double x0 = frame.XToPixel(static_cast<double>(i) * input.groupTime);
        const double x1 = frame.XToPixel(static_cast<double>(i + 1) * input.groupTime);
        const double y = frame.YToPixel(value);
        const double top = std::min(y, base);
        const double barHeight = std::abs(base - y);
        if (barHeight > 0.0) {
            const bool marked = input.highlight && *input.highlight == i;
            // At least a pixel wide, so thousands of bins on a narrow plot stay visible.
            port.FillRect(x0, top, std::max(x1 - x0, 1.0), barHeight,
                          marked ? kHighlight : kBar);
        }
    }
    DrawDecayCurve(port, frame, input);
    DrawTickLabels(port, frame, input);

    if (frame.showFigures) {
        const EffectFigures figures = AnalyzeEffect(input.bins, input.groupTime);
        const auto lines = FigureLines(figures, input.bins.size(), input.groupTime);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            double x = frame.figuresX;
            double row = static_cast<double>(i);
            if (frame.figuresBelow) {
                const std::size_t rows = kFigureRowsBelow;
                x += i < rows ? 0.0 : width / 2.0;
                row = static_cast<double>(i % rows);
            }
            port.Text(x, frame.figuresY + row * kLineHeight, lines[i], TextAnchorX::Left,
                      TextAnchorY::Top, kBlack);
        }
    }
    if (input.highlight && *input.highlight < input.bins.size()) {
        port.Text((frame.left + frame.right) / 2.0, 3.0,
                  BinReadout(input.bins, input.groupTime, *input.highlight), TextAnchorX::Centre,
                  TextAnchorY::Top, kBlack);
    }
    return frame;
}

std::vector<std::string> FigureLines(const EffectFigures& f, std::size_t binCount,
                                     double groupTime) {
    using namespace plottext;
    const std::string ms = std::string(" ") + kMs;
    std::vector<std::string> lines;
    lines.push_back(std::string(kBins) + ": " + std::to_string(binCount));
    lines.push_back(std::string(kGroupTime) + ": " + Number("%g", groupTime) + ms);
    if (f.firstBin) {
        lines.push_back(std::string(kFirstArrival) + ": " + Number("%g", f.firstArrivalMs) + ms);
        lines.push_back(std::string(kPeak) + ": " + Number("%.4g", f.peakValue) + " (" +
                        Number("%g", f.peakMs) + ms + ")");
    } else {
        lines.push_back(std::string(kFirstArrival) + ": " + kNotAvailable);
        lines.push_back(std::string(kPeak) + ": " + kNotAvailable);
    }
    lines.push_back("EDT: " + Optional(f.edtSeconds, "%.2f", kSeconds));
    lines.push_back("T20: " + Optional(f.t20Seconds, "%.2f", kSeconds));
    lines.push_back("T30: " + Optional(f.t30Seconds, "%.2f", kSeconds));
    lines.push_back("C50: " + Optional(f.c50Db, "%.1f", kDb));
    lines.push_back("C80: " + Optional(f.c80Db, "%.1f", kDb));
    lines.push_back("D50: " + (f.d50 ? Number("%.0f", *f.d50 * 100.0) + " %" : kNotAvailable));
    lines.push_back(std::string(kCentreTime) + ": " + Optional(f.centreTimeMs, "%.0f", kMs));
    return lines;
}

std::string BinReadout(std::span<const double> bins, double groupTime, std::size_t bin) {
    using namespace plottext;
    const std::vector<double> levels = EchogramDb(bins);
    const double start = static_cast<double>(bin) * groupTime;
    std::string text = std::string(kBin) + " " + std::to_string(bin) + ": " +
                       Number("%g", start) + "–" + Number("%g", start + groupTime) + " " + kMs +
                       ", " + Number("%.6g", bins[bin]);
    if (std::isfinite(levels[bin])) {
        text += ", " + Number("%.1f", levels[bin]) + " " + kDb;
    }
    return text;
}

} // namespace sonivera
