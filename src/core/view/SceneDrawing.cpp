#include "core/view/SceneDrawing.h"

#include "core/model/Canvas.h"
#include "core/model/PixelMath.h"
#include "core/model/SceneSettings.h"

#include <algorithm>
#include <cstdint>

namespace sonivera {

namespace {

// Dot patterns of the platforms repeat within this many pixels, so a line cut to start on a
// multiple of it shows the same dots as the whole line would.
constexpr std::int64_t kDotPhase = 64;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    return -FloorDiv(-a, b);
}

int Saturate(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, -kPixelLimit, kPixelLimit));
}

// The lines k = first..last (k ≥ 1, k ≤ count) of pitch `pitch` that fall within [low, high).
struct LineRange {
    std::int64_t first;
    std::int64_t last;
};

LineRange VisibleLines(std::int64_t count, std::int64_t pitch, int low, int high) {
    // One pixel of slack on each side, for the pen's width.
    return {std::max<std::int64_t>(1, CeilDiv(std::int64_t{low} - 1, pitch)),
            std::min<std::int64_t>(count, FloorDiv(std::int64_t{high}, pitch))};
}

// The part of a line running from 0 to `length` that the visible range [low, high) needs.
struct Span {
    int from;
    int to;
};

Span VisibleSpan(int length, int low, int high) {
    const std::int64_t from =
        FloorDiv(std::max<std::int64_t>(std::int64_t{low} - 1, 0), kDotPhase) * kDotPhase;
    const std::int64_t to = std::min<std::int64_t>(length, std::int64_t{high} + 1);
    return {Saturate(from), Saturate(to)};
}

void DrawGrid(Canvas& dc, const SceneSettings& scene, int pixelsPerMetre, PixelSize extent,
              const PixelRect& visible) {
    const std::int64_t m = GridMultiplier(pixelsPerMetre);
    const std::int64_t pitch = pixelsPerMetre * m;
    const std::int64_t nx = WholeMetres(scene.width) / m;
    const std::int64_t ny = WholeMetres(scene.height) / m;

    const Span vertical = VisibleSpan(extent.cy, visible.top, visible.bottom);
    if (vertical.from < vertical.to) {
        const LineRange xs = VisibleLines(nx, pitch, visible.left, visible.right);
        for (std::int64_t k = xs.first; k <= xs.last; ++k) {
            const int x = Saturate(k * pitch);
            dc.MoveTo(x, vertical.from);
            dc.LineTo(x, vertical.to);
        }
    }
    const Span horizontal = VisibleSpan(extent.cx, visible.left, visible.right);
    if (horizontal.from < horizontal.to) {
        const LineRange ys = VisibleLines(ny, pitch, visible.top, visible.bottom);
        for (std::int64_t k = ys.first; k <= ys.last; ++k) {
            const int y = Saturate(k * pitch);
            dc.MoveTo(horizontal.from, y);
            dc.LineTo(horizontal.to, y);
        }
    }
}

} // namespace

void DrawScene(Canvas& dc, SceneSettings& scene, int pixelsPerMetre, const PixelRect& visible) {
    const PixelSize extent = ScenePixelExtent(scene, pixelsPerMetre);
    dc.SelectDottedPen(1, kGridColor);
    DrawGrid(dc, scene, pixelsPerMetre, extent, visible);
    for (const auto& object : scene.objects) {
        object->Draw(dc, static_cast<double>(pixelsPerMetre));
    }
    dc.SelectStockBlackPen();
    dc.MoveTo(0, 0);
    dc.LineTo(extent.cx, 0);
    dc.LineTo(extent.cx, extent.cy);
    dc.LineTo(0, extent.cy);
    dc.LineTo(0, 0);
}

} // namespace sonivera
