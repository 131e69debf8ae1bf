#include "core/map/MapPicture.h"

#include "core/paths/ColorMap.h"
#include "core/plot/PlotTicks.h"

#include <algorithm>
#include <cmath>

namespace sonivera {

namespace {

constexpr PlotColour kBlack{0, 0, 0};
constexpr PlotColour kWhite{255, 255, 255};
constexpr PlotColour kNoValue{225, 225, 225};
constexpr PlotColour kSource{200, 30, 30};
constexpr double kMargin = 16.0;
constexpr double kTitleHeight = 24.0;
constexpr double kLegendWidth = 110.0;
constexpr double kBarWidth = 18.0;

PlotColour FromRgb(RgbColor c) {
    return {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
            static_cast<std::uint8_t>((c >> 16) & 0xFF)};
}

std::vector<PlotPoint> Circle(double cx, double cy, double r) {
    std::vector<PlotPoint> points;
    for (int i = 0; i <= 24; ++i) {
        const double a = 2.0 * 3.141592653589793 * i / 24.0;
        points.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return points;
}

std::string Title(const MapField& field) {
    const MapFigureInfo& info = InfoOf(field.figure);
    std::string title = std::string(field.difference ? "Δ " : "") + info.label;
    if (*info.unit != '\0') {
        title += std::string(", ") + info.unit;
    }
    return title;
}

} // namespace

MapField FieldOf(const MapGrid& grid, const std::vector<MapPointResult>& results,
                 MapFigure figure) {
    MapField field;
    field.grid = grid;
    field.figure = figure;
    field.values.resize(grid.Count());
    field.marked.assign(grid.Count(), false);
    field.known.assign(grid.Count(), true);
    for (std::size_t i = 0; i < grid.Count() && i < results.size(); ++i) {
        field.values[i] = MapValue(results[i], figure);
        field.marked[i] = static_cast<bool>(MapMark(results[i], figure));
    }
    return field;
}

MapField DifferenceOf(const MapGrid& grid, const std::vector<MapPointResult>& scene,
                      const std::vector<MapPointResult>& other, MapFigure figure) {
    MapField field = FieldOf(grid, scene, figure);
    field.difference = true;
    for (std::size_t i = 0; i < grid.Count(); ++i) {
        const auto a = MapValue(scene[i], figure);
        const auto b = MapValue(other[i], figure);
        field.values[i] = a && b ? std::optional<double>(*b - *a) : std::nullopt;
        field.marked[i] = field.marked[i] || static_cast<bool>(MapMark(other[i], figure));
    }
    return field;
}

PlotColour MapScale::ColourOf(double value) const {
    const double t = (value - low) / (high - low);
    return FromRgb(diverging ? Diverging(t) : Viridis(t));
}

MapScale ScaleOf(const MapField& field) {
    MapScale scale;
    scale.diverging = field.difference;
    bool any = false;
    double low = 0.0, high = 0.0;
    for (std::size_t i = 0; i < field.values.size(); ++i) {
        const auto& v = field.values[i];
        if (v && std::isfinite(*v) && (field.known.empty() || field.known[i])) {
            low = any ? std::min(low, *v) : *v;
            high = any ? std::max(high, *v) : *v;
            any = true;
        }
    }
    if (field.difference) {
        const double a = std::max(std::fabs(low), std::fabs(high));
        low = -a;
        high = a;
    }
    if (!any || !(high > low)) {
        const double centre = any ? low : 0.0;
        low = centre - 1.0;
        high = centre + 1.0;
    }
    scale.low = low;
    scale.high = high;
    return scale;
}

std::optional<std::size_t> StandIn(const MapGrid& g, const std::vector<bool>& known,
                                   std::size_t column, std::size_t row) {
    const std::size_t own = row * g.columns + column;
    if (known[own]) {
        return own;
    }
    // The nearest point of each coarser level: its block is centred on it (the multiple of the
    // stride nearest the cell, or the one before where that lies beyond the grid).
    const auto nearest = [](std::size_t i, std::size_t stride, std::size_t count) {
        std::size_t n = (i + stride / 2) / stride * stride;
        return n >= count ? n - stride : n;
    };
    for (std::size_t stride = 2; stride <= 16; stride *= 2) {
        const std::size_t candidate =
            nearest(row, stride, g.rows) * g.columns + nearest(column, stride, g.columns);
        if (known[candidate]) {
            return candidate;
        }
    }
    return std::nullopt;
}

void DrawMapField(PlotPort& port, const MapView& view, const MapField& field,
                  const MapScale& scale) {
    const MapGrid& g = field.grid;
    for (std::size_t row = 0; row < g.rows; ++row) {
        for (std::size_t column = 0; column < g.columns; ++column) {
            const std::optional<std::size_t> known =
                field.known.empty() ? std::optional<std::size_t>(row * g.columns + column)
                                    : StandIn(g, field.known, column, row);
            if (!known) {
                continue;
            }
            const std::size_t index = *known;
            const auto& value = field.values[index];
            if (view.clipRight > view.clipLeft &&
                (view.XToPixel(static_cast<double>(column + 1) * g.stepX) < view.clipLeft ||
                 view.XToPixel(static_cast<double>(column) * g.stepX) > view.clipRight ||
                 view.YToPixel(static_cast<double>(row + 1) * g.stepY) < view.clipTop ||
                 view.YToPixel(static_cast<double>(row) * g.stepY) > view.clipBottom)) {
                continue;
            }
            // Whole pixels, so neighbouring cells meet without a seam.
            const double x0 = std::round(view.XToPixel(static_cast<double>(column) * g.stepX));
            const double y0 = std::round(view.YToPixel(static_cast<double>(row) * g.stepY));
            const double x1 = std::round(
                view.XToPixel(std::min(g.width, static_cast<double>(column + 1) * g.stepX)));
            const double y1 = std::round(
                view.YToPixel(std::min(g.height, static_cast<double>(row + 1) * g.stepY)));
            port.FillRect(x0, y0, x1 - x0, y1 - y0,
                          value && std::isfinite(*value) ? scale.ColourOf(*value) : kNoValue);
        }
    }
}

void DrawMapLegend(PlotPort& port, double x, double y, double height, const MapField& field,
                   const MapScale& scale) {
    port.Text(x, y - 6.0, Title(field), TextAnchorX::Left, TextAnchorY::Bottom, kBlack);
    const int steps = std::max(2, static_cast<int>(height / 3.0));
    for (int i = 0; i < steps; ++i) {
        const double top = y + height * i / steps;
        const double v = scale.high - (scale.high - scale.low) * (i + 0.5) / steps;
        port.FillRect(x, top, kBarWidth, height / steps + 0.5, scale.ColourOf(v));
    }
    port.Line(x, y, x + kBarWidth, y, kBlack, 1.0);
    port.Line(x, y + height, x + kBarWidth, y + height, kBlack, 1.0);
    port.Line(x, y, x, y + height, kBlack, 1.0);
    port.Line(x + kBarWidth, y, x + kBarWidth, y + height, kBlack, 1.0);
    const AxisTicks ticks =
        NiceTicks(scale.low, scale.high, std::max(2, static_cast<int>(height / 40.0)));
    for (const double v : ticks.values) {
        const double ty = y + (scale.high - v) / (scale.high - scale.low) * height;
        port.Line(x + kBarWidth, ty, x + kBarWidth + 4.0, ty, kBlack, 1.0);
        port.Text(x + kBarWidth + 6.0, ty, TickLabel(v, ticks.step), TextAnchorX::Left,
                  TextAnchorY::Middle, kBlack);
    }
    port.FillRect(x, y + height + 10.0, kBarWidth, 10.0, kNoValue);
    port.Text(x + kBarWidth + 6.0, y + height + 15.0, "н/д", TextAnchorX::Left, TextAnchorY::Middle,
              kBlack);
}

std::optional<std::size_t> MapPointAt(const MapGrid& grid, double x, double y) {
    if (!(x >= 0.0 && y >= 0.0) || grid.Count() == 0) {
        return std::nullopt;
    }
    const double column = std::floor(x / grid.stepX);
    const double row = std::floor(y / grid.stepY);
    if (column >= static_cast<double>(grid.columns) || row >= static_cast<double>(grid.rows)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(row) * grid.columns + static_cast<std::size_t>(column);
}

double MapPictureHeight(const MapGrid& grid, double width) {
    const double plotWidth = std::max(1.0, width - kLegendWidth - 2.0 * kMargin);
    const double ratio = grid.width > 0.0 ? grid.height / grid.width : 1.0;
    return std::max(160.0, std::ceil(plotWidth * ratio + 2.0 * kMargin + kTitleHeight));
}

MapView DrawMapPicture(PlotPort& port, const TraceScene& plan, const MapField& field, double width,
                       double height) {
    port.FillRect(0.0, 0.0, width, height, kWhite);
    const MapGrid& g = field.grid;
    const double plotWidth = std::max(1.0, width - kLegendWidth - 2.0 * kMargin);
    const double plotHeight = std::max(1.0, height - 2.0 * kMargin - kTitleHeight);
    MapView view;
    view.pixelsPerMetre =
        std::min(plotWidth / std::max(g.width, 1e-9), plotHeight / std::max(g.height, 1e-9));
    view.left = kMargin;
    view.top = kMargin + kTitleHeight;
    const MapScale scale = ScaleOf(field);
    DrawMapField(port, view, field, scale);

    // The plan over the field: rectangles, sources, the listener, the border.
    for (std::size_t k = 0; k < plan.RectCount(); ++k) {
        const double x0 = view.XToPixel(plan.left[k]), x1 = view.XToPixel(plan.right[k]);
        const double y0 = view.YToPixel(plan.top[k]), y1 = view.YToPixel(plan.bottom[k]);
        port.FillRect(x0, y0, x1 - x0, y1 - y0, kWhite);
        port.Polyline(std::vector<PlotPoint>{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}},
                      kBlack, 1.0);
    }
    for (std::size_t s = 0; s < plan.sourceX.size(); ++s) {
        const double x = view.XToPixel(plan.sourceX[s]), y = view.YToPixel(plan.sourceY[s]);
        port.Polyline(
            std::vector<PlotPoint>{{x - 6, y + 5}, {x + 6, y + 5}, {x, y - 6}, {x - 6, y + 5}},
            kSource, 2.0);
    }
    if (plan.hasListener) {
        const double x = view.XToPixel(plan.listenerX), y = view.YToPixel(plan.listenerY);
        port.Polyline(Circle(x, y, 6.0), kWhite, 3.0);
        port.Polyline(Circle(x, y, 6.0), kBlack, 1.5);
    }
    const double right = view.XToPixel(g.width), bottom = view.YToPixel(g.height);
    port.Polyline(std::vector<PlotPoint>{{view.left, view.top},
                                         {right, view.top},
                                         {right, bottom},
                                         {view.left, bottom},
                                         {view.left, view.top}},
                  kBlack, 1.0);
    port.Text(kMargin, kMargin, (field.difference ? "Разность: " : "Карта: ") + Title(field),
              TextAnchorX::Left, TextAnchorY::Top, kBlack);
    const double legendTop = view.top + 16.0;
    DrawMapLegend(port, right + 24.0, legendTop,
                  std::max(40.0, std::min(bottom - legendTop - 30.0, 300.0)), field, scale);
    return view;
}

} // namespace sonivera
