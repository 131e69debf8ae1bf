#pragma once

#include "core/analysis/EffectFigures.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonivera {

// What a map knows at one listener position: the check's message where the scene check refuses
// the position (the effect is then not computed), else the effect's figures.
struct MapPointResult {
    bool computed = false;
    std::string check; // the check's message for a refused point
    EffectFigures figures;
};

// What a finished map holds: points the check refused, points computed, and of those the points
// any sound reached (a first arrival). A map with none reached says so instead of looking done.
struct MapCoverage {
    std::size_t refused = 0;
    std::size_t computed = 0;
    std::size_t reached = 0;
};
MapCoverage CoverageOf(const std::vector<MapPointResult>& results);

// The figures a map shows, one colour field each.
enum class MapFigure { Arrival, Edt, T20, T30, C50, C80, D50, CentreTime, Sti };

struct MapFigureInfo {
    MapFigure figure;
    const char* name;    // as --figure takes it and as the CSV and JSON columns start
    const char* label;   // as the legend and the editor show it (UTF-8)
    const char* unit;    // the legend's unit (UTF-8), empty for STI
    const char* csvUnit; // the CSV column's unit suffix ("ms", "s", "db", "pct", "")
};

// Every figure in the order of the CSV columns.
const std::vector<MapFigureInfo>& MapFigures();
const MapFigureInfo& InfoOf(MapFigure figure);
std::optional<MapFigure> MapFigureNamed(std::string_view name);
// The names joined by ", " (for messages).
std::string MapFigureNames();

// The figure's value at a point, in the unit of its info (D50 in %), or none (not computed, or
// not available), and its mark (empty when unmarked).
std::optional<double> MapValue(const MapPointResult& point, MapFigure figure);
FigureMark MapMark(const MapPointResult& point, MapFigure figure);

} // namespace sonivera
