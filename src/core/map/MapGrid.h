#pragma once

#include "core/model/SceneLayout.h"

#include <cstddef>
#include <vector>

namespace sonivera {

// The most points a map may have (a 1000 m scene at 1 m steps).
constexpr std::size_t kMaxMapPoints = 1000000;

// The listener positions of a map: the centres of the cells of a grid over the scene, stepX by
// stepY metres, row by row from the top-left (index = row · columns + column). A scene side that
// is not a whole number of steps keeps its whole cells only; a step longer than a side is refused.
struct MapGrid {
    double width = 0.0;
    double height = 0.0;
    double stepX = 1.0;
    double stepY = 1.0;
    std::size_t columns = 0;
    std::size_t rows = 0;

    std::size_t Count() const { return columns * rows; }
    double X(std::size_t column) const;
    double Y(std::size_t row) const;
    double PointX(std::size_t index) const { return X(index % columns); }
    double PointY(std::size_t index) const { return Y(index / columns); }
    friend bool operator==(const MapGrid&, const MapGrid&) = default;
};

// How many points a grid of these steps over this layout would have, as a double (it may be far
// beyond any integer type); the steps must be finite and above 0.
double MapPointCount(const SceneLayout& layout, double stepX, double stepY);

// The grid over a scene of this layout. Throws std::invalid_argument (with a message for the
// user) for a step that is not a finite number above 0, a step longer than the scene's side, or a
// grid of more than kMaxMapPoints.
MapGrid MakeMapGrid(const SceneLayout& layout, double stepX, double stepY);

// The points of shard k of n (0 ≤ k < n): every n-th point from point k, so every shard gets its
// fair share of the plan's cheap and expensive points (neighbours cost about the same and go to
// different shards).
std::vector<std::size_t> ShardPoints(const MapGrid& grid, std::size_t k, std::size_t n);

// The order in which an editor fills a map in: every 16th point of every 16th row first, then the
// points of every 8th, 4th and 2nd, then the rest, so a coarse picture of the whole plan appears
// early. Each index appears once.
std::vector<std::size_t> CoarseFirstOrder(const MapGrid& grid);

// The coarsest level the point at (column, row) belongs to: 16 when its column and row are both
// multiples of 16, else 8, 4, 2 likewise, else 1. Until the finer points arrive, a point of level
// L stands for the L × L cells centred on it (see StandIn in MapPicture.h).
std::size_t CoarseLevel(std::size_t column, std::size_t row);

} // namespace sonivera
