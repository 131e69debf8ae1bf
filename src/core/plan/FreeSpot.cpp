#include "core/plan/FreeSpot.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>

namespace sonivera {

namespace {

constexpr int kCells = 256;

bool Inside(const std::vector<PlanRect>& rects, double x, double y) {
    return std::any_of(rects.begin(), rects.end(), [&](const PlanRect& r) {
        return r.x0 <= x && x <= r.x1 && r.y0 <= y && y <= r.y1;
    });
}

} // namespace

FreeSpot FindFreeSpot(const std::vector<PlanRect>& rects, double width, double height) {
    const double cell = std::max(width, height) / kCells;
    const int nx = std::max(1, static_cast<int>(std::ceil(width / cell)));
    const int ny = std::max(1, static_cast<int>(std::ceil(height / cell)));
    const auto at = [&](int x, int y) { return static_cast<std::size_t>(y) * nx + x; };
    std::vector<char> blocked(static_cast<std::size_t>(nx) * ny, 0);
    for (const PlanRect& r : rects) {
        const int x0 = std::clamp(static_cast<int>(std::floor(r.x0 / cell)), 0, nx - 1);
        const int x1 = std::clamp(static_cast<int>(std::ceil(r.x1 / cell)) - 1, 0, nx - 1);
        const int y0 = std::clamp(static_cast<int>(std::floor(r.y0 / cell)), 0, ny - 1);
        const int y1 = std::clamp(static_cast<int>(std::ceil(r.y1 / cell)) - 1, 0, ny - 1);
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                blocked[at(x, y)] = 1;
            }
        }
    }
    // Regions of free cells: 0 the outside (reached from the border), then the rooms.
    std::vector<int> region(blocked.size(), -1);
    const auto fill = [&](int sx, int sy, int id) {
        std::size_t size = 0;
        std::deque<std::pair<int, int>> queue{{sx, sy}};
        region[at(sx, sy)] = id;
        while (!queue.empty()) {
            const auto [x, y] = queue.front();
            queue.pop_front();
            ++size;
            const int dx[] = {1, -1, 0, 0}, dy[] = {0, 0, 1, -1};
            for (int k = 0; k < 4; ++k) {
                const int u = x + dx[k], v = y + dy[k];
                if (u >= 0 && v >= 0 && u < nx && v < ny && !blocked[at(u, v)] &&
                    region[at(u, v)] < 0) {
                    region[at(u, v)] = id;
                    queue.emplace_back(u, v);
                }
            }
        }
        return size;
    };
    for (int x = 0; x < nx; ++x) {
        for (int y : {0, ny - 1}) {
            if (!blocked[at(x, y)] && region[at(x, y)] < 0) {
                fill(x, y, 0);
            }
        }
    }
    for (int y = 0; y < ny; ++y) {
        for (int x : {0, nx - 1}) {
            if (!blocked[at(x, y)] && region[at(x, y)] < 0) {
                fill(x, y, 0);
            }
        }
    }
    int best = -1;
    std::size_t bestSize = 0;
    int next = 1;
    for (int y = 0; y < ny; ++y) {
        for (int x = 0; x < nx; ++x) {
            if (!blocked[at(x, y)] && region[at(x, y)] < 0) {
                const std::size_t size = fill(x, y, next);
                if (size > bestSize) {
                    bestSize = size;
                    best = next;
                }
                ++next;
            }
        }
    }
    // Distance in cells from everything that is not the chosen region (or from the rectangles).
    const int chosen = best >= 0 ? best : 0;
    std::vector<int> distance(blocked.size(), std::numeric_limits<int>::max());
    std::deque<std::pair<int, int>> queue;
    for (int y = 0; y < ny; ++y) {
        for (int x = 0; x < nx; ++x) {
            const bool other = blocked[at(x, y)] || (best >= 0 && region[at(x, y)] != chosen);
            if (other) {
                distance[at(x, y)] = 0;
                queue.emplace_back(x, y);
            }
        }
    }
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        const int dx[] = {1, -1, 0, 0}, dy[] = {0, 0, 1, -1};
        for (int k = 0; k < 4; ++k) {
            const int u = x + dx[k], v = y + dy[k];
            if (u >= 0 && v >= 0 && u < nx && v < ny &&
                distance[at(u, v)] > distance[at(x, y)] + 1) {
                distance[at(u, v)] = distance[at(x, y)] + 1;
                queue.emplace_back(u, v);
            }
        }
    }
    FreeSpot spot{width / 2.0, height / 2.0, 0.0};
    int far = -1;
    for (int y = 0; y < ny; ++y) {
        for (int x = 0; x < nx; ++x) {
            const double px = (x + 0.5) * cell, py = (y + 0.5) * cell;
            if (!blocked[at(x, y)] && region[at(x, y)] == chosen && distance[at(x, y)] > far &&
                px < width && py < height && !Inside(rects, px, py)) {
                far = distance[at(x, y)];
                spot.x = px;
                spot.y = py;
            }
        }
    }
    if (best >= 0) {
        spot.area = static_cast<double>(bestSize) * cell * cell;
    }
    return spot;
}

} // namespace sonivera
