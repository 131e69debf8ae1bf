#pragma once

#include "core/view/ViewGeometry.h"
#include "core/model/Colors.h"

namespace sonivera {

class Canvas;
struct SceneSettings;

// Colour of the dotted ruler grid.
constexpr RgbColor kGridColor = MakeRgb(160, 160, 160);

// Paints the scene on a white background the caller has already erased: the dotted 1-pixel grey
// ruler grid every GridMultiplier(zoom) metres (no line at 0), every object in list order through
// its own Draw, then the solid black border around the whole-metre extent as one closed path.
// The canvas is in the drawing frame (origin at the scene origin); `visible` is the part of that
// frame that can show on screen. Grid lines outside it are not drawn, and each drawn line covers
// only the visible part of its length, starting on a multiple of 64 pixels from the scene edge so
// the dot pattern looks the same as on the whole line. Objects are always all drawn.
void DrawScene(Canvas& dc, SceneSettings& scene, int pixelsPerMetre, const PixelRect& visible);

} // namespace sonivera
