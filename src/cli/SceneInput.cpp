#include "cli/SceneInput.h"

#include "cli/ExitCodes.h"
#include "core/files/FileError.h"
#include "core/files/InputFile.h"
#include "core/files/SafeFileWriter.h"
#include "core/model/SceneFile.h"
#include "core/model/SceneFileError.h"

#include <iostream>
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

// A save of this scene that was ended half-way left a whole copy of the old content beside it:
// the user hears of it on every read until the copy is dealt with.
void WarnOfOldCopies(const std::string& path) {
    for (const std::string& copy : OldCopiesOf(path)) {
        std::cerr << "sonivera-cli: warning: " << path
                  << ": a save of this file was cut short, so it may mix old and new content; "
                     "its content before that save is kept whole in "
                  << copy << " (rename it over the file to take it back, or remove it)\n";
    }
}

} // namespace

std::unique_ptr<SceneSettings> LoadSceneOrFail(const std::string& path) {
    WarnOfOldCopies(path);
    try {
        return ReadSceneFile(path);
    } catch (const SceneFileError& e) {
        throw CliFailure(kExitBadInput, Describe(e));
    }
}

std::string ReadTextOrFail(const std::string& path) {
    return ReadTextOrFail(path, kMaxInputFileBytes);
}

std::vector<std::uint8_t> ReadBytesOrFail(const std::string& path, std::uint64_t maxBytes) {
    try {
        return path == "-" ? ReadWholeStream(STDIN_FILENO, "standard input")
                           : ReadWholeFile(path, maxBytes);
    } catch (const FileError& e) {
        throw CliFailure(kExitBadInput, e.what());
    }
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
