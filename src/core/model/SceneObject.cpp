#include "core/model/SceneObject.h"

#include "core/model/ObjectKindTable.h"

#include "core/files/BinaryArchive.h"
#include "core/model/Canvas.h"
#include "core/model/GridSnap.h"
#include "core/model/SceneSettings.h"

#include <cmath>

namespace sonivera {

CSceneObject::CSceneObject(SceneSettings* settings) : m_pSettings(settings) {}

CSceneObject::~CSceneObject() = default;

bool CSceneObject::IntersectRay(SceneRay /*ray*/, double* /*t*/) const {
    return false;
}

bool CSceneObject::SnapOn() const {
    return m_pSettings->snapToGrid;
}

void CSceneObject::SetPosition(double x, double y) {
    m_x = x;
    m_y = y;
    if (SnapOn()) {
        m_x = SnapToGrid(m_x, m_pSettings->gridX);
        m_y = SnapToGrid(m_y, m_pSettings->gridY);
    }
    ClampPoint(&m_x, &m_y);
}

void CSceneObject::MoveBy(double dx, double dy) {
    m_x += dx;
    m_y += dy;
    m_bMoving = true;
    ClampPoint(&m_x, &m_y);
}

void CSceneObject::EndMove() {
    if (SnapOn()) {
        m_x = SnapToGrid(m_x, m_pSettings->gridX);
        m_y = SnapToGrid(m_y, m_pSettings->gridY);
    }
    m_bMoving = false;
}

void CSceneObject::ClampPoint(double* x, double* y) const {
    if (!(*x >= 0.0)) {
        *x = 0.0;
    }
    if (!(*y >= 0.0)) {
        *y = 0.0;
    }
    if (*x > m_pSettings->width) {
        *x = m_pSettings->width;
    }
    if (*y > m_pSettings->height) {
        *y = m_pSettings->height;
    }
}

double CSceneObject::DistanceTo(double x, double y) const {
    const double ex = m_x - x;
    const double ey = m_y - y;
    return std::sqrt(ex * ex + ey * ey);
}

void CSceneObject::Draw(Canvas& /*dc*/, double /*scale*/) {
    m_drawX = m_x;
    m_drawY = m_y;
    if (m_bMoving && SnapOn()) {
        m_drawX = SnapToGrid(m_drawX, m_pSettings->gridX);
        m_drawY = SnapToGrid(m_drawY, m_pSettings->gridY);
    }
}

void CSceneObject::SelectOutlinePen(Canvas& dc) const {
    dc.SelectSolidPen(2, m_color);
}

// The record is the kind's fields, in the table's order, as doubles.
void CSceneObject::Save(ArchiveWriter& ar) const {
    for (const ObjectField& field : KindOf(*this).fields) {
        ar.WriteDouble(field.get(*this));
    }
}

void CSceneObject::Load(ArchiveReader& ar) {
    for (const ObjectField& field : KindOf(*this).fields) {
        field.set(*this, ar.ReadDouble());
    }
}

} // namespace sonivera
