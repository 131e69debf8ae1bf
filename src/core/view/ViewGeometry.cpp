#include "core/view/ViewGeometry.h"

#include "core/model/GridSnap.h"
#include "core/model/PixelMath.h"
#include "core/model/SceneSettings.h"

#include <algorithm>
#include <cmath>

namespace sonivera {

namespace {

int SaturatedProduct(std::int64_t metres, int pixelsPerMetre) {
    const std::int64_t product = metres * pixelsPerMetre;
    return static_cast<int>(std::clamp<std::int64_t>(product, -kPixelLimit, kPixelLimit));
}

// A 0 step stands for a tenth of the larger quantity it belongs to.
int OrTenthOf(int step, int whole) {
    return step == 0 ? whole / 10 : step;
}

} // namespace

std::int64_t WholeMetres(double side) {
    if (!(side >= 1.0)) {
        return 0; // also NaN
    }
    return static_cast<std::int64_t>(std::trunc(std::min(side, static_cast<double>(kPixelLimit))));
}

PixelSize ScenePixelExtent(const SceneSettings& scene, int pixelsPerMetre) {
    return {SaturatedProduct(WholeMetres(scene.width), pixelsPerMetre),
            SaturatedProduct(WholeMetres(scene.height), pixelsPerMetre)};
}

ScenePoint WindowToScene(PixelPoint window, PixelPoint scroll, int pixelsPerMetre,
                         const SceneSettings& scene) {
    const std::int64_t sumX = std::int64_t{window.x} + scroll.x;
    const std::int64_t sumY = std::int64_t{window.y} + scroll.y;
    ScenePoint p;
    p.x = static_cast<double>(sumX) / pixelsPerMetre;
    p.y = static_cast<double>(sumY) / pixelsPerMetre;
    p.inside = p.x <= static_cast<double>(WholeMetres(scene.width)) &&
               p.y <= static_cast<double>(WholeMetres(scene.height));
    return p;
}

ScrollSizes ComputeScrollSizes(const SceneSettings& scene, int pixelsPerMetre) {
    ScrollSizes sizes;
    sizes.total = ScenePixelExtent(scene, pixelsPerMetre);
    sizes.page = {OrTenthOf(sizes.total.cx / 8, sizes.total.cx),
                  OrTenthOf(sizes.total.cy / 8, sizes.total.cy)};
    const int line = pixelsPerMetre / 4;
    sizes.line = {OrTenthOf(line, sizes.page.cx), OrTenthOf(line, sizes.page.cy)};
    return sizes;
}

int GridMultiplier(int pixelsPerMetre) {
    int m = 1;
    for (int doublings = 0; doublings < 10; ++doublings) {
        const long long pitch = static_cast<long long>(pixelsPerMetre) * m;
        if (pitch >= 40 && pitch <= 100) {
            break;
        }
        m *= 2;
    }
    return m;
}

void SnapPoint(const SceneSettings& scene, double& x, double& y) {
    if (!scene.snapToGrid) {
        return;
    }
    x = SnapToGrid(x, scene.gridX);
    y = SnapToGrid(y, scene.gridY);
}

void NormaliseSpan(double fixed, double moving, double& origin, double& size) {
    if (moving < fixed) {
        origin = moving;
        size = fixed - moving;
    } else {
        origin = fixed;
        size = moving - fixed;
    }
}

PixelPoint ScrollKeepingPoint(PixelPoint window, PixelPoint scroll, int oldPixelsPerMetre,
                              int newPixelsPerMetre) {
    if (oldPixelsPerMetre <= 0 || newPixelsPerMetre <= 0) {
        return scroll;
    }
    auto axis = [&](int w, int s) {
        // The logical pixel under the pointer, scaled to the new zoom and rounded to nearest.
        const std::int64_t logical = std::int64_t{w} + s;
        const std::int64_t scaled =
            (logical * newPixelsPerMetre * 2 + oldPixelsPerMetre) / (2 * oldPixelsPerMetre);
        const std::int64_t position = scaled - w;
        return static_cast<int>(std::clamp<std::int64_t>(position, 0, INT32_MAX));
    };
    return {axis(window.x, scroll.x), axis(window.y, scroll.y)};
}

PixelSize VisibleClientSize(PixelSize outer, PixelSize extent, PixelSize bars) {
    bool horizontal = extent.cx > outer.cx;
    bool vertical = extent.cy > outer.cy;
    // Each bar that shows narrows the other axis; two rounds settle every case.
    for (int round = 0; round < 2; ++round) {
        horizontal = horizontal || extent.cx > outer.cx - (vertical ? bars.cx : 0);
        vertical = vertical || extent.cy > outer.cy - (horizontal ? bars.cy : 0);
    }
    return {std::max(outer.cx - (vertical ? bars.cx : 0), 0),
            std::max(outer.cy - (horizontal ? bars.cy : 0), 0)};
}

} // namespace sonivera
