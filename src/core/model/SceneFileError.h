#pragma once

#include <stdexcept>
#include <string>

namespace sonivera {

// A scene or effect file that could not be read or written. The message is the text shown to the
// user; the path names the file concerned.
class SceneFileError : public std::runtime_error {
public:
    enum class Kind {
        CannotOpen,  // the file could not be opened or read
        BadFormat,   // the bytes are not a scene file this program can take
        WriteFailed, // the file could not be written; the previous file is intact
    };

    SceneFileError(Kind kind, std::string path, const std::string& message, std::string detail = {})
        : std::runtime_error(message), m_kind(kind), m_path(std::move(path)),
          m_detail(std::move(detail)) {}

    Kind GetKind() const { return m_kind; }
    const std::string& Path() const { return m_path; }
    // What exactly was wrong, for diagnostics (empty when the message says it all).
    const std::string& Detail() const { return m_detail; }

private:
    Kind m_kind;
    std::string m_path;
    std::string m_detail;
};

// The text shown for a file whose contents are not a scene.
inline constexpr const char* kUnexpectedFileFormat = "Unexpected file format.";

} // namespace sonivera
