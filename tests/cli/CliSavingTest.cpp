// What the subcommands do with their outputs: same file as an input, several outputs, standard
// output that cannot be written, effects that are not finite, Ctrl+C while writing.
#include "core/model/SceneFile.h"
#include "core/model/SoundSource.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace sonivera {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

const Bytes kPrevious = {'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'};

// The exit code of a shell command line (-1 when it did not exit normally).
int Shell(const std::string& line) {
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

bool HasTemporary(const TempDir& dir) {
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        if (entry.path().filename().string().rfind(".sonivera-", 0) == 0) {
            return true;
        }
    }
    return false;
}

// Whether the process holds a temporary file of `dir` open: a named one, or an unnamed one (shown
// by the system as "dir/#inode (deleted)").
bool WritesTemporary(int pid, const TempDir& dir) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        const std::string target = fs::read_symlink(entry.path(), ec).string();
        if (target.rfind(dir.Path().string() + "/", 0) == 0 &&
            (target.find("/.sonivera-") != std::string::npos ||
             target.find("(deleted)") != std::string::npos)) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(CliSaving, AnOutputThatIsTheInputIsRefusedBeforeCalculating) {
    TempDir dir;
    const std::string scene = dir.File("scene.3d");
    fs::copy_file(DataFile("source-60-50.3d"), scene);
    fs::create_symlink("scene.3d", dir.File("link.3d"));
    const Bytes before = ReadBytes(scene);
    for (const std::string& out : {scene, dir.File("link.3d")}) {
        const CliRun run = RunCli({"effect", scene, "-o", out});
        EXPECT_EQ(run.exitCode, 2) << out;
        EXPECT_NE(run.err.find("same file as the input " + scene), std::string::npos) << run.err;
    }
    CliRun run = RunCli({"effect", scene, "-o", dir.File("out.e3d"), "--csv", scene});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(ReadBytes(scene), before);
    EXPECT_FALSE(fs::exists(dir.File("out.e3d")));

    const std::string json = dir.File("scene.json");
    WriteText(json, "{}");
    run = RunCli({"build", json, "-o", json});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(ReadBytes(json), Bytes({'{', '}'}));
}

TEST(CliSaving, LinksAreFollowedAndNonRegularOutputsRefused) {
    TempDir dir;
    // A link to standard output writes there; the link stays a link.
    fs::create_symlink("/proc/self/fd/1", dir.File("out.3d"));
    CliRun run = RunCli({"new", dir.File("out.3d")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.size(), 118u);
    EXPECT_TRUE(fs::is_symlink(dir.File("out.3d")));

    const std::string fifo = dir.File("fifo.3d");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    run = RunCli({"new", fifo});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err,
              "sonivera-cli: Cannot write " + fifo + ": it is a FIFO, not a regular file\n");
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST(CliSaving, AStandardOutputThatCannotBeWrittenFailsTheCommand) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    TempDir dir;
    const std::string cli = Quoted(SONIVERA_CLI_PATH);
    EXPECT_EQ(Shell(cli + " check " + Quoted(DataFile("default.3d")) + " >/dev/full 2>/dev/null"),
              3);
    // The statistics are printed before the files are put into place: none is replaced.
    const std::string out = dir.File("out.e3d");
    WriteText(out, "previous");
    EXPECT_EQ(Shell(cli + " effect " + Quoted(DataFile("source-60-50.3d")) + " -o " + Quoted(out) +
                    " --stats >/dev/full 2>/dev/null"),
              3);
    EXPECT_EQ(ReadBytes(out), kPrevious);
}

