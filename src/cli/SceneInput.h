#pragma once

#include "core/model/SceneSettings.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace sonivera {

// Reading and writing files for the subcommands, with the core's file errors turned into
// CliFailure: a scene that cannot be read or is not a scene file is bad input (exit 2). Outputs are
// written by OutputFiles.h.

std::unique_ptr<SceneSettings> LoadSceneOrFail(const std::string& path);

// Reads a whole regular file, or standard input for "-"; either at most kMaxInputFileBytes.
std::string ReadTextOrFail(const std::string& path);
// The same with another size limit.
std::string ReadTextOrFail(const std::string& path, std::uint64_t maxBytes);
// The bytes themselves, without a copy into a string (for files of hundreds of megabytes).
std::vector<std::uint8_t> ReadBytesOrFail(const std::string& path, std::uint64_t maxBytes);

} // namespace sonivera
