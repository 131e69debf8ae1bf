#include "SceneInput.h"

#include "ExitCodes.h"
#include "model/AtomicFile.h"
#include "model/SceneFile.h"
#include "model/SceneFileError.h"

#include <iostream>
#include <iterator>

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
    if (path == "-") {
        std::string text(std::istreambuf_iterator<char>(std::cin), {});
        if (std::cin.bad()) {
            throw CliFailure(kExitBadInput, "Cannot read standard input");
        }
        return text;
    }
    try {
        const auto bytes = ReadWholeFile(path);
        return std::string(bytes.begin(), bytes.end());
    } catch (const SceneFileError& e) {
        throw CliFailure(kExitBadInput, Describe(e));
    }
}
