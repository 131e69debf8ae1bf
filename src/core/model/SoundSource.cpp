#include "core/model/SoundSource.h"

#include "core/files/BinaryArchive.h"
#include "core/model/Canvas.h"
#include "core/model/ObjectKind.h"
#include "core/model/PixelMath.h"
#include "core/model/PropertiesPort.h"

namespace sonivera {

bool CSoundSource::EditProperties(PropertiesPort& port) {
    double percent = m_power * 100.0;
    if (!port.EditSourcePower(percent)) {
        return false;
    }
    m_power = percent * 0.01;
    return true;
}

int CSoundSource::GetKind() const {
    return OBJ_SOURCE;
}

bool CSoundSource::HitTest(double x, double y, double scale) const {
    return DistanceTo(x, y) < 17.0 / scale;
}

void CSoundSource::Draw(Canvas& dc, double scale) {
    CSceneObject::Draw(dc, scale);
    const int px = ToPixel(scale, m_drawX);
    const int py = ToPixel(scale, m_drawY);
    SelectOutlinePen(dc);
    dc.MoveTo(px - 7, py - 7);
    dc.LineTo(px - 7, py + 7);
    dc.LineTo(px + 7, py + 7);
    dc.LineTo(px + 17, py + 17);
    dc.LineTo(px + 17, py - 17);
    dc.LineTo(px + 7, py - 7);
    dc.LineTo(px - 7, py - 7);
    dc.MoveTo(px + 7, py - 7);
    dc.LineTo(px + 7, py + 7);
    dc.SelectStockBlackPen();
}

} // namespace sonivera
