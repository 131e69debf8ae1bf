#include "core/plot/EffectPlot.h"

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
constexpr PlotColour kMarked{150, 150, 150};

constexpr double kLeftMargin = 62.0;
constexpr double kTopMargin = 40.0; // the read-out line, then the axis label and legend
constexpr double kBottomMargin = 42.0;
constexpr double kRightMargin = 14.0;
constexpr double kDecayAxisMargin = 40.0; // the decay curve's dB labels beside bin values
constexpr double kFiguresWidth = 190.0;
constexpr double kMinWidthForFigures = 440.0;
constexpr double kLineHeight = 17.0;
constexpr double kMinHeightForFiguresBelow = 380.0;
constexpr int kFigureRowsBelow = 7; // fourteen lines in two columns
// Below these sizes of the data area the long axis texts give way to short ones or none, so that
// labels never overlap at the smallest plot (200 × 150).
constexpr double kMinWidthForLongTexts = 420.0;
constexpr double kMinHeightForTimeTitle = 60.0;
constexpr double kMinWidthForBothTitles = 160.0;

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

// The decay curve's level as a pixel row: on the value axis in dB mode, else on its own dB axis
// from kPlotFloorDb (bottom) to 0 dB (top) on the right.
double DecayToPixel(const PlotFrame& frame, bool db, double level) {
    const double held = std::isfinite(level) ? std::max(level, kPlotFloorDb) : kPlotFloorDb;
    if (db) {
        return frame.YToPixel(std::max(held, frame.yMin));
    }
    return frame.bottom - (held - kPlotFloorDb) / (0.0 - kPlotFloorDb) * (frame.bottom - frame.top);
}

