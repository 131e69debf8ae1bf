#include "core/plan/FreeSpot.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>

namespace sonivera {

namespace {

constexpr int kCells = 256;

// The plan as square cells: blocked where a rectangle reaches into the cell.
class Raster {
public:
    Raster(const std::vector<PlanRect>& rects, double width, double height)
        : cell(std::max(width, height) / kCells),
          nx(std::max(1, static_cast<int>(std::ceil(width / cell)))),
          ny(std::max(1, static_cast<int>(std::ceil(height / cell)))),
          blocked(static_cast<std::size_t>(nx) * ny, 0), region(blocked.size(), -1) {
        const auto clampX = [&](double v) { return std::clamp(static_cast<int>(v), 0, nx - 1); };
        const auto clampY = [&](double v) { return std::clamp(static_cast<int>(v), 0, ny - 1); };
        for (const PlanRect& r : rects) {
            const int x1 = clampX(std::ceil(r.x1 / cell) - 1),
                      y1 = clampY(std::ceil(r.y1 / cell) - 1);
            for (int y = clampY(std::floor(r.y0 / cell)); y <= y1; ++y) {
                for (int x = clampX(std::floor(r.x0 / cell)); x <= x1; ++x) {
                    blocked[At(x, y)] = 1;
                }
            }
        }
    }

    std::size_t At(int x, int y) const { return static_cast<std::size_t>(y) * nx + x; }
    bool Free(int x, int y) const { return !blocked[At(x, y)]; }

    // Visits the 4-neighbours of (x, y) inside the raster.
    template <class F> void Neighbours(int x, int y, F&& f) const {
        const int dx[] = {1, -1, 0, 0}, dy[] = {0, 0, 1, -1};
        for (int k = 0; k < 4; ++k) {
            const int u = x + dx[k], v = y + dy[k];
            if (u >= 0 && v >= 0 && u < nx && v < ny) {
                f(u, v);
            }
        }
    }

    // Gives the free cells reached from (x, y) the region `id`; returns how many.
    std::size_t Fill(int x, int y, int id) {
        std::size_t size = 0;
        std::deque<std::pair<int, int>> queue{{x, y}};
        region[At(x, y)] = id;
        while (!queue.empty()) {
            const auto [cx, cy] = queue.front();
            queue.pop_front();
            ++size;
            Neighbours(cx, cy, [&](int u, int v) {
                if (Free(u, v) && region[At(u, v)] < 0) {
                    region[At(u, v)] = id;
                    queue.emplace_back(u, v);
                }
            });
        }
        return size;
    }

    // Region 0 is the outside (reached from the border); the rest are rooms. Returns the largest
    // room and its cell count, or -1.
    std::pair<int, std::size_t> Rooms() {
        for (int x = 0; x < nx; ++x) {
            for (int y = 0; y < ny; ++y) {
                const bool border = x == 0 || y == 0 || x == nx - 1 || y == ny - 1;
                if (border && Free(x, y) && region[At(x, y)] < 0) {
                    Fill(x, y, 0);
                }
            }
        }
        std::pair<int, std::size_t> best{-1, 0};
        int next = 1;
        for (int y = 0; y < ny; ++y) {
            for (int x = 0; x < nx; ++x) {
                if (Free(x, y) && region[At(x, y)] < 0) {
                    const std::size_t size = Fill(x, y, next);
                    if (size > best.second) {
                        best = {next, size};
                    }
                    ++next;
                }
            }
        }
        return best;
    }

    // Steps from every cell that is not in `chosen` (or, for -1, from every blocked cell).
    std::vector<int> Distances(int chosen) const {
        std::vector<int> distance(blocked.size(), std::numeric_limits<int>::max());
        std::deque<std::pair<int, int>> queue;
        for (int y = 0; y < ny; ++y) {
            for (int x = 0; x < nx; ++x) {
                if (!Free(x, y) || (chosen >= 0 && region[At(x, y)] != chosen)) {
                    distance[At(x, y)] = 0;
                    queue.emplace_back(x, y);
                }
            }
        }
        while (!queue.empty()) {
            // Plain values: a lambda may not capture a structured binding before C++20's fix.
            const int x = queue.front().first, y = queue.front().second;
            queue.pop_front();
            Neighbours(x, y, [&](int u, int v) {
                if (distance[At(u, v)] > distance[At(x, y)] + 1) {
                    distance[At(u, v)] = distance[At(x, y)] + 1;
                    queue.emplace_back(u, v);
                }
            });
        }
        return distance;
    }

    double cell;
    int nx, ny;
    std::vector<char> blocked;
    std::vector<int> region;
};

bool Inside(const std::vector<PlanRect>& rects, double x, double y) {
    return std::any_of(rects.begin(), rects.end(), [&](const PlanRect& r) {
        return r.x0 <= x && x <= r.x1 && r.y0 <= y && y <= r.y1;
    });
}

} // namespace

FreeSpot FindFreeSpot(const std::vector<PlanRect>& rects, double width, double height) {
    Raster raster(rects, width, height);
    const auto [room, cells] = raster.Rooms();
    const int chosen = room >= 0 ? room : 0;
    const std::vector<int> distance = raster.Distances(room);
    FreeSpot spot{width / 2.0, height / 2.0, 0.0};
    int far = -1;
    for (int y = 0; y < raster.ny; ++y) {
        for (int x = 0; x < raster.nx; ++x) {
            const double px = (x + 0.5) * raster.cell, py = (y + 0.5) * raster.cell;
            if (raster.Free(x, y) && raster.region[raster.At(x, y)] == chosen &&
                distance[raster.At(x, y)] > far && px < width && py < height &&
                !Inside(rects, px, py)) {
                far = distance[raster.At(x, y)];
                spot.x = px;
                spot.y = py;
            }
        }
    }
    if (room >= 0) {
        spot.area = static_cast<double>(cells) * raster.cell * raster.cell;
    }
    return spot;
}

} // namespace sonivera
