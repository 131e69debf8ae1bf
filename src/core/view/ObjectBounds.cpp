#include "core/view/ObjectBounds.h"

#include "core/model/Canvas.h"
#include "core/model/PixelMath.h"
#include "core/model/SceneObject.h"

#include <algorithm>
#include <cstdint>

namespace sonivera {

namespace {

// A canvas that draws nothing and keeps the bounding box of everything it was asked to draw.
class MeasuringCanvas : public Canvas {
public:
    void SelectSolidPen(int width, RgbColor) override { m_pen = std::max(width, 1); }
    void SelectDottedPen(int width, RgbColor) override { m_pen = std::max(width, 1); }
    void SelectStockBlackPen() override { m_pen = 1; }
    void SelectWhiteBrush() override {}
    void MoveTo(int x, int y) override { m_current = {x, y}; }
    void LineTo(int x, int y) override {
        Cover(m_current.x, m_current.y);
        Cover(x, y);
        m_current = {x, y};
    }
    void Ellipse(int left, int top, int right, int bottom) override {
        Cover(left, top);
        Cover(right, bottom);
    }

    PixelRect Bounds() const {
        if (!m_any) {
            return {};
        }
        return {Clamp(m_left), Clamp(m_top), Clamp(m_right), Clamp(m_bottom)};
    }

private:
    static int Clamp(std::int64_t v) {
        return static_cast<int>(std::clamp<std::int64_t>(v, -kPixelLimit, kPixelLimit));
    }

    // Covers the pixel (x, y) with the pen's width around it, plus one pixel for rounding.
    void Cover(int x, int y) {
        const std::int64_t reach = m_pen / 2 + 1;
        const std::int64_t left = std::int64_t{x} - reach;
        const std::int64_t top = std::int64_t{y} - reach;
        const std::int64_t right = std::int64_t{x} + reach + 1;
        const std::int64_t bottom = std::int64_t{y} + reach + 1;
        if (!m_any) {
            m_left = left;
            m_top = top;
            m_right = right;
            m_bottom = bottom;
            m_any = true;
            return;
        }
        m_left = std::min(m_left, left);
        m_top = std::min(m_top, top);
        m_right = std::max(m_right, right);
        m_bottom = std::max(m_bottom, bottom);
    }

    int m_pen = 1;
    PixelPoint m_current;
    bool m_any = false;
    std::int64_t m_left = 0;
    std::int64_t m_top = 0;
    std::int64_t m_right = 0;
    std::int64_t m_bottom = 0;
};

} // namespace

PixelRect ObjectPixelBounds(CSceneObject& object, double pixelsPerMetre) {
    MeasuringCanvas measure;
    object.Draw(measure, pixelsPerMetre);
    return measure.Bounds();
}

} // namespace sonivera
