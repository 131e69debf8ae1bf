#include "core/map/MapGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <tuple>

namespace sonivera {

namespace {

std::size_t CellsAlong(double side, double step) {
    const double cells = std::floor(side / step);
    return cells < 1.0 ? 1 : static_cast<std::size_t>(cells);
}

} // namespace

double MapGrid::X(std::size_t column) const {
    return (static_cast<double>(column) + 0.5) * stepX;
}

double MapGrid::Y(std::size_t row) const {
    return (static_cast<double>(row) + 0.5) * stepY;
}

double MapPointCount(const SceneLayout& layout, double stepX, double stepY) {
    const double columns = std::max(1.0, std::floor(layout.width / stepX));
    const double rows = std::max(1.0, std::floor(layout.height / stepY));
    return columns * rows;
}

MapGrid MakeMapGrid(const SceneLayout& layout, double stepX, double stepY) {
    for (const double step : {stepX, stepY}) {
        if (!std::isfinite(step) || !(step > 0.0)) {
            throw std::invalid_argument(
                "The map's step must be a finite number of metres above 0.");
        }
    }
    // Whole cells only: a step longer than the scene's side would paint one cell over all of it.
    for (const auto& [step, side, axis] : {std::tuple{stepX, layout.width, "x"},
                                           std::tuple{stepY, layout.height, "y"}}) {
        if (step > side) {
            char text[200];
            std::snprintf(text, sizeof text,
                          "The map's step along %s (%g m) is longer than the scene's side (%g m); "
                          "take a step of at most %g m.",
                          axis, step, side, side);
            throw std::invalid_argument(text);
        }
    }
    MapGrid grid;
    grid.width = layout.width;
    grid.height = layout.height;
    grid.stepX = stepX;
    grid.stepY = stepY;
    const double count = MapPointCount(layout, stepX, stepY);
    if (!(count <= static_cast<double>(kMaxMapPoints))) {
        // The count as a double's digits: it may be far beyond any integer type.
        char text[400];
        std::snprintf(text, sizeof text, "%.0f", count);
        throw std::invalid_argument("A map at this step would have " + std::string(text) +
                                    " points; at most " + std::to_string(kMaxMapPoints) +
                                    " are allowed. Take a larger step.");
    }
    grid.columns = CellsAlong(layout.width, stepX);
    grid.rows = CellsAlong(layout.height, stepY);
    return grid;
}

std::vector<std::size_t> ShardPoints(const MapGrid& grid, std::size_t k, std::size_t n) {
    std::vector<std::size_t> points;
    for (std::size_t i = k; n > 0 && i < grid.Count(); i += n) {
        points.push_back(i);
    }
    return points;
}

std::size_t CoarseLevel(std::size_t column, std::size_t row) {
    for (std::size_t stride = 16; stride > 1; stride /= 2) {
        if (column % stride == 0 && row % stride == 0) {
            return stride;
        }
    }
    return 1;
}

std::vector<std::size_t> CoarseFirstOrder(const MapGrid& grid) {
    std::vector<std::size_t> order;
    order.reserve(grid.Count());
    for (std::size_t stride = 16; stride >= 1; stride /= 2) {
        for (std::size_t row = 0; row < grid.rows; ++row) {
            for (std::size_t column = 0; column < grid.columns; ++column) {
                if (CoarseLevel(column, row) == stride) {
                    order.push_back(row * grid.columns + column);
                }
            }
        }
    }
    return order;
}

} // namespace sonivera
