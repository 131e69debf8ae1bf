#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace sonivera {

class CSceneObject;
struct SceneSettings;

// A value copy of one scene object: its kind code and the bytes its Save writes (the same bytes
// as its record in the scene file, without the kind). Restoring a record gives back exactly the
// object that was recorded, so an undone edit saves the same bytes as before it.
struct ObjectRecord {
    std::int32_t kind = 0;
    std::vector<std::uint8_t> fields;
    friend bool operator==(const ObjectRecord&, const ObjectRecord&) = default;
};

ObjectRecord RecordOf(const CSceneObject& object);

// A new object of the record's kind bound to `scene`, with the recorded fields; null for a kind
// that is not an object's or fields that do not read back completely.
std::unique_ptr<CSceneObject> MakeObject(const ObjectRecord& record, SceneSettings* scene);

// Overwrites an object's fields with a record of the same kind (selection and colour stay).
// Returns false, changing nothing, when the kinds differ or the fields do not read back.
bool RestoreObject(CSceneObject& object, const ObjectRecord& record);

// The object at a position of the scene's list, or null past its end.
CSceneObject* ObjectAt(const SceneSettings& scene, std::size_t index);
// The position of an object in the scene's list, or none when it is not in the list.
std::optional<std::size_t> IndexOf(const SceneSettings& scene, const CSceneObject* object);

} // namespace sonivera
