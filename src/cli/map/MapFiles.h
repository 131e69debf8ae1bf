#pragma once

#include "core/map/MapFigure.h"
#include "core/map/MapGrid.h"

#include <string>
#include <vector>

namespace sonivera {

// A map's rows for the files: one per grid point in index order, with its position, its status
// ("ok", or the scene check's message for a refused point) and every figure with its mark.
// For a difference map the values are OTHER − SCENE and a point is "ok" only where both are.
struct MapTable {
    MapGrid grid;
    bool difference = false;
    std::vector<MapPointResult> scene;
    std::vector<MapPointResult> other; // for a difference map
};

// CSV: a header line, then x,y,status and per figure its value and mark columns
// (arrival_ms, onset_ms, edt_s, edt_mark, …, sti). Numbers in their shortest exact form, an
// empty field where there is no value; text fields quoted.
std::string MapCsv(const MapTable& table);

// JSON: the grid (step, columns, rows), whether it is a difference, and the points with the same
// fields as the CSV (null where there is no value).
std::string MapJson(const MapTable& table);

} // namespace sonivera
