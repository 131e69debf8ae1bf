#pragma once

#include "core/model/SceneSettings.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sonivera {

// What a rectangle made from a layer reflects and absorbs (the rectangle's own two values).
struct WallMaterial {
    double reflection = 0.8;
    double absorption = 10.0; // per metre of passage
};

struct PlanImportOptions {
    // Metres per drawing unit; unset: from the drawing's $INSUNITS (unitless drawings are read
    // as metres, and the report says so).
    std::optional<double> metresPerUnit;
    // The layers to take (empty: all); entities on other layers are counted as left out.
    std::vector<std::string> layers;
    double wallThickness = 0.2;    // a wall drawn as one line
    double maxWallGap = 0.6;       // two parallel lines at most this far apart face one wall
    double maxColumn = 2.0;        // a closed outline at most this on each side is filled
    double toleranceDegrees = 0.5; // a line within this of an axis is taken as parallel to it
    // Slanted lines, arcs and circles as chains of small rectangles whose corners stay within
    // this many metres of the line (unset: left out and reported).
    std::optional<double> staircase;
    WallMaterial material; // of every layer not in `layerMaterials`
    std::map<std::string, WallMaterial> layerMaterials;
    // Told the fraction done now and then; returns false to stop (DxfCancelled).
    std::function<bool(double)> progress;
};

// What an import took and left, for the report; every entity read is counted in one of them.
struct PlanImportReport {
    struct Count {
        std::string what;
        std::string layer;
        std::size_t count = 0;
    };
    std::string version; // "R2000 (AC1015)"
    bool binary = false;
    std::string units; // "millimetres ($INSUNITS 4)"
    double metresPerUnit = 1.0;
    std::size_t entities = 0; // read, blocks' contents counted once per insertion
    std::vector<Count> taken;
    std::vector<Count> left;
    std::size_t rectangles = 0;
    double width = 0.0, height = 0.0, grid = 1.0;
    double listenerX = 0.0, listenerY = 0.0;
    double roomArea = 0.0; // of the room the listener stands in (0: no closed room was found)

    // What was left out, less what was on layers not asked for (--layers).
    std::size_t LeftCount() const;
    // The report as the command line prints it (English, one item a line).
    std::string Text() const;
};

struct PlanImportResult {
    std::unique_ptr<SceneSettings> scene;
    PlanImportReport report;
};

// The largest drawing extent taken, in metres (a scene side may not exceed 100 km).
constexpr double kMaxPlanExtent = 100000.0;

// Imports the plan of a DXF drawing (ASCII or binary, R12 to 2018) as a new scene: walls and
// columns as rectangles that do not overlap, the scene's size the drawing's with a margin, the
// listener at a free point inside the largest room, a grid step from the drawing's size. The
// scene passes the scene check. Throws DxfError for a drawing that cannot be read or holds
// nothing to draw, DxfCancelled when `progress` stopped it.
PlanImportResult ImportPlan(std::span<const std::uint8_t> dxf, const PlanImportOptions& options);

// Metres per unit of a $INSUNITS code, and its name; nothing for codes without a length.
std::optional<double> MetresPerInsUnit(int code);
const char* InsUnitName(int code);
// A unit's name as the command line takes it ("mm", "cm", "m", "in", "ft", ...) in metres.
std::optional<double> MetresPerUnitNamed(const std::string& name);

} // namespace sonivera
