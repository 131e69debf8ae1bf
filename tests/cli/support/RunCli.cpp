#include "RunCli.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace sonivera {

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

CliRun RunCli(const std::vector<std::string>& args, const std::string& input,
              const std::function<void(int pid)>& whileRunning) {
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

} // namespace sonivera
