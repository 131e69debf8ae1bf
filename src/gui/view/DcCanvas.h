#pragma once

#include "core/model/Canvas.h"
#include "core/view/ViewGeometry.h"

#include <wx/gdicmn.h>

class wxDC;

namespace sonivera {

// The drawing surface of the editor view over a wxDC: pens, the white brush, move-to, line-to and
// ellipses in integer pixels, with anti-aliasing off so every pixel has exactly the pen's colour.
// Drawing-frame coordinates (origin at the scene origin) are shifted by `offset` (minus the
// scroll position) into the DC's pixels. A coordinate far outside any window is pulled in to a
// bound the toolkit can draw without overflow; the only shapes that reach that far are
// horizontal and vertical lines, which keep their direction.
class CDcCanvas : public Canvas {
public:
    // The farthest a coordinate goes from the DC's origin.
    static constexpr int kFarthestPixel = 1 << 22;

    CDcCanvas(wxDC& dc, PixelPoint offset);
    ~CDcCanvas() override;

    CDcCanvas(const CDcCanvas&) = delete;
    CDcCanvas& operator=(const CDcCanvas&) = delete;

    void SelectSolidPen(int width, RgbColor color) override;
    void SelectDottedPen(int width, RgbColor color) override;
    void SelectStockBlackPen() override;
    void SelectWhiteBrush() override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Ellipse(int left, int top, int right, int bottom) override;

private:
    wxPoint ToDevice(int x, int y) const;

    wxDC& m_dc;
    PixelPoint m_offset;
    wxPoint m_current;
    int m_previousAntialias = -1; // the graphics context's mode before, restored at the end
};

} // namespace sonivera
