#include "core/edit/ObjectRecord.h"

#include "core/files/BinaryArchive.h"
#include "core/model/SceneFile.h"
#include "core/model/SceneSettings.h"

#include <iterator>

namespace sonivera {

namespace {

// Loads the fields into `object`; false when they are short or too long.
bool LoadFields(CSceneObject& object, const std::vector<std::uint8_t>& fields) {
    ArchiveReader ar(fields);
    try {
        object.Load(ar);
    } catch (const ArchiveFormatError&) {
        return false;
    }
    return ar.Remaining() == 0;
}

} // namespace

ObjectRecord RecordOf(const CSceneObject& object) {
    ArchiveWriter ar;
    object.Save(ar);
    return {object.GetKind(), ar.TakeBytes()};
}

std::unique_ptr<CSceneObject> MakeObject(const ObjectRecord& record, SceneSettings* scene) {
    auto object = MakeObjectOfKind(record.kind, scene);
    if (!object || !LoadFields(*object, record.fields)) {
        return nullptr;
    }
    return object;
}

bool RestoreObject(CSceneObject& object, const ObjectRecord& record) {
    if (object.GetKind() != record.kind) {
        return false;
    }
    // Read into a scratch object first, so that a damaged record changes nothing.
    auto scratch = MakeObject(record, object.m_pSettings);
    if (!scratch) {
        return false;
    }
    ArchiveReader ar(record.fields);
    object.Load(ar);
    return true;
}

CSceneObject* ObjectAt(const SceneSettings& scene, std::size_t index) {
    if (index >= scene.objects.size()) {
        return nullptr;
    }
    return std::next(scene.objects.begin(), static_cast<std::ptrdiff_t>(index))->get();
}

std::optional<std::size_t> IndexOf(const SceneSettings& scene, const CSceneObject* object) {
    std::size_t index = 0;
    for (const auto& element : scene.objects) {
        if (element.get() == object) {
            return index;
        }
        ++index;
    }
    return std::nullopt;
}

} // namespace sonivera
