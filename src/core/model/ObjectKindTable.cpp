#include "core/model/ObjectKindTable.h"

#include "core/model/FiniteInfinity.h"
#include "core/model/Listener.h"
#include "core/model/ObjectKind.h"
#include "core/model/RectObject.h"
#include "core/model/SoundSource.h"

#include <array>
#include <cmath>

namespace sonivera {

namespace {

// A field of class T reached through its member pointer.
template <class T, double T::*Member>
constexpr ObjectField Field(const char* name, FieldRange range) {
    return {name, [](const CSceneObject& o) { return static_cast<const T&>(o).*Member; },
            [](CSceneObject& o, double v) { static_cast<T&>(o).*Member = v; }, range};
}

constexpr std::array kListenerFields = {
    Field<CSceneObject, &CSceneObject::m_x>("m_x", FieldRange::Any),
    Field<CSceneObject, &CSceneObject::m_y>("m_y", FieldRange::Any),
};

constexpr std::array kRectFields = {
    Field<CSceneObject, &CSceneObject::m_x>("m_x", FieldRange::Any),
    Field<CSceneObject, &CSceneObject::m_y>("m_y", FieldRange::Any),
    Field<CRectObject, &CRectObject::m_width>("m_width", FieldRange::SceneWidth),
    Field<CRectObject, &CRectObject::m_height>("m_height", FieldRange::SceneHeight),
    Field<CRectObject, &CRectObject::m_absorption>("m_absorption", FieldRange::Coefficient),
    Field<CRectObject, &CRectObject::m_reflection>("m_reflection", FieldRange::Fraction),
};

constexpr std::array kSourceFields = {
    Field<CSceneObject, &CSceneObject::m_x>("m_x", FieldRange::Any),
    Field<CSceneObject, &CSceneObject::m_y>("m_y", FieldRange::Any),
    Field<CSoundSource, &CSoundSource::m_power>("m_power", FieldRange::Fraction),
};

template <class T> std::unique_ptr<CSceneObject> Make(SceneSettings* scene) {
    return std::make_unique<T>(scene);
}

const std::array<ObjectKindInfo, 3> kKinds = {{
    {OBJ_LISTENER, "listener", false, &Make<CListener>, kListenerFields},
    {OBJ_RECT, "rect", true, &Make<CRectObject>, kRectFields},
    {OBJ_SOURCE, "source", true, &Make<CSoundSource>, kSourceFields},
}};

bool InRange(double value, FieldRange range) {
    switch (range) {
    case FieldRange::Any:
        return std::isfinite(value);
    case FieldRange::Fraction:
        return value >= 0.0 && value <= 1.0;
    case FieldRange::Coefficient:
        return value >= 0.0 && value <= kInfiniteCoefficient;
    case FieldRange::SceneWidth:
    case FieldRange::SceneHeight:
        return value > 0.0 && std::isfinite(value);
    }
    return false;
}

} // namespace

std::span<const ObjectKindInfo> ObjectKinds() {
    return kKinds;
}

const ObjectKindInfo* KindOfCode(std::int32_t code) {
    for (const ObjectKindInfo& kind : kKinds) {
        if (kind.code == code) {
            return &kind;
        }
    }
    return nullptr;
}

const ObjectKindInfo* KindNamed(std::string_view name) {
    for (const ObjectKindInfo& kind : kKinds) {
        if (name == kind.name) {
            return &kind;
        }
    }
    return nullptr;
}

const ObjectKindInfo& KindOf(const CSceneObject& object) {
    return *KindOfCode(object.GetKind());
}

bool ObjectFieldsFinite(const CSceneObject& object) {
    for (const ObjectField& field : KindOf(object).fields) {
        if (!std::isfinite(field.get(object))) {
            return false;
        }
    }
    return true;
}

bool ObjectFieldsInRange(const CSceneObject& object) {
    for (const ObjectField& field : KindOf(object).fields) {
        if (!InRange(field.get(object), field.range)) {
            return false;
        }
    }
    return true;
}

} // namespace sonivera
