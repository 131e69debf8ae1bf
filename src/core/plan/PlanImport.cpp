#include "core/plan/PlanImport.h"

#include "core/calc/SceneCheck.h"
#include "core/model/Listener.h"
#include "core/model/RectObject.h"
#include "core/plan/DxfDrawing.h"
#include "core/plan/DxfError.h"
#include "core/plan/FreeSpot.h"
#include "core/plan/PlanFlatten.h"
#include "core/plan/PlanWalls.h"
#include "core/plan/RectUnion.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sonivera {

namespace {

struct Unit {
    int code;
    const char* name;
    const char* shortName;
    double metres;
};

constexpr Unit kUnits[] = {
    {1, "inches", "in", 0.0254},
    {2, "feet", "ft", 0.3048},
    {3, "miles", "mi", 1609.344},
    {4, "millimetres", "mm", 0.001},
    {5, "centimetres", "cm", 0.01},
    {6, "metres", "m", 1.0},
    {7, "kilometres", "km", 1000.0},
    {8, "microinches", "uin", 2.54e-8},
    {9, "mils", "mil", 2.54e-5},
    {10, "yards", "yd", 0.9144},
    {11, "angstroms", "angstrom", 1e-10},
    {12, "nanometres", "nm", 1e-9},
    {13, "micrometres", "um", 1e-6},
    {14, "decimetres", "dm", 0.1},
    {15, "decametres", "dam", 10.0},
    {16, "hectometres", "hm", 100.0},
    {21, "US survey feet", "us-ft", 1200.0 / 3937.0},
};

// The number with up to `digits` decimals, trailing zeros dropped.
std::string Short(double v, int digits = 3) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", digits, v);
    std::string s = text;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') {
            s.pop_back();
        }
        if (s.back() == '.') {
            s.pop_back();
        }
    }
    return s;
}

// A release name for a $ACADVER code.
std::string VersionName(const std::string& code) {
    static const std::pair<const char*, const char*> kNames[] = {
        {"AC1009", "R12"},   {"AC1012", "R13"},   {"AC1014", "R14"},
        {"AC1015", "R2000"}, {"AC1018", "R2004"}, {"AC1021", "R2007"},
        {"AC1024", "R2010"}, {"AC1027", "R2013"}, {"AC1032", "R2018"}};
    for (const auto& [c, name] : kNames) {
        if (code == c) {
            return std::string(name) + " (" + code + ")";
        }
    }
    return code.empty() ? std::string("no version given") : code;
}

// Scene coordinates on a grid of 2^-20 m: a rectangle's right edge, its x plus its width, is then
// exactly its neighbour's x, so touching rectangles touch for the scene check too.
double Quantized(double v) {
    return std::round(v * 1048576.0) / 1048576.0;
}

double NiceStep(double side) {
    const double target = side / 100.0;
    for (double decade = 0.1; decade < 1e6; decade *= 10.0) {
        for (const double m : {1.0, 2.0, 5.0}) {
            if (m * decade >= target) {
                return m * decade;
            }
        }
    }
    return 1000.0;
}

std::vector<PlanImportReport::Count>
Counts(const std::map<std::pair<std::string, std::uint32_t>, std::size_t>& map,
       const std::vector<std::string>& names) {
    std::vector<PlanImportReport::Count> out;
    for (const auto& [key, count] : map) {
        out.push_back({key.first, names[key.second], count});
    }
    return out;
}

} // namespace

std::optional<double> MetresPerInsUnit(int code) {
    for (const Unit& u : kUnits) {
        if (u.code == code) {
            return u.metres;
        }
    }
    return std::nullopt;
}

const char* InsUnitName(int code) {
    for (const Unit& u : kUnits) {
        if (u.code == code) {
            return u.name;
        }
    }
    return code == 0 ? "unitless" : "a unit without a length";
}

std::optional<double> MetresPerUnitNamed(const std::string& name) {
    for (const Unit& u : kUnits) {
        if (name == u.shortName || name == u.name) {
            return u.metres;
        }
    }
    return std::nullopt;
}

namespace {
constexpr const char* kNotTaken = "on a layer not taken";
}

std::size_t PlanImportReport::LeftCount() const {
    std::size_t n = 0;
    for (const Count& c : left) {
        n += c.what == kNotTaken ? 0 : c.count;
    }
    return n;
}

