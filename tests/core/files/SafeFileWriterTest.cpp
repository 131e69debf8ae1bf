#include "core/files/SafeFileWriter.h"
#include "core/files/InputFile.h"
#include "core/files/FileError.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sonivera {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Every change of the process's umask in this program is counted: the writer must never change it
// (another thread creating a file meanwhile would get the wrong mode).
namespace {
std::atomic<int> g_umaskCalls{0};
}
extern "C" mode_t umask(mode_t mask) noexcept {
    ++g_umaskCalls;
    return static_cast<mode_t>(syscall(SYS_umask, mask));
}

namespace {

const Bytes kOld = {'o', 'l', 'd'};
const Bytes kNew = {'n', 'e', 'w', ' ', 'c', 'o', 'n', 't', 'e', 'n', 't'};

void Put(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

struct stat Stat(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st;
}

// The names in the folder, sorted: a leftover temporary file shows up here.
std::vector<std::string> Names(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The message of the FileError the write throws ("" when it does not throw).
std::string WriteError(const std::string& path, const Bytes& bytes = kNew) {
    try {
        WriteFileSafely(path, bytes);
    } catch (const FileError& e) {
        EXPECT_EQ(e.GetKind(), FileError::Kind::WriteFailed);
        return e.what();
    }
    return {};
}

} // namespace

TEST(SafeFileWriter, SymbolicLinksAreFollowedAndStayLinks) {
    TempDir dir;
    fs::create_directory(dir.File("real"));
    const std::string target = dir.File("real/scene.3d");
    Put(target, kOld);
    fs::create_symlink("real/scene.3d", dir.File("link.3d"));
    fs::create_symlink("link.3d", dir.File("link2.3d"));
    WriteFileSafely(dir.File("link2.3d"), kNew);
    EXPECT_TRUE(fs::is_symlink(dir.File("link.3d")));
    EXPECT_TRUE(fs::is_symlink(dir.File("link2.3d")));
    EXPECT_EQ(ReadWholeFile(target), kNew);

    // A link to a name not yet taken creates the file it names.
    fs::create_symlink("real/new.3d", dir.File("dangling.3d"));
    WriteFileSafely(dir.File("dangling.3d"), kNew);
    EXPECT_TRUE(fs::is_symlink(dir.File("dangling.3d")));
    EXPECT_EQ(ReadWholeFile(dir.File("real/new.3d")), kNew);
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"dangling.3d", "link.3d", "link2.3d", "real"}));
}

TEST(SafeFileWriter, TargetsThatAreNotRegularFilesAreRefusedByName) {
    TempDir dir;
    const std::string folder = dir.File("folder.3d");
    fs::create_directory(folder);
    const std::string fifo = dir.File("fifo.3d");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const std::string socketPath = dir.File("socket.3d");
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::vector<std::pair<std::string, std::string>> cases = {
        {folder, "a directory"}, {fifo, "a FIFO"}, {socketPath, "a socket"}};
    // A device node of its own (a copy of /dev/null) where the system lets us make one.
    const std::string device = dir.File("device.3d");
    if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        cases.emplace_back(device, "a device");
    }
    // Through a link too: the link's target is what counts.
    fs::create_symlink("fifo.3d", dir.File("to-fifo.3d"));
    cases.emplace_back(dir.File("to-fifo.3d"), "a FIFO");

    for (const auto& [path, kind] : cases) {
        const struct stat before = Stat(path);
        const std::string message = WriteError(path);
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_NE(message.find(kind), std::string::npos) << message;
        const struct stat after = Stat(path);
        EXPECT_EQ(after.st_ino, before.st_ino) << path;
        EXPECT_EQ(after.st_mode, before.st_mode) << path;
    }
    close(sock);
    EXPECT_EQ(Names(dir).size(), cases.size());
}

TEST(SafeFileWriter, HardLinkedFilesAreWrittenInPlaceAndStayOneFile) {
    TempDir dir;
    const std::string path = dir.File("scene.3d");
    Put(path, Bytes(5000, 'x'));
    fs::create_hard_link(path, dir.File("other-name.3d"));
    const ino_t inode = Stat(path).st_ino;
    WriteFileSafely(path, kNew);
    EXPECT_EQ(ReadWholeFile(path), kNew); // shorter than before: the rest was cut off
    EXPECT_EQ(ReadWholeFile(dir.File("other-name.3d")), kNew);
    EXPECT_EQ(Stat(path).st_ino, inode);
    EXPECT_EQ(Stat(path).st_nlink, 2u);
    EXPECT_EQ(Names(dir).size(), 2u);
}

TEST(SafeFileWriter, AFileSizeLimitIsAWriteErrorAndAnInPlaceSaveIsCutBack) {
    TempDir dir;
    const std::string path = dir.File("scene.3d");
    const Bytes old(3000, 'o');
    Put(path, old);
    fs::create_hard_link(path, dir.File("other-name.3d")); // written in place
    const std::string copy = dir.File("copy.3d");
    // In a child, so the limit and the signal's disposition stay there: a limit below the new
    // length (`ulimit -f`) must give the writer's error, not end the process.
    const pid_t pid = fork();
    if (pid == 0) {
        const rlimit limit{5000, 5000};
        setrlimit(RLIMIT_FSIZE, &limit);
        const std::string message = WriteError(path, Bytes(8000, 'n'));
        const bool named = message.find("File too large") != std::string::npos;
        const std::string fresh = WriteError(copy, Bytes(8000, 'n')); // through a temporary
        _exit(named && fresh.find("File too large") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadWholeFile(path), old); // its old length and content
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"other-name.3d", "scene.3d"}));
}

