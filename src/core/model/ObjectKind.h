#pragma once

#include <cstdint>

namespace sonivera {

// Kind codes of the scene objects; the same codes are stored in the scene file.
enum ObjectKind : std::int32_t {
    OBJ_LISTENER = 1,
    OBJ_RECT = 2,
    OBJ_SOURCE = 3,
};

} // namespace sonivera
