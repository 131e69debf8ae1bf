#pragma once

#include "core/text/ShownText.h"

#include <stdexcept>
#include <string>

namespace sonivera {

// A JSON text that does not describe a scene the scene file could hold. field() names the place,
// e.g. "objects[2].m_width" (empty when the text is not JSON at all). Both are escaped for the
// terminal, since a field's name comes from the file.
class SceneJsonError : public std::runtime_error {
public:
    SceneJsonError(const std::string& field, const std::string& message)
        : SceneJsonError(ShownName(field), EscapeForTerminal(message), 0) {}
    const std::string& field() const { return m_field; }

private:
    SceneJsonError(std::string field, const std::string& message, int)
        : std::runtime_error(field.empty() ? message : field + ": " + message),
          m_field(std::move(field)) {}

    std::string m_field;
};

} // namespace sonivera
