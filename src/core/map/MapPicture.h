#pragma once

#include "core/map/MapFigure.h"
#include "core/map/MapGrid.h"
#include "core/plot/PlotPort.h"
#include "core/tracer/TraceScene.h"

#include <optional>
#include <string>
#include <vector>

namespace sonivera {

// One figure over the map: a value per grid point (none where the point was refused, not
// computed yet or the figure is not available) and whether it is marked.
struct MapField {
    MapGrid grid;
    MapFigure figure = MapFigure::C50;
    bool difference = false; // values are OTHER − SCENE: a diverging scale centred on 0
    std::vector<std::optional<double>> values;
    std::vector<bool> marked;
    // Points known so far stand for the coarser cells around them (an editor filling in).
    std::vector<bool> known;
};

// The field of `figure` from a map's results (every point known).
MapField FieldOf(const MapGrid& grid, const std::vector<MapPointResult>& results, MapFigure figure);
// OTHER − SCENE where both have a value; marked where either is.
MapField DifferenceOf(const MapGrid& grid, const std::vector<MapPointResult>& scene,
                      const std::vector<MapPointResult>& other, MapFigure figure);

// The colour scale: from `low` to `high` over the values (for a difference, symmetric about 0).
struct MapScale {
    double low = 0.0;
    double high = 1.0;
    bool diverging = false;
    PlotColour ColourOf(double value) const;
};
MapScale ScaleOf(const MapField& field);

// Where the plan lies in the picture: scene metres to pixels.
struct MapView {
    double left = 0.0, top = 0.0; // pixel of the scene's origin
    double pixelsPerMetre = 1.0;
    // The pixels worth drawing (cells wholly outside are skipped); none when right ≤ left.
    double clipLeft = 0.0, clipTop = 0.0, clipRight = 0.0, clipBottom = 0.0;
    double XToPixel(double x) const { return left + x * pixelsPerMetre; }
    double YToPixel(double y) const { return top + y * pixelsPerMetre; }
};

// The colour field: each point's cell filled with its colour (a point not yet known drawn by the
// coarser point that stands for it; a point without value left out, so the background shows).
void DrawMapField(PlotPort& port, const MapView& view, const MapField& field,
                  const MapScale& scale);

// The legend: a vertical colour bar at (x, y) of the given height with ticks, and the figure's
// name and unit above it ("C50, дБ"; "Δ C50, дБ" for a difference).
void DrawMapLegend(PlotPort& port, double x, double y, double height, const MapField& field,
                   const MapScale& scale);

// The grid point whose cell holds the scene point (x, y), if any.
std::optional<std::size_t> MapPointAt(const MapGrid& grid, double x, double y);

// The whole picture the command line writes and the editor shows under the objects: the plan
// fitted into `width` × `height` pixels beside the legend, the field, the rectangles, the sources
// and the listener drawn over it, and a title. Returns the view used.
MapView DrawMapPicture(PlotPort& port, const TraceScene& plan, const MapField& field, double width,
                       double height);

// The picture's height for a width, keeping the plan's proportions.
double MapPictureHeight(const MapGrid& grid, double width);

// While a map fills in coarse points first: the known point whose colour a cell shows, its own
// once known, else the nearest point of the finest coarse level known (CoarseLevel), so each
// coarse point's block is centred on it; nothing while no such point is known.
std::optional<std::size_t> StandIn(const MapGrid& grid, const std::vector<bool>& known,
                                   std::size_t column, std::size_t row);

} // namespace sonivera
