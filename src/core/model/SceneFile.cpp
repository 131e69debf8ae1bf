#include "core/model/SceneFile.h"

#include "core/files/BinaryArchive.h"
#include "core/model/CalcParameterTable.h"
#include "core/files/InputFile.h"
#include "core/model/ObjectKind.h"
#include "core/model/ObjectKindTable.h"
#include "core/files/SafeFileWriter.h"
#include "core/model/SceneFileError.h"
#include "core/files/FileError.h"

#include <cmath>

namespace sonivera {

namespace {

constexpr const char* kSceneTag = "SCENE";
constexpr std::size_t kSmallestRecord = 4 + 2 * 8; // a listener's record
constexpr double kLargestSceneSide = 100000.0;

[[noreturn]] void BadFormat(const std::string& path, const std::string& detail) {
    throw SceneFileError(SceneFileError::Kind::BadFormat, path, kUnexpectedFileFormat, detail);
}

void WriteSettings(ArchiveWriter& ar, const SceneSettings& s) {
    ar.WriteDouble(s.width);
    ar.WriteDouble(s.height);
    ar.WriteDouble(s.gridX);
    ar.WriteDouble(s.gridY);
    ar.WriteBool(s.snapToGrid);
    ar.WriteFiller(7);
    ar.WriteDouble(s.params.passAbsorptionLimit);
    ar.WriteDouble(s.params.stopAmplitude);
    ar.WriteDouble(s.params.groupTime);
    ar.WriteBool(s.params.noTransmission);
    ar.WriteBool(s.params.noReflection);
    ar.WriteBool(s.params.normalize);
    ar.WriteFiller(1);
    ar.WriteInt32(s.params.rayCount);
    ar.WriteDouble(s.params.mediumAbsorption);
    ar.WriteDouble(s.params.stopTime);
}

void ReadSettings(ArchiveReader& ar, SceneSettings& s) {
    s.width = ar.ReadDouble();
    s.height = ar.ReadDouble();
    s.gridX = ar.ReadDouble();
    s.gridY = ar.ReadDouble();
    s.snapToGrid = ar.ReadBool();
    ar.Skip(7);
    s.params.passAbsorptionLimit = ar.ReadDouble();
    s.params.stopAmplitude = ar.ReadDouble();
    s.params.groupTime = ar.ReadDouble();
    s.params.noTransmission = ar.ReadBool();
    s.params.noReflection = ar.ReadBool();
    s.params.normalize = ar.ReadBool();
    ar.Skip(1);
    s.params.rayCount = ar.ReadInt32();
    s.params.mediumAbsorption = ar.ReadDouble();
    s.params.stopTime = ar.ReadDouble();
}

// Refuses settings that would make the view's or the tracer's arithmetic unsafe.
void CheckSettings(const SceneSettings& s, const std::string& path) {
    auto side = [&](double v, const char* name) {
        if (!std::isfinite(v) || !(v > 0.0) || v > kLargestSceneSide) {
            BadFormat(path, std::string(name) + " is not within (0, 100000]");
        }
    };
    side(s.width, "width");
    side(s.height, "height");
    auto step = [&](double v, const char* name) {
        if (!std::isfinite(v) || !(v > 0.0)) {
            BadFormat(path, std::string(name) + " is not a positive number");
        }
    };
    step(s.gridX, "gridX");
    step(s.gridY, "gridY");
    for (const CalcField& field : CalcFields()) {
        if (!SceneMayHold(field, s.params)) {
            BadFormat(path, "a calculation parameter is not a finite number");
        }
    }
}

} // namespace

std::unique_ptr<CSceneObject> MakeObjectOfKind(std::int32_t kind, SceneSettings* scene) {
    const ObjectKindInfo* info = KindOfCode(kind);
    return info != nullptr ? info->make(scene) : nullptr;
}

std::vector<std::uint8_t> SaveSceneToBytes(const SceneSettings& scene) {
    ArchiveWriter ar;
    ar.WriteString(kSceneTag);
    WriteSettings(ar, scene);
    ar.WriteInt32(static_cast<std::int32_t>(scene.objects.size()));
    for (const auto& object : scene.objects) {
        ar.WriteInt32(object->GetKind());
        object->Save(ar);
    }
    return ar.TakeBytes();
}

std::unique_ptr<SceneSettings> LoadSceneFromBytes(std::span<const std::uint8_t> bytes,
                                                  const std::string& path) {
    auto scene = std::make_unique<SceneSettings>();
    ArchiveReader ar(bytes);
    try {
        if (ar.ReadString() != kSceneTag) {
            BadFormat(path, "the file does not start with the scene tag");
        }
        ReadSettings(ar, *scene);
        CheckSettings(*scene, path);
        const std::int32_t count = ar.ReadInt32();
        if (count <= 0) {
            BadFormat(path, "the scene has no objects");
        }
        if (static_cast<std::size_t>(count) > ar.Remaining() / kSmallestRecord) {
            BadFormat(path, "the object count exceeds what the file holds");
        }
        for (std::int32_t i = 0; i < count; ++i) {
            auto object = MakeObjectOfKind(ar.ReadInt32(), scene.get());
            if (!object) {
                BadFormat(path, "unknown object kind");
            }
            if (i == 0 && object->GetKind() != OBJ_LISTENER) {
                BadFormat(path, "the first object is not the listener");
            }
            object->Load(ar);
            if (!ObjectFieldsFinite(*object)) {
                BadFormat(path, "an object field is not a finite number");
            }
            scene->objects.push_back(std::move(object));
        }
    } catch (const ArchiveFormatError& e) {
        BadFormat(path, e.what());
    }
    return scene;
}

void WriteSceneFile(const std::string& path, const SceneSettings& scene) {
    try {
        WriteFileSafely(path, SaveSceneToBytes(scene));
    } catch (const FileError& e) {
        throw SceneFileError(SceneFileError::Kind::WriteFailed, e.Path(), e.what());
    }
}

std::unique_ptr<SceneSettings> ReadSceneFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const FileError& e) {
        throw SceneFileError(SceneFileError::Kind::CannotOpen, e.Path(), e.what());
    }
    return LoadSceneFromBytes(bytes, path);
}

} // namespace sonivera
