#include "core/edit/ObjectClipboard.h"

#include "core/model/BinaryArchive.h"
#include "core/model/ObjectKind.h"
#include "core/model/RectObject.h"
#include "core/model/SceneSettings.h"
#include "core/model/SoundSource.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace sonivera {

namespace {

constexpr const char* kClipboardTag = "SoniveraObject";

std::string NumberText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".eE") == std::string::npos) {
        text += ".0"; // stays a JSON number with a fraction, as the tool writes them
    }
    return text;
}

bool FieldsUsable(const CSceneObject& object) {
    if (!std::isfinite(object.m_x) || !std::isfinite(object.m_y)) {
        return false;
    }
    if (const auto* rect = dynamic_cast<const CRectObject*>(&object)) {
        return std::isfinite(rect->m_width) && std::isfinite(rect->m_height) &&
               std::isfinite(rect->m_absorption) && std::isfinite(rect->m_reflection) &&
               rect->m_width >= 0.0 && rect->m_height >= 0.0;
    }
    if (const auto* source = dynamic_cast<const CSoundSource*>(&object)) {
        return std::isfinite(source->m_power);
    }
    return false;
}

} // namespace

bool CanCopyObject(const CSceneObject* object) {
    return object != nullptr && (object->GetKind() == OBJ_RECT || object->GetKind() == OBJ_SOURCE);
}

std::vector<std::uint8_t> EncodeClipboardObject(const ObjectRecord& record) {
    ArchiveWriter ar;
    ar.WriteString(kClipboardTag);
    ar.WriteInt32(record.kind);
    std::vector<std::uint8_t> bytes = ar.TakeBytes();
    bytes.insert(bytes.end(), record.fields.begin(), record.fields.end());
    return bytes;
}

std::optional<ObjectRecord> DecodeClipboardObject(std::span<const std::uint8_t> bytes) {
    ObjectRecord record;
    try {
        ArchiveReader ar(bytes);
        if (ar.ReadString() != kClipboardTag) {
            return std::nullopt;
        }
        record.kind = ar.ReadInt32();
        record.fields.assign(bytes.begin() + static_cast<std::ptrdiff_t>(ar.Position()),
                             bytes.end());
    } catch (const ArchiveFormatError&) {
        return std::nullopt;
    }
    if (record.kind != OBJ_RECT && record.kind != OBJ_SOURCE) {
        return std::nullopt;
    }
    SceneSettings scratch;
    const auto object = MakeObject(record, &scratch);
    if (!object || !FieldsUsable(*object)) {
        return std::nullopt;
    }
    return record;
}

std::string ObjectJsonText(const CSceneObject& object) {
    std::string text = "{ \"kind\": ";
    text += object.GetKind() == OBJ_RECT     ? "\"rect\""
            : object.GetKind() == OBJ_SOURCE ? "\"source\""
                                             : "\"listener\"";
    text += ", \"m_x\": " + NumberText(object.m_x) + ", \"m_y\": " + NumberText(object.m_y);
    if (const auto* rect = dynamic_cast<const CRectObject*>(&object)) {
        text += ", \"m_width\": " + NumberText(rect->m_width) +
                ", \"m_height\": " + NumberText(rect->m_height) +
                ", \"m_absorption\": " + NumberText(rect->m_absorption) +
                ", \"m_reflection\": " + NumberText(rect->m_reflection);
    } else if (const auto* source = dynamic_cast<const CSoundSource*>(&object)) {
        text += ", \"m_power\": " + NumberText(source->m_power);
    }
    return text + " }";
}

ObjectRecord PlacePastedObject(const ObjectRecord& copied, SceneSettings& scene, int steps) {
    auto object = MakeObject(copied, &scene);
    if (!object) {
        return copied;
    }
    double x = object->m_x + scene.gridX * steps;
    double y = object->m_y + scene.gridY * steps;
    if (const auto* rect = dynamic_cast<const CRectObject*>(object.get())) {
        x = std::max(std::min(x, scene.width - rect->m_width), 0.0);
        y = std::max(std::min(y, scene.height - rect->m_height), 0.0);
    } else {
        object->ClampPoint(&x, &y);
    }
    object->m_x = x;
    object->m_y = y;
    return RecordOf(*object);
}

} // namespace sonivera
