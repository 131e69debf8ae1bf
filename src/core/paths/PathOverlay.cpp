#include "core/paths/PathOverlay.h"

#include "core/model/Canvas.h"
#include "core/model/PixelMath.h"
#include "core/paths/ColorMap.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace sonivera {

namespace {

// The range of levels, below the strongest path, over which the opacity fades.
constexpr double kFadeDecibels = 30.0;
constexpr double kMinOpacity = 0.1;
// How much of its opacity a path outside the highlighted bin keeps.
constexpr double kDimmed = 0.15;

// Squared distance from (px, py) to the segment a–b.
double SegmentDistance2(double px, double py, double ax, double ay, double bx, double by) {
    const double vx = bx - ax;
    const double vy = by - ay;
    const double len2 = vx * vx + vy * vy;
    double t = len2 > 0.0 ? ((px - ax) * vx + (py - ay) * vy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double dx = ax + t * vx - px;
    const double dy = ay + t * vy - py;
    return dx * dx + dy * dy;
}

} // namespace

void PathOverlay::SetPaths(std::vector<EchoPath> paths) {
    m_paths = std::move(paths);
    m_latest = 0.0;
    m_strongest = 0.0;
    for (const EchoPath& p : m_paths) {
        m_latest = std::max(m_latest, p.delay);
        m_strongest = std::max(m_strongest, p.amplitude);
    }
    m_bin = -1;
    m_hovered = -1;
}

void PathOverlay::Clear() {
    SetPaths({});
}

double PathOverlay::Opacity(int index) const {
    const double amplitude = m_paths[static_cast<std::size_t>(index)].amplitude;
    double opacity = 1.0;
    if (m_strongest > 0.0 && amplitude > 0.0) {
        const double level = 20.0 * std::log10(amplitude / m_strongest); // ≤ 0
        opacity = kMinOpacity + (1.0 - kMinOpacity) * std::max(0.0, 1.0 + level / kFadeDecibels);
    } else {
        opacity = kMinOpacity;
    }
    if (index == m_hovered) {
        return 1.0;
    }
    if (m_bin >= 0) {
        return m_paths[static_cast<std::size_t>(index)].bin == m_bin ? 1.0 : opacity * kDimmed;
    }
    return opacity;
}

bool PathOverlay::Emphasised(int index) const {
    return index == m_hovered ||
           (m_bin >= 0 && m_paths[static_cast<std::size_t>(index)].bin == m_bin);
}

RgbColor PathOverlay::ColorOf(int index) const {
    const double delay = m_paths[static_cast<std::size_t>(index)].delay;
    const double t = m_latest > 0.0 ? delay / m_latest : 0.0;
    return OverWhite(Viridis(t), Opacity(index));
}

int PathOverlay::WidthOf(int index) const {
    return Emphasised(index) ? kEmphasisWidth : kWidth;
}

std::vector<int> PathOverlay::DrawOrder() const {
    std::vector<int> order(m_paths.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        const bool ea = Emphasised(a);
        const bool eb = Emphasised(b);
        if (ea != eb) {
            return eb; // emphasised last
        }
        if (a == m_hovered || b == m_hovered) {
            return b == m_hovered;
        }
        return RanksBefore(m_paths[static_cast<std::size_t>(b)],
                           m_paths[static_cast<std::size_t>(a)]); // weaker first
    });
    return order;
}

void PathOverlay::Draw(Canvas& dc, int pixelsPerMetre) const {
    const double scale = pixelsPerMetre;
    for (int index : DrawOrder()) {
        const EchoPath& path = m_paths[static_cast<std::size_t>(index)];
        if (path.points.size() < 2) {
            continue;
        }
        dc.SelectSolidPen(WidthOf(index), ColorOf(index));
        dc.MoveTo(ToPixel(scale, path.points[0].x), ToPixel(scale, path.points[0].y));
        for (std::size_t k = 1; k < path.points.size(); ++k) {
            dc.LineTo(ToPixel(scale, path.points[k].x), ToPixel(scale, path.points[k].y));
        }
    }
    dc.SelectStockBlackPen();
}

void PathOverlay::DrawLegend(Canvas& dc, PixelPoint at) const {
    for (int x = 0; x < kLegendWidth; ++x) {
        dc.SelectSolidPen(1, Viridis(static_cast<double>(x) / (kLegendWidth - 1)));
        dc.MoveTo(at.x + x, at.y);
        dc.LineTo(at.x + x, at.y + kLegendHeight);
    }
    dc.SelectStockBlackPen();
}

int PathOverlay::PathAt(PixelPoint logical, int pixelsPerMetre) const {
    const double scale = pixelsPerMetre;
    const double px = logical.x;
    const double py = logical.y;
    const double limit = static_cast<double>(kHoverTolerance) * kHoverTolerance;
    const std::vector<int> order = DrawOrder();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const EchoPath& path = m_paths[static_cast<std::size_t>(*it)];
        for (std::size_t k = 1; k < path.points.size(); ++k) {
            const double d2 = SegmentDistance2(
                px, py, ToPixel(scale, path.points[k - 1].x), ToPixel(scale, path.points[k - 1].y),
                ToPixel(scale, path.points[k].x), ToPixel(scale, path.points[k].y));
            if (d2 <= limit) {
                return *it;
            }
        }
    }
    return -1;
}

PixelPoint LegendCorner(const std::vector<PixelPoint>& marks, PixelSize client, PixelSize box,
                        int margin) {
    const int right = client.cx - box.cx - margin;
    const int bottom = client.cy - box.cy - margin;
    // In the order of preference: top-right, top-left, bottom-right, bottom-left.
    const PixelPoint corners[] = {
        {right, margin}, {margin, margin}, {right, bottom}, {margin, bottom}};
    PixelPoint best = corners[0];
    std::size_t fewest = static_cast<std::size_t>(-1);
    for (const PixelPoint& c : corners) {
        const auto covered = static_cast<std::size_t>(
            std::count_if(marks.begin(), marks.end(), [&](const PixelPoint& p) {
                return p.x >= c.x && p.x < c.x + box.cx && p.y >= c.y && p.y < c.y + box.cy;
            }));
        if (covered < fewest) {
            fewest = covered;
            best = c;
        }
    }
    return best;
}

} // namespace sonivera