TEST(CliSaving, OutputsThatCannotBeWrittenOrAreEmptyAreRefusedBeforeAnyWork) {
    TempDir dir;
    const std::string scene = DataFile("source-60-50.3d");
    const std::string missing = dir.File("no-such-folder/out.csv");
    CliRun run = RunCli({"effect", scene, "-o", dir.File("out.e3d"), "--csv", missing});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, "sonivera-cli: Cannot write " + missing +
                           ": No such file or directory; nothing was calculated or written\n");
    EXPECT_FALSE(fs::exists(dir.File("out.e3d")));
    run = RunCli({"wav", scene, "-o", missing});
    EXPECT_EQ(run.exitCode, 3) << run.err;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"effect", scene, "-o", ""},
          std::vector<std::string>{"auralize", scene, scene, "-o", dir.File("o.wav"), "--gain", ""},
          std::vector<std::string>{"new", ""}}) {
        run = RunCli(args);
        EXPECT_EQ(run.exitCode, 2) << args[0];
        EXPECT_NE(run.err.find("an empty value"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST(CliSaving, StandardInputAndOutputRedirectedToFilesAreRespected) {
    TempDir dir;
    const std::string cli = Quoted(SONIVERA_CLI_PATH);
    // `build - -o room.json < room.json`: the input is the output, refused, the JSON kept.
    const std::string json = dir.File("room.json");
    EXPECT_EQ(Shell(cli + " info " + Quoted(DataFile("source-60-50.3d")) + " --json > " +
                    Quoted(json)),
              0);
    const Bytes before = ReadBytes(json);
    EXPECT_EQ(Shell(cli + " build - -o " + Quoted(json) + " < " + Quoted(json) + " 2>/dev/null"),
              2);
    EXPECT_EQ(ReadBytes(json), before);
    // `-o /dev/stdout >> log`: appended after what the log held.
    const std::string log = dir.File("log.txt");
    WriteText(log, "line one\nline two\n");
    EXPECT_EQ(Shell(cli + " new /dev/stdout >> " + Quoted(log)), 0);
    const Bytes after = ReadBytes(log);
    ASSERT_EQ(after.size(), 18u + 118u);
    EXPECT_EQ(std::string(after.begin(), after.begin() + 18), "line one\nline two\n");
}

TEST(CliSaving, AnEffectThatIsNotFiniteIsRefusedNamingTheValue) {
    TempDir dir;
    auto scene = MakeDefaultScene();
    scene->params.mediumAbsorption = -100.0;
    auto* source = scene->Add<CSoundSource>();
    source->m_x = 60.0;
    source->m_y = 50.0;
    const std::string path = dir.File("negative.3d");
    WriteSceneFile(path, *scene);
    const std::string out = dir.File("out.e3d");
    WriteText(out, "previous");
    const CliRun run = RunCli({"effect", path, "-o", out});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(path + ": The effect is not finite"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("mediumAbsorption -100 is below 0"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(out), kPrevious);
}

// Ctrl+C twice while the effect file is being written: the program stays in charge, removes its
// temporary file, replaces nothing and says so.
TEST(CliSaving, InterruptsWhileWritingRemoveTheTemporaryAndWriteNothing) {
    TempDir dir;
    auto scene = MakeDefaultScene();
    scene->params.groupTime = 0.00025; // four million bins: a 32 MB effect file
    scene->params.rayCount = 1;
    const std::string path = dir.File("big.3d");
    WriteSceneFile(path, *scene);
    const std::string out = dir.File("out.e3d");

    // The process is stopped once it holds its temporary file; if it was renamed before the stop
    // landed, the attempt is repeated.
    for (int attempt = 0; attempt < 5; ++attempt) {
        WriteText(out, "previous");
        bool caught = false;
        const CliRun run = RunCli({"effect", path, "-o", out}, {}, [&](int pid) {
            using namespace std::chrono;
            const auto deadline = steady_clock::now() + seconds(60);
            while (!WritesTemporary(pid, dir) && steady_clock::now() < deadline) {
                siginfo_t info{};
                if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) ==
                        0 &&
                    info.si_pid == pid) {
                    return; // ended before a temporary was seen
                }
                std::this_thread::sleep_for(microseconds(200));
            }
            kill(pid, SIGSTOP);
            caught = WritesTemporary(pid, dir);
            kill(pid, SIGINT);
            kill(pid, SIGCONT);
            std::this_thread::sleep_for(milliseconds(2));
            kill(pid, SIGINT);
        });
        if (!caught) {
            continue;
        }
        EXPECT_EQ(run.signal, 0);
        EXPECT_EQ(run.exitCode, 130) << run.err;
        EXPECT_NE(run.err.find("Interrupted; no file was written."), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(out), kPrevious);
        EXPECT_FALSE(HasTemporary(dir));
        return;
    }
    GTEST_SKIP() << "the writing was never caught in the act";
}

} // namespace sonivera
