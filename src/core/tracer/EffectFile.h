#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace sonivera {

struct SceneSettings;

// The effect file (.e3d): the tag "EFFECT", the bin count (int32), the stop time in milliseconds
// (double) and the bin amplitudes (doubles, bin 0 first), little-endian, 19 + 8·n bytes. The
// program writes it only; it never reads one back.

constexpr std::size_t kEffectHeaderSize = 19; // tag, bin count and stop time

// Asked to save an effect that has not been calculated: the scene holds no bins. No file is
// written.
class NoEffectError : public std::runtime_error {
public:
    NoEffectError() : std::runtime_error("No effect has been calculated for this scene.") {}
};

// The bytes of an effect file holding these bins and this stop time.
std::vector<std::uint8_t> EffectToBytes(std::span<const double> bins, double stopTime);

// The bytes of the effect file for the scene's last calculated effect and the stop time it was
// computed with. Throws
// NoEffectError when the scene holds no effect.
std::vector<std::uint8_t> SaveEffectToBytes(const SceneSettings& scene);

// Writes the scene's effect to `path` through a temporary file renamed into place, so a failed
// write leaves any previous file intact. Throws NoEffectError (nothing is written) or
// FileError (WriteFailed) naming the path and the system's reason.
void WriteEffectFile(const std::string& path, const SceneSettings& scene);

} // namespace sonivera
