#include "cli/OutputFiles.h"

#include "cli/ExitCodes.h"
#include "cli/Interrupt.h"
#include "core/files/FileError.h"

#include <cerrno>
#include <cstring>
#include <iostream>

namespace sonivera {

void RefuseSameFilesOrFail(const std::vector<std::string>& inputs,
                           const std::vector<std::string>& outputs) {
    try {
        RefuseSameFiles(inputs, outputs);
    } catch (const SameFileError& e) {
        throw CliFailure(kExitBadInput, e.what());
    }
    // Every output that cannot be written is found now, not after minutes of work.
    for (const auto& output : outputs) {
        if (output.empty()) {
            continue; // an option not given
        }
        try {
            CheckCanWrite(output);
        } catch (const FileError& e) {
            throw CliFailure(kExitWriteFailed,
                             std::string(e.what()) + "; nothing was calculated or written");
        }
    }
}

void WriteOutputsOrFail(std::span<const FileOutput> outputs) {
    EnterWritingPhase();
    const std::atomic<bool>& interrupted = InstallInterruptFlag();
    try {
        WriteFilesSafely(outputs, &interrupted);
    } catch (const WriteCancelled& e) {
        throw CliFailure(kExitInterrupted, e.what());
    } catch (const FileError& e) {
        throw CliFailure(kExitWriteFailed, e.what());
    }
}

void WriteBytesOrFail(const std::string& path, std::span<const std::uint8_t> bytes) {
    const FileOutput output{path, bytes};
    WriteOutputsOrFail(std::span(&output, 1));
}

std::span<const std::uint8_t> TextBytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

void FlushStandardOutputOrFail() {
    errno = 0;
    std::cout.flush();
    if (!std::cout) {
        const int err = errno;
        throw CliFailure(kExitWriteFailed,
                         std::string("Cannot write to standard output") +
                             (err != 0 ? std::string(": ") + std::strerror(err) : std::string()));
    }
}

} // namespace sonivera
