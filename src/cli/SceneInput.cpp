#include "cli/SceneInput.h"

#include "cli/ExitCodes.h"
#include "core/files/FileError.h"
#include "core/files/InputFile.h"
#include "core/model/SceneFile.h"
#include "core/model/SceneFileError.h"

#include <unistd.h>

namespace sonivera {

namespace {

std::string Describe(const SceneFileError& e) {
    if (e.GetKind() == SceneFileError::Kind::BadFormat) {
        std::string text = e.Path() + ": " + e.what();
        if (!e.Detail().empty()) {
            text += " (" + e.Detail() + ")";
        }
        return text;
    }
    return e.what(); // already names the path and the system's reason
}

} // namespace

std::unique_ptr<SceneSettings> LoadSceneOrFail(const std::string& path) {
    try {
        return ReadSceneFile(path);
    } catch (const SceneFileError& e) {
        throw CliFailure(kExitBadInput, Describe(e));
    }
}

std::string ReadTextOrFail(const std::string& path) {
    return ReadTextOrFail(path, kMaxInputFileBytes);
}

std::string ReadTextOrFail(const std::string& path, std::uint64_t maxBytes) {
    try {
        const auto bytes = path == "-" ? ReadWholeStream(STDIN_FILENO, "standard input")
                                       : ReadWholeFile(path, maxBytes);
        return std::string(bytes.begin(), bytes.end());
    } catch (const FileError& e) {
        throw CliFailure(kExitBadInput, e.what()); // names the path and the system's reason
    }
}

} // namespace sonivera
