#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Writes the bytes to a temporary file in the target's folder and renames it over the target only
// when everything was written and flushed, so a failed write never damages the previous file.
// Throws SceneFileError (WriteFailed) with the path and the system's reason.
void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);
