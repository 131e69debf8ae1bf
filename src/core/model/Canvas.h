#pragma once

#include "core/model/Colors.h"

namespace sonivera {

// The drawing surface the scene objects and the editor view paint on. Coordinates are integer
// pixels in the view's drawing frame (origin at the scene origin, y downwards).
class Canvas {
public:
    virtual ~Canvas() = default;

    // Creates a solid pen of the given width and colour and selects it; it stays in use until
    // another pen is selected, and is released then.
    virtual void SelectSolidPen(int width, RgbColor color) = 0;
    // Creates a dotted pen of the given width and colour and selects it.
    virtual void SelectDottedPen(int width, RgbColor color) = 0;
    // Selects the stock black pen (1 pixel, solid), releasing the pen selected before.
    virtual void SelectStockBlackPen() = 0;
    // Selects the stock white brush used to fill ellipses.
    virtual void SelectWhiteBrush() = 0;
    virtual void MoveTo(int x, int y) = 0;
    // Draws a line from the current position to (x, y), which becomes the current position.
    virtual void LineTo(int x, int y) = 0;
    // Draws an ellipse inside the bounding box, outlined with the pen and filled with the brush.
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
};

} // namespace sonivera
