#pragma once

#include "core/model/SceneFile.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace sonivera {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
}

// A default scene whose tag is "scene" in lower case: refused as not a scene file.
inline Bytes LowerCaseTagScene() {
    Bytes bytes = SaveSceneToBytes(*MakeDefaultScene());
    for (std::size_t i = 1; i <= 5; ++i) {
        bytes[i] = static_cast<std::uint8_t>(bytes[i] - 'A' + 'a');
    }
    return bytes;
}

} // namespace sonivera
