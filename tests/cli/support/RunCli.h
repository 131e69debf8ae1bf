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

// Where and as whom a run happens: in `folder` as the current folder, and with `unprivileged` as
// the user nobody when the tests run as root (else as the user running them). A child that cannot
// switch ends with exit 126 before the program starts.
struct CliPlace {
    std::string folder;
    bool unprivileged = false;
};
CliRun RunCliIn(const CliPlace& place, const std::vector<std::string>& args);

// Whether the process has a handler of its own installed for SIGINT (from /proc/PID/status).
bool CatchesSigint(int pid);
// Whether the child has ended, without collecting its status.
bool Ended(int pid);
// For RunCli's `whileRunning`: waits until the program handles SIGINT, lets it work for
// `afterMs`, sends SIGINT and waits for the end (ending it with SIGKILL after a minute, so a
// program that ignores the request fails its test instead of hanging it). True when sent.
bool InterruptAfter(int pid, int afterMs);

// The path of a file in tests/data.
std::string DataFile(const std::string& name);

std::vector<std::uint8_t> ReadBytes(const std::string& path);
void WriteText(const std::string& path, const std::string& text);

} // namespace sonivera