std::string PlanImportReport::Text() const {
    std::string out = "Drawing: " + version + ", " + (binary ? "binary" : "ASCII") +
                      "; units: " + units + ", 1 unit = " + Short(metresPerUnit, 6) + " m\n";
    out += "Entities: " + std::to_string(entities) + " (those in blocks once per insertion)\n";
    const auto list = [&](const char* title, const std::vector<Count>& counts) {
        out += title;
        out += counts.empty() ? " none\n" : "\n";
        for (const Count& c : counts) {
            out += "  " + std::to_string(c.count) + " × " + c.what + ", layer " + c.layer + "\n";
        }
    };
    list("Taken:", taken);
    list("Left out:", left);
    out += "Scene: " + Short(width, 2) + " × " + Short(height, 2) + " m, grid " + Short(grid) +
           " m, " + std::to_string(rectangles) + " rectangles; listener at (" +
           Short(listenerX, 2) + ", " + Short(listenerY, 2) + ")" +
           (roomArea > 0.0 ? " in the largest room (about " + Short(roomArea, 1) + " m²)"
                           : " (no closed room found)") +
           "\n";
    const std::size_t n = LeftCount();
    out += n == 0 ? "Everything asked for was drawn.\n"
                  : std::to_string(n) + " entit" + (n == 1 ? "y was" : "ies were") +
                        " left out (listed above).\n";
    return out;
}

namespace {

// What the drawing is and how its units were read.
PlanImportReport DrawingReport(const DxfDrawing& drawing, const PlanImportOptions& o) {
    PlanImportReport report;
    report.version = VersionName(drawing.version);
    report.binary = drawing.binary;
    const std::string insunits = std::string(InsUnitName(drawing.insunits)) + " ($INSUNITS " +
                                 std::to_string(drawing.insunits) + ")";
    if (o.metresPerUnit) {
        report.metresPerUnit = *o.metresPerUnit;
        report.units = "as given";
    } else if (const auto m = MetresPerInsUnit(drawing.insunits)) {
        report.metresPerUnit = *m;
        report.units = insunits;
    } else {
        report.units = insunits + ", read as metres";
    }
    return report;
}

std::string Kilometres(double metres) {
    char km[64];
    std::snprintf(km, sizeof km, "%.3g", metres / 1000.0);
    return km;
}

// Where the drawing lies on the scene: its extent with a margin around it, y turned to point
// down, on the grid of Quantized.
struct Placement {
    double minX = 0.0, maxY = 0.0, margin = 0.0, width = 0.0, height = 0.0;

    explicit Placement(const std::vector<PlanRect>& rects) {
        minX = rects[0].x0, maxY = rects[0].y1;
        double maxX = rects[0].x1, minY = rects[0].y0;
        for (const PlanRect& r : rects) {
            minX = std::min(minX, r.x0), maxX = std::max(maxX, r.x1);
            minY = std::min(minY, r.y0), maxY = std::max(maxY, r.y1);
        }
        const double extent = std::max(maxX - minX, maxY - minY);
        if (!(extent <= kMaxPlanExtent)) {
            throw DxfError("the drawing spans " + Kilometres(extent) +
                           " km, more than a scene may (100 km): check its units (--units, "
                           "--scale)");
        }
        margin = std::max(1.0, std::ceil(extent * 0.05));
        width = Quantized(maxX - minX + 2.0 * margin);
        height = Quantized(maxY - minY + 2.0 * margin);
    }

    PlanRect OnScene(const PlanRect& r) const {
        return {Quantized(margin + (r.x0 - minX)), Quantized(margin + (maxY - r.y1)),
                Quantized(margin + (r.x1 - minX)), Quantized(margin + (maxY - r.y0)), r.material};
    }
};

// A drawing larger than a scene may be is refused before its walls are made (the shapes' finite
// points; those beyond any scale are left out by the walls).
void RefuseBeyondExtent(const FlatPlan& flat) {
    double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
    bool any = false;
    for (const FlatShape& shape : flat.shapes) {
        for (const PlanPoint& p : shape.points) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
                continue;
            }
            minX = any ? std::min(minX, p.x) : p.x, maxX = any ? std::max(maxX, p.x) : p.x;
            minY = any ? std::min(minY, p.y) : p.y, maxY = any ? std::max(maxY, p.y) : p.y;
            any = true;
        }
    }
    const double extent = std::max(maxX - minX, maxY - minY);
    if (!(extent <= kMaxPlanExtent)) {
        throw DxfError("the drawing spans " + Kilometres(extent) +
                       " km, more than a scene may (100 km): check its units (--units, --scale)");
    }
}

