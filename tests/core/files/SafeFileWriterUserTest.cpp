// The writer as an ordinary user sees it: permissions are the system's answer, not root's.
#include "core/files/InputFile.h"
#include "core/files/SafeFileWriter.h"
#include "core/files/FileError.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sonivera {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr uid_t kNobody = 65534;
constexpr int kCannotSwitch = 77;
constexpr int kWritten = 0;
constexpr int kPermissionDenied = 1;
constexpr int kOtherError = 2;

const Bytes kOld = {'o', 'l', 'd'};
const Bytes kNew = {'n', 'e', 'w', '!'};

void Put(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Writes `path` in a child process running as an unprivileged user: as nobody when the tests run
// as root (as CI does), else as the user running them. Returns one of the codes above.
int WriteAsUser(const std::string& path) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 ||
                               setuid(kNobody) != 0 || geteuid() == 0)) {
            _exit(kCannotSwitch);
        }
        try {
            WriteFileSafely(path, kNew);
        } catch (const FileError& e) {
            const std::string expected = "Cannot write " + path + ": Permission denied";
            _exit(std::string(e.what()) == expected ? kPermissionDenied : kOtherError);
        } catch (...) {
            _exit(kOtherError);
        }
        _exit(kWritten);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Makes the folder one the unprivileged user may enter and, with `writable`, create files in; its
// owner may write it again afterwards, so it can be removed.
struct OpenUp {
    OpenUp(const TempDir& dir, bool writable) : path(dir.Path()) {
        fs::permissions(path, writable ? fs::perms::all : fs::perms(0555));
    }
    ~OpenUp() { fs::permissions(path, fs::perms::owner_all); }
    fs::path path;
};

} // namespace

TEST(SafeFileWriterAsUser, AReadOnlyFileInAWritableFolderIsRefusedAndUntouched) {
    TempDir dir;
    const OpenUp open(dir, true);
    const std::string path = dir.File("scene.3d");
    Put(path, kOld);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
    }
    const int result = WriteAsUser(path);
    if (result == kCannotSwitch) {
        GTEST_SKIP() << "cannot switch to an unprivileged user (uid " << kNobody << ")";
    }
    EXPECT_EQ(result, kPermissionDenied);
    EXPECT_EQ(ReadWholeFile(path), kOld);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);
}

TEST(SafeFileWriterAsUser, AWritableFileInAFolderTheUserCannotWriteIsWrittenInPlace) {
    TempDir dir;
    const std::string path = dir.File("scene.3d");
    Put(path, Bytes(100, 'x'));
    ASSERT_EQ(chmod(path.c_str(), 0666), 0);
    const OpenUp open(dir, false);
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    const int result = WriteAsUser(path);
    if (result == kCannotSwitch) {
        GTEST_SKIP() << "cannot switch to an unprivileged user (uid " << kNobody << ")";
    }
    EXPECT_EQ(result, kWritten);
    EXPECT_EQ(ReadWholeFile(path), kNew);
    struct stat after {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_mode, before.st_mode);
}

TEST(SafeFileWriterAsUser, ANewFileInAFolderTheUserCannotWriteIsRefused) {
    TempDir dir;
    const OpenUp open(dir, false);
    const int result = WriteAsUser(dir.File("new.3d"));
    if (result == kCannotSwitch) {
        GTEST_SKIP() << "cannot switch to an unprivileged user (uid " << kNobody << ")";
    }
    EXPECT_EQ(result, kPermissionDenied);
    EXPECT_FALSE(fs::exists(dir.File("new.3d")));
}

TEST(SafeFileWriterAsUser, AnotherUsersGroupWritableFileKeepsItsOwner) {
    // The folder and the file belong to root; the user may write both (mode 0777 / 0666). A
    // replacing file would belong to the user, so the file is written in place instead.
    TempDir dir;
    const OpenUp open(dir, true);
    const std::string path = dir.File("shared.3d");
    Put(path, kOld);
    ASSERT_EQ(chmod(path.c_str(), 0666), 0);
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs a file of another user: run as root";
    }
    const int result = WriteAsUser(path);
    if (result == kCannotSwitch) {
        GTEST_SKIP() << "cannot switch to an unprivileged user (uid " << kNobody << ")";
    }
    EXPECT_EQ(result, kWritten);
    EXPECT_EQ(ReadWholeFile(path), kNew);
    struct stat after {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, 0u);
    EXPECT_EQ(after.st_mode & 07777, 0666u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);
}

} // namespace sonivera
