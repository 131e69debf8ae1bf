#pragma once

#include "core/view/ViewGeometry.h"

namespace sonivera {

class CSceneObject;

// The pixel rectangle, in the drawing frame, that the object's Draw at this zoom covers,
// widened by its pen. A view that cannot draw outside its paint cycle repaints this area (of the
// old and of the new selection) instead of drawing the objects at once. Runs the object's Draw
// on a measuring canvas, so it also updates the object's draw position, as any Draw does.
PixelRect ObjectPixelBounds(CSceneObject& object, double pixelsPerMetre);

} // namespace sonivera
