#pragma once

#include <stdexcept>
#include <string>

namespace sonivera {

// A file of any kind (a scene, an effect, a table, a sound, a picture, the settings) that could
// not be read or written. The message is the text shown to the user and names the path; Path()
// gives it on its own.
class FileError : public std::runtime_error {
public:
    enum class Kind {
        CannotOpen,  // the file could not be opened or read
        WriteFailed, // the file could not be written; the previous file is intact unless the
                     // message says otherwise
    };

    FileError(Kind kind, std::string path, const std::string& message)
        : std::runtime_error(message), m_kind(kind), m_path(std::move(path)) {}

    Kind GetKind() const { return m_kind; }
    const std::string& Path() const { return m_path; }

private:
    Kind m_kind;
    std::string m_path;
};

} // namespace sonivera
