#include "core/model/Listener.h"

#include "core/model/Canvas.h"
#include "core/model/ObjectKind.h"
#include "core/model/PixelMath.h"
#include "core/model/PropertiesPort.h"

namespace sonivera {

bool CListener::EditProperties(PropertiesPort& port) {
    port.ShowNoProperties();
    return false;
}

int CListener::GetKind() const {
    return OBJ_LISTENER;
}

bool CListener::HitTest(double x, double y, double scale) const {
    return DistanceTo(x, y) < 10.0 / scale;
}

void CListener::Draw(Canvas& dc, double scale) {
    CSceneObject::Draw(dc, scale);
    const int px = ToPixel(scale, m_drawX);
    const int py = ToPixel(scale, m_drawY);
    SelectOutlinePen(dc);
    dc.SelectWhiteBrush();
    dc.Ellipse(px - 10, py - 10, px + 10, py + 10);
    dc.SelectStockBlackPen();
}

} // namespace sonivera
