#include "AtomicFile.h"

#include "SceneFileError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(SceneFileError::Kind kind, const std::string& path, const char* what,
                       int err) {
    throw SceneFileError(kind, path, std::string(what) + " " + path + ": " + std::strerror(err));
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

mode_t DefaultFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

} // namespace

void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    const auto kind = SceneFileError::Kind::WriteFailed;
    std::string tmp = FolderOf(path) + "/.sonivera-XXXXXX";
    const int fd = mkstemp(tmp.data());
    if (fd < 0) {
        Fail(kind, path, "Cannot write", errno);
    }
    auto abandon = [&](int err) {
        close(fd);
        unlink(tmp.c_str());
        Fail(kind, path, "Cannot write", err);
    };
    struct stat st {};
    const mode_t mode = stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : DefaultFileMode();
    if (fchmod(fd, mode) != 0) {
        abandon(errno);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            abandon(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (fsync(fd) != 0) {
        abandon(errno);
    }
    if (close(fd) != 0) {
        const int err = errno;
        unlink(tmp.c_str());
        Fail(kind, path, "Cannot write", err);
    }
    if (rename(tmp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        unlink(tmp.c_str());
        Fail(kind, path, "Cannot write", err);
    }
}