void DrawDecayCurve(PlotPort& port, const PlotFrame& frame, const EffectPlotInput& input,
                    std::size_t onset) {
    const DecayCurve curve = BackwardIntegral(input.bins, onset);
    std::vector<PlotPoint> points;
    for (std::size_t k = 0; k < curve.levels.size(); ++k) {
        const double ms = static_cast<double>(curve.firstBin + k) * input.groupTime;
        if (ms > frame.xMax) {
            break;
        }
        const double level = curve.levels[k];
        points.push_back({frame.XToPixel(ms), DecayToPixel(frame, input.db, level)});
        if (!std::isfinite(level) || level <= kPlotFloorDb) {
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

AxisTicks DecayTicks(const PlotFrame& frame) {
    return NiceTicks(kPlotFloorDb, 0.0,
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
    if (!input.db) {
        // The decay curve's own axis on the right, in its colour.
        const AxisTicks dTicks = DecayTicks(frame);
        port.Line(frame.right, frame.top, frame.right, frame.bottom, kDecay, 1.0);
        for (const double v : dTicks.values) {
            const double y = DecayToPixel(frame, false, v);
            port.Line(frame.right, y, frame.right + 4.0, y, kDecay, 1.0);
            port.Text(frame.right + 6.0, y, TickLabel(v, dTicks.step), TextAnchorX::Left,
                      TextAnchorY::Middle, kDecay);
        }
    }
    if (frame.bottom - frame.top >= kMinHeightForTimeTitle) {
        port.Text((frame.left + frame.right) / 2.0, frame.bottom + 24.0, plottext::kTimeAxis,
                  TextAnchorX::Centre, TextAnchorY::Top, kBlack);
    }
    const bool roomy = frame.right - frame.left >= kMinWidthForLongTexts;
    const char* valueTitle = input.db ? (roomy ? plottext::kLevelAxis : plottext::kLevelAxisShort)
                                      : plottext::kValueAxis;
    port.Text(frame.left, frame.top - 6.0, valueTitle, TextAnchorX::Left, TextAnchorY::Bottom,
              kBlack);
    // Too narrow for both titles: the decay's shrinks to its unit, or goes in dB mode.
    const bool both = frame.right - frame.left >= kMinWidthForBothTitles;
    const char* decayTitle = !input.db ? (both ? plottext::kDecayAxis : plottext::kDb)
                                       : (roomy ? plottext::kDecayLegend
                                                : (both ? plottext::kDecayLegendShort : nullptr));
    if (decayTitle != nullptr) {
        port.Text(input.db ? frame.right : frame.right + kDecayAxisMargin - 2.0, frame.top - 6.0,
                  decayTitle, TextAnchorX::Right, TextAnchorY::Bottom, kDecay);
    }
}

void DrawOnset(PlotPort& port, const PlotFrame& frame, double onsetMs) {
    if (onsetMs < frame.xMin || onsetMs > frame.xMax) {
        return;
    }
    const double x = frame.XToPixel(onsetMs);
    port.Line(x, frame.top, x, frame.bottom, kMuted, 1.0);
    port.Text(x + 3.0, frame.top + 2.0, plottext::kOnsetMark, TextAnchorX::Left, TextAnchorY::Top,
              kMuted);
}

// Where line i of the figures column is drawn.
PlotPoint FigureLinePosition(const PlotFrame& frame, std::size_t i) {
    double x = frame.figuresX;
    double row = static_cast<double>(i);
    if (frame.figuresBelow) {
        const std::size_t rows = kFigureRowsBelow;
        x += i < rows ? 0.0 : frame.width / 2.0;
        row = static_cast<double>(i % rows);
    }
    return {x, frame.figuresY + row * kLineHeight};
}

} // namespace

double PlotFrame::XToPixel(double ms) const {
    return left + (ms - xMin) / (xMax - xMin) * (right - left);
}

double PlotFrame::YToPixel(double value) const {
    return bottom - (value - yMin) / (yMax - yMin) * (bottom - top);
}

double ContentEndMs(std::span<const double> bins, double groupTime) {
    const double span = static_cast<double>(bins.size()) * groupTime;
    const std::vector<double> levels = EchogramDb(bins);
    std::size_t last = bins.size();
    while (last > 0 && !(levels[last - 1] > kPlotFloorDb)) {
        --last;
    }
    if (last == 0) {
        return span;
    }
    const double end = static_cast<double>(last) * groupTime;
    return std::min(span, end + std::max(groupTime, end / 10.0));
}

PlotFrame LayoutEffectPlot(const EffectPlotInput& input, double width, double height) {
    PlotFrame frame;
    frame.width = width;
    frame.height = height;
    const bool beside = width >= kMinWidthForFigures;
    frame.figuresBelow = !beside && height >= kMinHeightForFiguresBelow;
    frame.showFigures = beside || frame.figuresBelow;
    const double figuresWidth = beside ? kFiguresWidth : 0.0;
    const double figuresHeight = frame.figuresBelow ? kFigureRowsBelow * kLineHeight + 8.0 : 0.0;
    const double rightMargin = input.db ? kRightMargin : kDecayAxisMargin;
    frame.left = kLeftMargin;
    frame.top = kTopMargin;
    frame.right = std::max(frame.left + 1.0, width - rightMargin - figuresWidth);
    frame.bottom = std::max(frame.top + 1.0, height - kBottomMargin - figuresHeight);
    frame.figuresX = beside ? frame.right + rightMargin + 8.0 : 8.0;
    frame.figuresY = beside ? frame.top : frame.bottom + kBottomMargin + 4.0;
    frame.xMin = 0.0;
    const double span = input.wholeStopTime
                            ? static_cast<double>(input.bins.size()) * input.groupTime
                            : ContentEndMs(input.bins, input.groupTime);
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
    const double ms =
        frame.xMin + (x - frame.left) / (frame.right - frame.left) * (frame.xMax - frame.xMin);
    const double bin = std::floor(ms / input.groupTime);
    if (!(bin >= 0.0) || bin >= static_cast<double>(input.bins.size())) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(bin);
}

std::optional<std::size_t> FigureLineAtPixel(const PlotFrame& frame, std::size_t lineCount,
                                             double x, double y) {
    if (!frame.showFigures) {
        return std::nullopt;
    }
    const double columnWidth = frame.figuresBelow ? frame.width / 2.0 : kFiguresWidth;
    for (std::size_t i = 0; i < lineCount; ++i) {
        const PlotPoint p = FigureLinePosition(frame, i);
        if (x >= p.x && x < p.x + columnWidth && y >= p.y && y < p.y + kLineHeight) {
            return i;
        }
    }
    return std::nullopt;
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
        const double start = static_cast<double>(i) * input.groupTime;
        if (start >= frame.xMax) {
            break;
        }
        const double value = BarValue(frame, input, levels, i);
        const double x0 = frame.XToPixel(start);
        const double x1 = frame.XToPixel(std::min(start + input.groupTime, frame.xMax));
        const double y = frame.YToPixel(value);
        const double top = std::min(y, base);
        const double barHeight = std::abs(base - y);
        if (barHeight > 0.0) {
            const bool marked = input.highlight && *input.highlight == i;
            // At least a pixel wide, so thousands of bins on a narrow plot stay visible.
            port.FillRect(x0, top, std::max(x1 - x0, 1.0), barHeight, marked ? kHighlight : kBar);
        }
    }
    const EffectFigures figures = AnalyzeEffect(input.bins, input.groupTime, input.onset);
    if (figures.onsetBin) {
        DrawOnset(port, frame, figures.onsetMs);
        DrawDecayCurve(port, frame, input, *figures.onsetBin);
    }
    DrawTickLabels(port, frame, input);

    if (frame.showFigures) {
        const auto lines = FigureLines(figures, input.bins.size(), input.groupTime);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const PlotPoint p = FigureLinePosition(frame, i);
            port.Text(p.x, p.y, lines[i].text, TextAnchorX::Left, TextAnchorY::Top,
                      lines[i].marked ? kMarked : kBlack);
        }
    }
    if (input.highlight && *input.highlight < input.bins.size()) {
        port.Text((frame.left + frame.right) / 2.0, 3.0,
                  BinReadout(input.bins, input.groupTime, *input.highlight), TextAnchorX::Centre,
                  TextAnchorY::Top, kBlack);
    }
    return frame;
}

std::vector<FigureLine> FigureLines(const EffectFigures& f, std::size_t binCount,
                                    double groupTime) {
    using namespace plottext;
    const std::string ms = std::string(" ") + kMs;
    std::vector<FigureLine> lines;
    const auto plain = [&](std::string text) { lines.push_back({std::move(text), false, {}}); };
    const auto marked = [&](std::string text, const FigureMark& mark, const char* unit) {
        if (mark) {
            lines.push_back({std::move(text) + " *", true, MarkTextRu(mark, unit)});
        } else {
            plain(std::move(text));
        }
    };
    plain(std::string(kBins) + ": " + std::to_string(binCount));
    plain(std::string(kGroupTime) + ": " + Number("%g", groupTime) + ms);
    if (f.firstBin) {
        plain(std::string(kFirstArrival) + ": " + Number("%g", f.firstArrivalMs) + ms);
        plain(std::string(kOnset) + ": " + Number("%g", f.onsetMs) + ms);
        plain(std::string(kPeak) + ": " + Number("%.4g", f.peakValue) + " (" +
              Number("%g", f.peakMs) + ms + ")");
    } else {
        plain(std::string(kFirstArrival) + ": " + kNotAvailable);
        plain(std::string(kOnset) + ": " + kNotAvailable);
        plain(std::string(kPeak) + ": " + kNotAvailable);
    }
    marked("EDT: " + Optional(f.edt.seconds, "%.2f", kSeconds), f.edt.mark, "");
    marked("T20: " + Optional(f.t20.seconds, "%.2f", kSeconds), f.t20.mark, "");
    marked("T30: " + Optional(f.t30.seconds, "%.2f", kSeconds), f.t30.mark, "");
    marked("C50: " + Optional(f.c50Db.value, "%.1f", kDb), f.c50Db.mark, kDb);
    marked("C80: " + Optional(f.c80Db.value, "%.1f", kDb), f.c80Db.mark, kDb);
    marked("D50: " + (f.d50.value ? Number("%.0f", *f.d50.value * 100.0) + " %" : kNotAvailable),
           f.d50.mark, "%");
    plain(std::string(kCentreTime) + ": " + Optional(f.centreTimeMs.value, "%.0f", kMs));
    plain("STI: " + Optional(f.sti, "%.2f", ""));
    const bool anyMarked =
        std::any_of(lines.begin(), lines.end(), [](const FigureLine& l) { return l.marked; });
    if (anyMarked) {
        plain(kMarkedNote);
    }
    return lines;
}

std::string BinReadout(std::span<const double> bins, double groupTime, std::size_t bin) {
    using namespace plottext;
    const std::vector<double> levels = EchogramDb(bins);
    const double start = static_cast<double>(bin) * groupTime;
    std::string text = std::string(kBin) + " " + std::to_string(bin) + ": " + Number("%g", start) +
                       "–" + Number("%g", start + groupTime) + " " + kMs + ", " +
                       Number("%.6g", bins[bin]);
    if (std::isfinite(levels[bin])) {
        text += ", " + Number("%.1f", levels[bin]) + " " + kDb;
    }
    return text;
}

} // namespace sonivera
