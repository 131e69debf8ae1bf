#include "core/tracer/EffectFile.h"

#include "core/files/BinaryArchive.h"
#include "core/files/SafeFileWriter.h"
#include "core/model/SceneSettings.h"
#include "core/tracer/EffectFinite.h"

#include <limits>

namespace sonivera {

namespace {

constexpr const char* kEffectTag = "EFFECT";

} // namespace

std::vector<std::uint8_t> EffectToBytes(std::span<const double> bins, double stopTime) {
    // The count is stored as a 32-bit signed integer; a longer effect cannot be described.
    if (bins.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw std::length_error("The effect has more bins than an effect file can hold.");
    }
    ArchiveWriter ar;
    ar.WriteString(kEffectTag);
    ar.WriteInt32(static_cast<std::int32_t>(bins.size()));
    ar.WriteDouble(stopTime);
    for (const double amplitude : bins) {
        ar.WriteDouble(amplitude);
    }
    return ar.TakeBytes();
}

std::vector<std::uint8_t> SaveEffectToBytes(const SceneSettings& scene) {
    if (!scene.effect || scene.effectCount < 0) {
        throw NoEffectError();
    }
    RequireFiniteEffect(scene);
    const std::span<const double> bins(scene.effect.get(),
                                       static_cast<std::size_t>(scene.effectCount));
    return EffectToBytes(bins, scene.effectParams.stopTime);
}

void WriteEffectFile(const std::string& path, const SceneSettings& scene) {
    WriteFileSafely(path, SaveEffectToBytes(scene));
}

} // namespace sonivera
