#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Reads a whole file. Throws SceneFileError (CannotOpen) with the path and the system's reason.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);