// The scene: its size and grid, the listener, then the rectangles with their layers' materials.
std::unique_ptr<SceneSettings> BuildScene(const std::vector<PlanRect>& rects, const FreeSpot& spot,
                                          const Placement& place, const DxfDrawing& drawing,
                                          const PlanImportOptions& o) {
    auto scene = std::make_unique<SceneSettings>();
    scene->width = place.width;
    scene->height = place.height;
    scene->gridX = scene->gridY = NiceStep(std::max(place.width, place.height));
    scene->snapToGrid = false;
    CListener* listener = scene->Add<CListener>();
    listener->m_x = Quantized(spot.x);
    listener->m_y = Quantized(spot.y);
    for (const PlanRect& r : rects) {
        CRectObject* rect = scene->Add<CRectObject>();
        rect->m_x = r.x0;
        rect->m_y = r.y0;
        rect->m_width = r.x1 - r.x0;
        rect->m_height = r.y1 - r.y0;
        const auto it = o.layerMaterials.find(drawing.names[r.material]);
        const WallMaterial& m = it != o.layerMaterials.end() ? it->second : o.material;
        rect->m_reflection = m.reflection;
        rect->m_absorption = m.absorption;
    }
    if (const auto finding = FindFirstSceneError(scene->objects)) {
        throw DxfError("the imported plan does not pass the scene check (" + finding->message +
                       "); please report the drawing");
    }
    return scene;
}

} // namespace

PlanImportResult ImportPlan(std::span<const std::uint8_t> dxf, const PlanImportOptions& o) {
    const auto phase = [&](double from, double to) {
        return std::function<bool(double)>(
            [&o, from, to](double f) { return !o.progress || o.progress(from + (to - from) * f); });
    };
    const DxfDrawing drawing = ReadDxfDrawing(dxf, phase(0.0, 0.5));
    PlanImportReport report = DrawingReport(drawing, o);
    const auto taken = [&](std::uint32_t layer) {
        return o.layers.empty() ||
               std::find(o.layers.begin(), o.layers.end(), drawing.names[layer]) != o.layers.end();
    };
    // A curve's chords stray at most half the step from it and their staircase the other half.
    const std::optional<double> chord =
        o.staircase ? std::optional<double>(*o.staircase / 2.0) : std::nullopt;
    const FlatPlan flat =
        FlattenDrawing(drawing, report.metresPerUnit, taken, chord, phase(0.5, 0.7));
    report.entities = flat.entities;
    RefuseBeyondExtent(flat);
    PlanWalls walls = BuildPlanWalls(
        flat, {o.wallThickness, o.maxWallGap, o.maxColumn, o.toleranceDegrees, o.staircase});
    if (!phase(0.8, 0.8)(0.0)) {
        throw DxfCancelled();
    }
    for (const auto& [key, count] : flat.left) {
        walls.left[key] += count;
    }
    report.taken = Counts(walls.taken, drawing.names);
    report.left = Counts(walls.left, drawing.names);
    if (walls.rects.empty()) {
        throw DxfError("nothing in the drawing could be taken as a wall or a column (" +
                       std::to_string(report.LeftCount()) + " entities left out)");
    }
    const Placement place(walls.rects);
    std::vector<PlanRect> placed;
    placed.reserve(walls.rects.size());
    for (const PlanRect& r : walls.rects) {
        placed.push_back(place.OnScene(r));
    }
    const std::vector<PlanRect> rects = UnionOfRects(placed);
    if (!phase(0.9, 0.9)(0.0)) {
        throw DxfCancelled();
    }
    const FreeSpot spot = FindFreeSpot(rects, place.width, place.height);
    PlanImportResult result{BuildScene(rects, spot, place, drawing, o), std::move(report)};
    result.report.rectangles = rects.size();
    result.report.width = place.width;
    result.report.height = place.height;
    result.report.grid = result.scene->gridX;
    result.report.listenerX = result.scene->FirstObject()->m_x;
    result.report.listenerY = result.scene->FirstObject()->m_y;
    result.report.roomArea = spot.area;
    phase(1.0, 1.0)(0.0);
    return result;
}

} // namespace sonivera
