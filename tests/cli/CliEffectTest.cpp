#include "core/model/RectObject.h"
#include "core/model/SceneFile.h"
#include "core/model/SoundSource.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace sonivera {

using Bytes = std::vector<std::uint8_t>;

namespace {

void AppendDouble(Bytes& b, double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) {
        b.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
}

// A scene whose ray trees never end in practice: half-reflecting walls that let everything
// through, no amplitude floor and a long stop time, so every hit doubles the paths.
std::string WriteEndlessScene(const TempDir& dir) {
    auto scene = MakeDefaultScene();
    scene->params.rayCount = 1000;
    scene->params.stopAmplitude = 0.0;
    scene->params.stopTime = 10000.0;
    for (int i = 0; i < 8; ++i) {
        auto* wall = scene->Add<CRectObject>();
        wall->m_x = 5.0 + 12.0 * i;
        wall->m_y = 5.0;
        wall->m_width = 1.0;
        wall->m_height = 90.0;
        wall->m_absorption = 0.0;
        wall->m_reflection = 0.5;
    }
    auto* source = scene->Add<CSoundSource>();
    source->m_x = 30.5;
    source->m_y = 20.0;
    const std::string path = dir.File("endless.3d");
    WriteSceneFile(path, *scene);
    return path;
}

} // namespace

TEST(CliEffect, OneSourceTenMetresAwayFillsBinThreeWithExactlyOne) {
    TempDir dir;
    const std::string out = dir.File("out.e3d");
    const CliRun run = RunCli({"effect", DataFile("source-60-50.3d"), "-o", out});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, ""); // no progress bar when standard error is not a terminal

    // 10 m → 1/30 s → floor(3.33) = bin 3; no obstacle, power 1: amplitude 1.
    Bytes expected = {0x06, 0x45, 0x46, 0x46, 0x45, 0x43, 0x54, 100, 0, 0, 0};
    AppendDouble(expected, 1000.0);
    for (int bin = 0; bin < 100; ++bin) {
        AppendDouble(expected, bin == 3 ? 1.0 : 0.0);
    }
    const Bytes bytes = ReadBytes(out);
    EXPECT_EQ(bytes.size(), 819u);
    EXPECT_EQ(bytes, expected);
}

TEST(CliEffect, ResultDoesNotDependOnTheThreadCount) {
    TempDir dir;
    Bytes first;
    for (const char* threads : {"1", "2", "3"}) {
        const std::string out = dir.File(std::string("t") + threads + ".e3d");
        const CliRun run =
            RunCli({"effect", DataFile("echoes.3d"), "-o", out, "--threads", threads});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Bytes bytes = ReadBytes(out);
        if (first.empty()) {
            first = bytes;
            ASSERT_EQ(bytes.size(), 819u);
        } else {
            EXPECT_EQ(bytes, first) << threads;
        }
    }
}

TEST(CliEffect, CsvRowsAndStatistics) {
    TempDir dir;
    const std::string out = dir.File("out.e3d");
    const std::string csv = dir.File("out.csv");
    const CliRun run =
        RunCli({"effect", DataFile("source-60-50.3d"), "-o", out, "--csv", csv, "--stats"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::ifstream in(csv);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 101u);
    EXPECT_EQ(lines[0], "bin,start_ms,amplitude");
    EXPECT_EQ(lines[1], "0,0,0");
    EXPECT_EQ(lines[4], "3,30,1");
    EXPECT_EQ(lines[100], "99,990,0");
    for (const char* key : {"rays             100\n", "echoes           1\n", "nodes ", "searches ",
                            "seconds ", "nodes per second "}) {
        EXPECT_NE(run.out.find(key), std::string::npos) << key << " in\n" << run.out;
    }
}

TEST(CliEffect, SceneErrorStopsBeforeCalculatingUnlessNoCheck) {
    TempDir dir;
    const std::string out = dir.File("out.e3d");
    const std::string scene = DataFile("listener-in-rect.3d");
    CliRun run = RunCli({"effect", scene, "-o", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "sonivera-cli: " + scene + ": Объект (50,50) внутри прямоугольника\n");
    EXPECT_FALSE(std::filesystem::exists(out));

    run = RunCli({"effect", scene, "-o", out, "--no-check"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(std::filesystem::file_size(out), 819u);
}

TEST(CliEffect, UnsafeParameterIsNamedAndNothingIsWritten) {
    TempDir dir;
    auto scene = MakeDefaultScene();
    scene->params.groupTime = 0.0;
    const std::string path = dir.File("zero-group.3d");
    WriteSceneFile(path, *scene);
    const std::string out = dir.File("out.e3d");
    const CliRun run = RunCli({"effect", path, "-o", out});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(path + ": groupTime: "), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(CliEffect, UnwritableOutputExitsThreeAndKeepsThePreviousFile) {
    TempDir dir;
    const std::string out = dir.File("missing/out.e3d");
    CliRun run = RunCli({"effect", DataFile("source-60-50.3d"), "-o", out});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find(out), std::string::npos) << run.err;

    // A CSV that cannot be written: the effect file is not replaced either.
    const std::string good = dir.File("good.e3d");
    WriteText(good, "previous");
    run = RunCli({"effect", DataFile("source-60-50.3d"), "-o", good, "--csv", out});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find(out), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(good), Bytes({'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(CliEffect, InterruptStopsTheCalculationAndWritesNothing) {
    TempDir dir;
    const std::string scene = WriteEndlessScene(dir);
    const std::string out = dir.File("out.e3d");
    bool sent = false;
    const CliRun run =
        RunCli({"effect", scene, "-o", out, "--no-check", "--threads", "2"}, {}, [&](int pid) {
            using namespace std::chrono;
            const auto deadline = steady_clock::now() + seconds(30);
            while (!CatchesSigint(pid) && steady_clock::now() < deadline) {
                std::this_thread::sleep_for(milliseconds(5));
            }
            std::this_thread::sleep_for(milliseconds(200));
            sent = kill(pid, SIGINT) == 0;
            // Should the program ignore the request, end it after a while so the test fails
            // instead of hanging. The child is not collected here, so its id stays its own.
            const auto limit = steady_clock::now() + seconds(60);
            while (!Ended(pid) && steady_clock::now() < limit) {
                std::this_thread::sleep_for(milliseconds(10));
            }
            if (!Ended(pid)) {
                kill(pid, SIGKILL);
            }
        });
    ASSERT_TRUE(sent);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitCode, 130);
    EXPECT_NE(run.err.find("Interrupted"), std::string::npos) << run.err;
    // Neither the output nor a temporary file was left behind.
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_EQ(entry.path().filename(), "endless.3d");
    }
}

} // namespace sonivera