TEST(SafeFileWriter, TheOldCopiesOfAnInterruptedSaveAreFoundThroughLinksNewestFirst) {
    TempDir dir;
    fs::create_directory(dir.Path() / "real");
    const std::string path = dir.File("real/scene.3d");
    Put(path, kOld);
    fs::create_symlink("real/scene.3d", dir.File("link.3d"));
    EXPECT_TRUE(OldCopiesOf(dir.File("link.3d")).empty());
    Put(dir.File("real/.scene.3d.old-aaaaaaaa"), kOld);
    Put(dir.File("real/.scene.3d.old-bbbbbbbb"), kOld);
    fs::last_write_time(dir.File("real/.scene.3d.old-aaaaaaaa"),
                        fs::file_time_type::clock::now() - std::chrono::hours(1));
    // Other names are not copies of this file.
    Put(dir.File("real/.scene.3d.old-short"), kOld);
    Put(dir.File("real/.other.3d.old-cccccccc"), kOld);
    Put(dir.File(".link.3d.old-dddddddd"), kOld);
    EXPECT_EQ(OldCopiesOf(dir.File("link.3d")),
              (std::vector<std::string>{dir.File("real/.scene.3d.old-bbbbbbbb"),
                                        dir.File("real/.scene.3d.old-aaaaaaaa")}));
}

TEST(SafeFileWriter, ModeIsKeptWithoutSetuidOrSetgidAndOwnerIsKept) {
    TempDir dir;
    const std::string path = dir.File("scene.3d");
    Put(path, kOld);
    ASSERT_EQ(chmod(path.c_str(), 06750), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
    }
    const ino_t inode = Stat(path).st_ino;
    WriteFileSafely(path, kNew);
    const struct stat after = Stat(path);
    EXPECT_EQ(after.st_mode & 07777, 0750u);
    EXPECT_NE(after.st_ino, inode); // replaced through a temporary file
    EXPECT_EQ(ReadWholeFile(path), kNew);
    if (root) {
        EXPECT_EQ(after.st_uid, 65534u);
        EXPECT_EQ(after.st_gid, 65534u);
    }
}

TEST(SafeFileWriter, NewFilesTakeTheUmaskWithoutChangingIt) {
    TempDir dir;
    const mode_t old = static_cast<mode_t>(syscall(SYS_umask, 027));
    g_umaskCalls = 0;
    WriteFileSafely(dir.File("new.3d"), kNew);
    EXPECT_EQ(g_umaskCalls.load(), 0);
    syscall(SYS_umask, old);
    EXPECT_EQ(Stat(dir.File("new.3d")).st_mode & 07777, 0640u);
    EXPECT_EQ(ReadWholeFile(dir.File("new.3d")), kNew);
}

TEST(SafeFileWriter, SeveralFilesAreReplacedOnlyWhenAllWereWritten) {
    TempDir dir;
    const std::string first = dir.File("out.e3d");
    const std::string second = dir.File("out.csv");
    Put(first, kOld);
    Put(second, kOld);
    fs::create_directory(dir.File("taken"));
    const Bytes other = {'2'};

    // The second target cannot be written: the first keeps its old content.
    std::vector<FileOutput> outputs = {{first, kNew}, {dir.File("taken"), other}};
    EXPECT_THROW(WriteFilesSafely(outputs), FileError);
    EXPECT_EQ(ReadWholeFile(first), kOld);

    // Cancelled before anything was put into place: nothing changes.
    outputs = {{first, kNew}, {second, other}};
    std::atomic<bool> cancel{true};
    EXPECT_THROW(WriteFilesSafely(outputs, &cancel), WriteCancelled);
    EXPECT_EQ(ReadWholeFile(first), kOld);
    EXPECT_EQ(ReadWholeFile(second), kOld);
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"out.csv", "out.e3d", "taken"}));

    cancel = false;
    WriteFilesSafely(outputs, &cancel);
    EXPECT_EQ(ReadWholeFile(first), kNew);
    EXPECT_EQ(ReadWholeFile(second), other);
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"out.csv", "out.e3d", "taken"}));
}

TEST(SafeFileWriter, AnOutputThatIsAnInputOrAnotherOutputIsRefused) {
    TempDir dir;
    const std::string scene = dir.File("scene.3d");
    Put(scene, kOld);
    fs::create_hard_link(scene, dir.File("hard.3d"));
    fs::create_symlink("scene.3d", dir.File("soft.3d"));
    fs::create_directory(dir.File("sub"));
    const std::string viaDots = dir.File("sub/../scene.3d");

    for (const std::string& output : {scene, dir.File("hard.3d"), dir.File("soft.3d"), viaDots}) {
        EXPECT_THROW(RefuseSameFiles({scene}, {output}), SameFileError) << output;
    }
    // Two outputs naming one new file.
    EXPECT_THROW(RefuseSameFiles({scene}, {dir.File("new.e3d"), dir.File("sub/../new.e3d")}),
                 SameFileError);
    try {
        RefuseSameFiles({scene}, {dir.File("out.e3d"), dir.File("soft.3d")});
        ADD_FAILURE();
    } catch (const SameFileError& e) {
        EXPECT_NE(std::string(e.what()).find(dir.File("soft.3d")), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("input " + scene), std::string::npos) << e.what();
    }
    EXPECT_NO_THROW(RefuseSameFiles({scene, "-"}, {dir.File("out.e3d"), dir.File("out.csv")}));
    EXPECT_NO_THROW(RefuseSameFiles({"-"}, {"-"}));
    EXPECT_EQ(ReadWholeFile(scene), kOld);
}

} // namespace sonivera
