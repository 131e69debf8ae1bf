#include "RunCli.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace sonivera {

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

namespace {

constexpr uid_t kNobody = 65534;

CliRun Run(const std::vector<std::string>& args, const std::string& input,
           const std::function<void(int pid)>& whileRunning, const CliPlace& place) {
    TempDir dir;
    const std::string inPath = dir.File("stdin");
    const std::string outPath = dir.File("stdout");
    const std::string errPath = dir.File("stderr");
    WriteText(inPath, input);

    std::vector<std::string> argv = {SONIVERA_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (auto& a : argv) {
        raw.push_back(a.data());
    }
    raw.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open(inPath.c_str(), O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 ||
            dup2(err, 2) < 0) {
            _exit(127);
        }
        if (!place.folder.empty() && chdir(place.folder.c_str()) != 0) {
            _exit(126);
        }
        if (place.unprivileged && geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0 ||
             geteuid() == 0)) {
            _exit(126);
        }
        execv(raw[0], raw.data());
        _exit(127);
    }
    CliRun run;
    if (pid < 0) {
        ADD_FAILURE() << "fork failed";
        return run;
    }
    if (whileRunning) {
        whileRunning(pid);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        run.signal = WTERMSIG(status);
    }
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    return run;
}

} // namespace

CliRun RunCli(const std::vector<std::string>& args, const std::string& input,
              const std::function<void(int pid)>& whileRunning) {
    return Run(args, input, whileRunning, {});
}

CliRun RunCliIn(const CliPlace& place, const std::vector<std::string>& args) {
    return Run(args, {}, {}, place);
}

std::string DataFile(const std::string& name) {
    return std::string(SONIVERA_TEST_DATA_DIR) + "/" + name;
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

bool CatchesSigint(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) == 0) {
            const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
            return (mask & (1ull << (SIGINT - 1))) != 0;
        }
    }
    return false;
}

bool Ended(int pid) {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

bool InterruptAfter(int pid, int afterMs) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + seconds(30);
    while (!CatchesSigint(pid) && steady_clock::now() < deadline) {
        std::this_thread::sleep_for(milliseconds(5));
    }
    std::this_thread::sleep_for(milliseconds(afterMs));
    const bool sent = kill(pid, SIGINT) == 0;
    const auto limit = steady_clock::now() + seconds(60);
    while (!Ended(pid) && steady_clock::now() < limit) {
        std::this_thread::sleep_for(milliseconds(10));
    }
    if (!Ended(pid)) {
        kill(pid, SIGKILL);
    }
    return sent;
}

} // namespace sonivera
