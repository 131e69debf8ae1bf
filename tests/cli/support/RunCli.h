#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sonivera {

// What one run of sonivera-cli did.
struct CliRun {
    int exitCode = -1; // the exit status, or -1 when the program was ended by a signal
    int signal = 0;    // the signal that ended it, if any
    std::string out;   // standard output
    std::string err;   // standard error
};

// Runs the built sonivera-cli with the arguments, standard input from `input`, and collects what
// it printed. `whileRunning`, when given, is called with the child's process id once it started.
CliRun RunCli(const std::vector<std::string>& args, const std::string& input = {},
              const std::function<void(int pid)>& whileRunning = {});

// The path of a file in tests/data.
std::string DataFile(const std::string& name);

std::vector<std::uint8_t> ReadBytes(const std::string& path);
void WriteText(const std::string& path, const std::string& text);

} // namespace sonivera
