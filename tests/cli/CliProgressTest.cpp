#include "core/model/RectObject.h"
#include "core/model/SceneFile.h"
#include "core/model/SoundSource.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sonivera {

namespace {

// Runs sonivera-cli with standard error on a pseudo-terminal and returns what appeared there.
std::string StderrOnTerminal(const std::vector<std::string>& args, int* exitCode) {
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        ADD_FAILURE() << "no pseudo-terminal";
        return {};
    }
    std::vector<std::string> argv = {SONIVERA_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (auto& a : argv) {
        raw.push_back(a.data());
    }
    raw.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        close(master);
        const int null = open("/dev/null", O_RDWR);
        if (null < 0 || dup2(null, 0) < 0 || dup2(null, 1) < 0 || dup2(slave, 2) < 0) {
            _exit(127);
        }
        execv(raw[0], raw.data());
        _exit(127);
    }
    close(slave);
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break; // EIO once the child has closed the terminal
        }
    }
    close(master);
    int status = 0;
    waitpid(pid, &status, 0);
    *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return text;
}

} // namespace

TEST(CliProgress, BarIsDrawnOnATerminalAndClearedAtTheEnd) {
    TempDir dir;
    const std::string out = dir.File("out.e3d");
    int exitCode = -1;
    const std::string err =
        StderrOnTerminal({"effect", DataFile("echoes.3d"), "-o", out}, &exitCode);
    EXPECT_EQ(exitCode, 0) << err;
    // 360 rays: the positions 0 to 99, each drawn once, in order.
    EXPECT_NE(err.find("\r[........................................]   0%"), std::string::npos);
    EXPECT_NE(err.find("]  50%"), std::string::npos);
    EXPECT_NE(err.find("\r[#######################################.]  99%"), std::string::npos);
    EXPECT_LT(err.find("]  50%"), err.find("]  99%"));
    // The last thing written blanks the line and returns to its start.
    ASSERT_GE(err.size(), 2u);
    EXPECT_EQ(err.back(), '\r');
    EXPECT_EQ(err.find('\n'), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(out), 819u);
}

} // namespace sonivera
