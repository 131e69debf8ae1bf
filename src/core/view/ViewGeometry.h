#pragma once

#include <cstdint>

namespace sonivera {

struct SceneSettings;

// A point in whole pixels: of the view's client area ("window point") or of the drawing frame,
// whose origin is the scene origin ("logical point").
struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct PixelSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// A pixel rectangle with inclusive left/top and exclusive right/bottom.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A window point converted to scene metres. `inside` tells whether it lies within the scene's
// whole-metre extent; the coordinates are valid either way.
struct ScenePoint {
    double x = 0.0;
    double y = 0.0;
    bool inside = false;
};

// The extent, page step and line step of the scrolling, in pixels, with the substitutions for 0
// already applied (a 0 page step becomes a tenth of the extent, a 0 line step a tenth of the page
// step).
struct ScrollSizes {
    PixelSize total;
    PixelSize page;
    PixelSize line;
    friend bool operator==(const ScrollSizes&, const ScrollSizes&) = default;
};

// The zoom range in pixels per metre, and the zoom a new view starts with.
constexpr int kMinPixelsPerMetre = 1;
constexpr int kMaxPixelsPerMetre = 30;
constexpr int kInitialPixelsPerMetre = 30;

// The whole-metre part of a scene side (fraction cut toward zero), never negative and saturated
// so that multiplying it by a zoom factor stays far inside an int.
std::int64_t WholeMetres(double side);

// The pixel extent of the scene's whole-metre part at the given zoom: ⌊W⌋·s by ⌊H⌋·s, saturated.
PixelSize ScenePixelExtent(const SceneSettings& scene, int pixelsPerMetre);

// Converts a window point to scene metres: the window point plus the scroll position (integer
// sums) divided by the zoom (in double). Inside when x ≤ ⌊W⌋ and y ≤ ⌊H⌋; there is no lower bound,
// so points left of or above the window (during a pointer capture) count as inside.
ScenePoint WindowToScene(PixelPoint window, PixelPoint scroll, int pixelsPerMetre,
                         const SceneSettings& scene);

// The scroll extent (the scene's pixel extent), the page step (extent / 8) and the line step
// (zoom / 4), integer divisions, each 0 replaced as described at ScrollSizes.
ScrollSizes ComputeScrollSizes(const SceneSettings& scene, int pixelsPerMetre);

// The part of a scrolling window left for the picture once its scroll bars take their room.
// `outer` is the window's area without any bar, `extent` what is to be scrolled, `bars.cx` the
// vertical bar's width and `bars.cy` the horizontal bar's height. A bar shows when the extent
// does not fit along its axis in the room the other bar leaves: a horizontal bar can make the
// vertical one needed and the other way round.
PixelSize VisibleClientSize(PixelSize outer, PixelSize extent, PixelSize bars);

// The scroll position that, after a zoom from `oldPixelsPerMetre` to `newPixelsPerMetre`, keeps
// the scene point under the window point `window` under it (to the nearest pixel; the caller
// clamps it into the scroll range).
PixelPoint ScrollKeepingPoint(PixelPoint window, PixelPoint scroll, int oldPixelsPerMetre,
                              int newPixelsPerMetre);

// The ruler grid's spacing in metres: doubled from 1 until the pitch (zoom × spacing) lies within
// 40..100 pixels, at most ten times.
int GridMultiplier(int pixelsPerMetre);

// Snaps a point to the scene's snapping grid while snapping is on; leaves it alone otherwise.
void SnapPoint(const SceneSettings& scene, double& x, double& y);

// Orders two corners of a rectangle along one axis: `origin` takes the smaller, `size` the
// non-negative distance between them.
void NormaliseSpan(double fixed, double moving, double& origin, double& size);

} // namespace sonivera
