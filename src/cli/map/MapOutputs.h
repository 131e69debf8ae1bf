#pragma once

#include "cli/map/MapFiles.h"
#include "core/map/MapFigure.h"

#include <string>
#include <vector>

namespace sonivera {

struct SceneSettings;

// The files a map is written to: tables and pictures, each by its path.
struct MapOutputPaths {
    std::string csv;
    std::string json;
    std::string picture; // .png or .svg
};

// Refuses (exit 2) a picture path that ends in neither .png nor .svg, before any work.
void CheckMapPicturePathOrFail(const std::string& path);

// The tallest map picture drawn: the largest side of a cairo image.
constexpr double kMaxMapPictureSide = 32767.0;

// Refuses (exit 2), before any work, a picture that would be taller than kMaxMapPictureSide at
// this width (a plan far longer than wide), saying which width would fit.
void CheckMapPictureSizeOrFail(const std::string& path, const MapGrid& grid, int width);

// Builds every asked-for output of the map in memory (the picture of `figure` over the plan of
// `scene`, `width` pixels wide) and writes them together through the safe writer.
void WriteMapOutputsOrFail(const MapTable& table, const SceneSettings& scene, MapFigure figure,
                           int width, const MapOutputPaths& paths);

} // namespace sonivera
