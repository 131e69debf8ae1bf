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

} // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    const auto kind = SceneFileError::Kind::CannotOpen;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        Fail(kind, path, "Cannot open", errno);
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        close(fd);
        Fail(kind, path, "Cannot open", err);
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int err = errno;
            close(fd);
            Fail(kind, path, "Cannot read", err);
        }
        if (n == 0) {
            break;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    close(fd);
    return bytes;
}
