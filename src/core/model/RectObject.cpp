#include "core/model/RectObject.h"

#include "core/files/BinaryArchive.h"
#include "core/model/Canvas.h"
#include "core/model/GridSnap.h"
#include "core/model/ObjectKind.h"
#include "core/model/PixelMath.h"
#include "core/model/PropertiesPort.h"
#include "core/model/SceneSettings.h"

#include <cmath>

namespace sonivera {

namespace {

// Crossing of the ray with the horizontal line y = level, inside [left, right].
bool HitHorizontalEdge(const SceneRay& r, double level, double left, double right, double* ti) {
    if (r.dy == 0.0) {
        return false;
    }
    if ((r.dy > 0.0 && r.y0 > level) || (r.dy < 0.0 && r.y0 < level)) {
        return false;
    }
    *ti = std::fabs((r.y0 - level) / r.dy);
    const double xh = r.x0 + *ti * r.dx;
    return left <= xh && xh <= right;
}

// Crossing of the ray with the vertical line x = level, inside [top, bottom].
bool HitVerticalEdge(const SceneRay& r, double level, double top, double bottom, double* ti) {
    if (r.dx == 0.0) {
        return false;
    }
    if ((r.dx > 0.0 && r.x0 > level) || (r.dx < 0.0 && r.x0 < level)) {
        return false;
    }
    *ti = std::fabs((r.x0 - level) / r.dx);
    const double yh = r.y0 + *ti * r.dy;
    return top <= yh && yh <= bottom;
}

} // namespace

bool CRectObject::IntersectRay(SceneRay ray, double* t) const {
    const double right = m_x + m_width;
    const double bottom = m_y + m_height;
    double best = kNoHit;
    bool hit = false;
    double ti = 0.0;
    if (HitHorizontalEdge(ray, m_y, m_x, right, &ti)) {
        hit = true;
        best = ti < best ? ti : best;
    }
    if (HitHorizontalEdge(ray, bottom, m_x, right, &ti)) {
        hit = true;
        best = ti < best ? ti : best;
    }
    if (HitVerticalEdge(ray, m_x, m_y, bottom, &ti)) {
        hit = true;
        best = ti < best ? ti : best;
    }
    if (HitVerticalEdge(ray, right, m_y, bottom, &ti)) {
        hit = true;
        best = ti < best ? ti : best;
    }
    *t = best;
    return hit;
}

bool CRectObject::EditProperties(PropertiesPort& port) {
    double absorption = m_absorption;
    double percent = m_reflection * 100.0;
    if (!port.EditRectProperties(absorption, percent)) {
        return false;
    }
    m_absorption = absorption;
    m_reflection = percent * 0.01;
    return true;
}

void CRectObject::MoveBy(double dx, double dy) {
    CSceneObject::MoveBy(dx, dy);
    if (m_x + m_width > m_pSettings->width) {
        m_x = m_pSettings->width - m_width;
    }
    if (m_y + m_height > m_pSettings->height) {
        m_y = m_pSettings->height - m_height;
    }
}

void CRectObject::EndMove() {
    CSceneObject::EndMove();
    if (m_pSettings->snapToGrid) {
        m_width = SnapToGrid(m_width, m_pSettings->gridX);
        m_height = SnapToGrid(m_height, m_pSettings->gridY);
    }
}

int CRectObject::GetKind() const {
    return OBJ_RECT;
}

bool CRectObject::HitTest(double x, double y, double /*scale*/) const {
    return m_x <= x && x < m_x + m_width && m_y <= y && y < m_y + m_height;
}

void CRectObject::Draw(Canvas& dc, double scale) {
    CSceneObject::Draw(dc, scale);
    const int x0 = ToPixel(scale, m_drawX);
    const int y0 = ToPixel(scale, m_drawY);
    const int x1 = ToPixel(scale, m_drawX + m_width);
    const int y1 = ToPixel(scale, m_drawY + m_height);
    SelectOutlinePen(dc);
    dc.MoveTo(x0, y0);
    dc.LineTo(x1, y0);
    dc.LineTo(x1, y1);
    dc.LineTo(x0, y1);
    dc.LineTo(x0, y0);
    dc.SelectStockBlackPen();
}

} // namespace sonivera
