// Input the command-line tool must refuse with exit 2 and one line, never crash or wait on.
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace sonivera {

namespace {

void ExpectRefusedInOneLine(const CliRun& run, const std::string& expected) {
    EXPECT_EQ(run.signal, 0) << run.err;
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
}

} // namespace

TEST(CliBadInput, DeepJsonAndControlCharactersAreRefusedInOneLine) {
    TempDir dir;
    const std::string out = dir.File("out.3d");
    // A whole scene whose width is an array nested 50 000 deep.
    std::string deep = RunCli({"info", "--json", DataFile("three-objects.3d")}).out;
    const std::string width = "\"width\": 100.0";
    ASSERT_NE(deep.find(width), std::string::npos);
    deep.replace(deep.find(width), width.size(),
                 "\"width\": " + std::string(50000, '[') + std::string(50000, ']'));
    ExpectRefusedInOneLine(RunCli({"build", "-", "-o", out}, deep),
                           "standard input: nested deeper than 64 levels");
    const CliRun run = RunCli({"build", "-", "-o", out}, "{\"\\u001b]0;owned\\u0007\": 1}");
    ExpectRefusedInOneLine(run, "\\u001b]0;owned\\u0007: unknown field");
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out));

    // A ten-megabyte unknown name is shortened; a path with an escape sequence and a newline is
    // escaped: one short line either way.
    const CliRun huge =
        RunCli({"build", "-", "-o", out}, "{\"" + std::string(10'000'000, 'n') + "\": 1}");
    ExpectRefusedInOneLine(huge, ": unknown field");
    EXPECT_LT(huge.err.size(), 400u);
    const std::string odd = dir.File("a\x1b[2Jb\nc.3d");
    const CliRun path = RunCli({"check", odd});
    ExpectRefusedInOneLine(path, "a\\u001b[2Jb\\u000ac.3d");
    EXPECT_EQ(path.err.find('\x1b'), std::string::npos);
}

TEST(CliBadInput, AFifoIsRefusedWithoutWaitingForAWriter) {
    TempDir dir;
    const std::string fifo = dir.File("scene.3d");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Should the tool wait for a writer, one comes after 10 s and writes nothing, so the test
    // ends with a failure instead of hanging.
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 100 && !done; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (!done) {
            close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
        }
    });
    const CliRun check = RunCli({"check", fifo});
    const CliRun build = RunCli({"build", fifo, "-o", dir.File("out.3d")});
    done = true;
    writer.join();
    ExpectRefusedInOneLine(check, fifo + ": not a regular file");
    ExpectRefusedInOneLine(build, fifo + ": not a regular file");
}

} // namespace sonivera

namespace sonivera {

TEST(CliBadInput, AnInterruptedSavesOldCopyIsNamedOnEveryRead) {
    TempDir dir;
    const std::string scene = dir.File("room.3d");
    std::filesystem::copy_file(DataFile("room.3d"), scene);
    std::filesystem::copy_file(DataFile("room.3d"), dir.File(".room.3d.old-Xy12Zw34"));
    const CliRun run = RunCli({"info", scene});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("cut short"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(dir.File(".room.3d.old-Xy12Zw34")), std::string::npos) << run.err;
}

} // namespace sonivera
