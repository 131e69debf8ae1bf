#pragma once

#include <stdexcept>
#include <string>

namespace sonivera {

// The exit codes of sonivera-cli.
enum ExitCode : int {
    kExitOk = 0,
    kExitFinding = 1,       // the scene check found an error
    kExitBadInput = 2,      // usage error, or an input that cannot be read or is not acceptable
    kExitWriteFailed = 3,   // an output file could not be written; any previous file is intact
    kExitPartial = 4,       // import: the scene was written, but parts of the drawing were left out
    kExitInterrupted = 130, // Ctrl+C (128 + SIGINT); nothing was written
};

// Ends a subcommand with a one-line message on stderr and the given exit code.
class CliFailure : public std::runtime_error {
public:
    CliFailure(ExitCode code, const std::string& message)
        : std::runtime_error(message), m_code(code) {}
    ExitCode Code() const { return m_code; }

private:
    ExitCode m_code;
};

} // namespace sonivera
