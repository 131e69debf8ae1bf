#include "SceneCheck.h"

#include "model/ObjectKind.h"
#include "model/RectObject.h"

#include <charconv>

namespace {

// How far the far corners of a rectangle are pulled back inside it before they are tested.
constexpr double kCornerInset = 0.001;

// %g: six significant digits, trailing zeros dropped, a point as the separator. std::to_chars
// with the general format and an explicit precision is defined as printf in the "C" locale, so a
// Russian locale set by the editor cannot turn the point into a comma.
std::string FormatG(double v) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

// Half-open containment of the rectangle's own hit test; the scale does not matter to it.
bool Contains(const CSceneObject& b, double x, double y) {
    return b.HitTest(x, y, 1.0);
}

// The finding of object A against rectangle B: A's position first, then (for a rectangle A) its
// far corner along x, then its far corner along y.

std::optional<SceneCheckFinding::Kind> TestPair(const CSceneObject& a, const CSceneObject& b) {
    const bool aIsRect = a.GetKind() == OBJ_RECT;
    if (Contains(b, a.m_x, a.m_y)) {
        return aIsRect ? SceneCheckFinding::Kind::NestedRectangles
                       : SceneCheckFinding::Kind::ObjectInsideRectangle;
    }
    if (!aIsRect) {
        return std::nullopt;
    }
    const auto* rect = dynamic_cast<const CRectObject*>(&a);
    if (rect == nullptr) {
        return std::nullopt;
    }
    if (Contains(b, rect->m_x + rect->m_width - kCornerInset, rect->m_y) ||
        Contains(b, rect->m_x, rect->m_y + rect->m_height - kCornerInset)) {
        return SceneCheckFinding::Kind::NestedRectangles;
    }
    return std::nullopt;
}

} // namespace

std::string ObjectInsideRectangleMessage(double x, double y) {
    return "Объект (" + FormatG(x) + "," + FormatG(y) + ") внутри прямоугольника";
}

std::optional<SceneCheckFinding> FindFirstSceneError(const ObjectList& objects) {
    std::size_t index = 0;
    for (const auto& a : objects) {
        for (const auto& b : objects) {
            if (b->GetKind() != OBJ_RECT || b.get() == a.get()) {
                continue;
            }
            if (const auto kind = TestPair(*a, *b)) {
                SceneCheckFinding finding;
                finding.object = a.get();
                finding.index = index;
                finding.kind = *kind;
                finding.message = *kind == SceneCheckFinding::Kind::NestedRectangles
                                      ? std::string(kNestedRectanglesText)
                                      : ObjectInsideRectangleMessage(a->m_x, a->m_y);
                return finding;
            }
        }
        ++index;
    }
    return std::nullopt;
}
