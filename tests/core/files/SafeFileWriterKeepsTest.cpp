// What a save keeps beyond the content: access lists and attributes, the old content while a file
// is written in place, a shell's redirection, and no leftovers when the writer is killed.
#include "core/files/InputFile.h"
#include "core/files/SafeFileWriter.h"
#include "core/files/FileError.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

namespace sonivera {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

void Put(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Names(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// An access list in the system's attribute form: owner rw, user `uid` rw, group r, mask rw,
// others none.
std::vector<char> AccessList(std::uint32_t uid) {
    struct Entry {
        std::uint16_t tag, perm;
        std::uint32_t id;
    };
    const std::uint32_t none = 0xFFFFFFFFu;
    const Entry entries[] = {{0x01, 6, none}, {0x02, 6, uid}, {0x04, 4, none},
                             {0x10, 6, none}, {0x20, 0, none}};
    std::vector<char> bytes(4 + sizeof entries);
    const std::uint32_t version = 2;
    std::memcpy(bytes.data(), &version, 4);
    std::memcpy(bytes.data() + 4, entries, sizeof entries);
    return bytes;
}

std::vector<char> Attribute(const std::string& path, const char* name) {
    std::vector<char> value(256);
    const ssize_t n = getxattr(path.c_str(), name, value.data(), value.size());
    value.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return value;
}

// Runs `body` in a child process; its exit status.
template <class Body>
int InChild(Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

} // namespace

TEST(SafeFileWriterKeeps, TheAccessListAndUserAttributesAcrossASave) {
    TempDir dir;
    const std::string path = dir.File("scene.3d");
    Put(path, {'o', 'l', 'd'});
    const std::vector<char> list = AccessList(65534);
    if (setxattr(path.c_str(), "system.posix_acl_access", list.data(), list.size(), 0) != 0 ||
        setxattr(path.c_str(), "user.note", "kept", 4, 0) != 0) {
        GTEST_SKIP() << "the file system takes no access lists or user attributes";
    }
    struct stat before {};
    stat(path.c_str(), &before);
    WriteFileSafely(path, Bytes{'n', 'e', 'w'});
    struct stat after {};
    stat(path.c_str(), &after);
    EXPECT_EQ(ReadWholeFile(path), (Bytes{'n', 'e', 'w'}));
    EXPECT_EQ(Attribute(path, "system.posix_acl_access"), list);
    EXPECT_EQ(Attribute(path, "user.note"), (std::vector<char>{'k', 'e', 'p', 't'}));
    // The group bits are the list's mask (rw), not widened or narrowed by the save.
    EXPECT_EQ(after.st_mode & 0777, before.st_mode & 0777);
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"scene.3d"}));
}

TEST(SafeFileWriterKeeps, NoTemporaryWhenTheWriterIsKilled) {
    TempDir dir;
    const std::string path = dir.File("big.e3d");
    Put(path, {'o', 'l', 'd'});
    for (int delayMs : {0, 2, 10}) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t pid = fork();
        if (pid == 0) {
            const Bytes big(std::size_t(256) << 20, 7);
            (void)!write(ready[1], "r", 1); // the content is ready: writing starts now
            WriteFileSafely(path, big);
            _exit(0);
        }
        char r = 0;
        (void)!read(ready[0], &r, 1);
        close(ready[0]);
        close(ready[1]);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        EXPECT_EQ(Names(dir), (std::vector<std::string>{"big.e3d"})) << delayMs << " ms";
    }
}

TEST(SafeFileWriterKeeps, AWholeCopyOfTheOldContentWhileWritingInPlace) {
    TempDir dir;
    const std::string path = dir.File("linked.3d");
    const Bytes old(std::size_t(8) << 20, 'o');
    Put(path, old);
    fs::create_hard_link(path, dir.File("other-name.3d")); // written in place from now on

    // A complete save leaves no copy behind.
    WriteFileSafely(path, Bytes{'n'});
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"linked.3d", "other-name.3d"}));
    Put(path, old);

    // Killed as soon as the copy has a name (it is named only when whole): the copy holds the
    // old content, whatever the file itself holds by then.
    const pid_t pid = fork();
    if (pid == 0) {
        const Bytes big(std::size_t(256) << 20, 'n');
        WriteFileSafely(path, big);
        _exit(0);
    }
    std::string copy;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (copy.empty() && std::chrono::steady_clock::now() < until) {
        for (const auto& name : Names(dir)) {
            if (name.rfind(".linked.3d.old-", 0) == 0) {
                copy = dir.File(name);
            }
        }
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    ASSERT_FALSE(copy.empty()) << "no copy of the old content appeared";
    EXPECT_EQ(ReadWholeFile(copy), old);
}

TEST(SafeFileWriterKeeps, ALongerContentThatDoesNotFitLeavesTheOldFileAsItWas) {
    TempDir dir;
    const std::string path = dir.File("linked.wav");
    const Bytes old(64 << 10, 'o');
    Put(path, old);
    fs::create_hard_link(path, dir.File("other.wav"));
    // The file size limit stands in for a full disk: the longer content cannot get its room.
    const int status = InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{128 << 10, 128 << 10};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            WriteFileSafely(path, Bytes(1 << 20, 'n'));
        } catch (const FileError& e) {
            return std::string(e.what()).find("left as it was") != std::string::npos ? 0 : 2;
        }
        return 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadWholeFile(path), old);
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"linked.wav", "other.wav"}));
}

TEST(SafeFileWriterKeeps, StandardOutputRedirectedToAFileIsWrittenWithItsOwnFlags) {
    TempDir dir;
    const std::string log = dir.File("log.txt");
    Put(log, {'l', 'o', 'g', '\n'});
    // `-o /dev/stdout >> log.txt`: appended, nothing before it lost.
    const int status = InChild([&] {
        const int fd = open(log.c_str(), O_WRONLY | O_APPEND);
        dup2(fd, STDOUT_FILENO);
        WriteFileSafely("/dev/stdout", Bytes{'n', 'e', 'w', '\n'});
        return 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadWholeFile(log), (Bytes{'l', 'o', 'g', '\n', 'n', 'e', 'w', '\n'}));
}

TEST(SafeFileWriterKeeps, StandardInputReadFromTheOutputFileIsRefused) {
    TempDir dir;
    const std::string input = dir.File("room.json");
    Put(input, {'{', '}'});
    const int status = InChild([&] {
        const int fd = open(input.c_str(), O_RDONLY);
        dup2(fd, STDIN_FILENO);
        int refused = 0;
        for (const std::string& output : {input, std::string("/proc/self/fd/0")}) {
            try {
                RefuseSameFiles({"-"}, {output});
            } catch (const SameFileError& e) {
                refused += std::string(e.what()).find("standard input") != std::string::npos;
            }
        }
        RefuseSameFiles({"-"}, {dir.File("other.json")}); // another file is fine
        return refused;
    });
    EXPECT_EQ(status, 2);
}

} // namespace sonivera
