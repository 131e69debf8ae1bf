#pragma once

#include "core/model/SceneObject.h"
#include "core/model/SceneSettings.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace sonivera {

// The scene file (.3d): the tag "SCENE", the settings as two raw blocks, the object count and one
// record (kind code and fields) per object. All values little-endian.

constexpr std::size_t kSceneHeaderSize = 98; // tag, both blocks and the object count

// A new object of the file's kind code (listener, rectangle, source) belonging to `scene`, with
// default fields; nullptr for an unknown code.
std::unique_ptr<CSceneObject> MakeObjectOfKind(std::int32_t kind, SceneSettings* scene);

// Serialises the scene into the bytes of a scene file.
std::vector<std::uint8_t> SaveSceneToBytes(const SceneSettings& scene);

// Builds a scene from the bytes of a scene file. Anything that is not a well-formed scene (wrong
// tag, data ending early, a bad count or kind code, no listener first, values that would make
// later arithmetic unsafe) throws SceneFileError (BadFormat) naming `path`; nothing half-built
// escapes. Bytes after the last record are ignored.
std::unique_ptr<SceneSettings> LoadSceneFromBytes(std::span<const std::uint8_t> bytes,
                                                  const std::string& path = {});

// Writes the scene file through a temporary file renamed into place.
void WriteSceneFile(const std::string& path, const SceneSettings& scene);

// Reads a scene file; CannotOpen when the file cannot be read, BadFormat when it is not a scene.
std::unique_ptr<SceneSettings> ReadSceneFile(const std::string& path);

} // namespace sonivera
