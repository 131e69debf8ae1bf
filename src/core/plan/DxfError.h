#pragma once

#include <stdexcept>

namespace sonivera {

// A drawing that cannot be imported: not a DXF file, cut short, malformed, too large, or a block
// that inserts itself. The message says what and, where it can, at which line or byte.
class DxfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace sonivera

namespace sonivera {

// The import was stopped by the user.
class DxfCancelled : public std::runtime_error {
public:
    DxfCancelled() : std::runtime_error("Interrupted; nothing was imported.") {}
};

} // namespace sonivera
