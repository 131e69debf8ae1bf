#include "core/files/InputFile.h"

#include "core/files/FileError.h"
#include "core/text/ShownText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonivera {

namespace {

[[noreturn]] void Fail(const std::string& path, const char* what, const std::string& reason) {
    throw FileError(FileError::Kind::CannotOpen, path,
                         std::string(what) + " " + ShownPath(path) + ": " + reason);
}

[[noreturn]] void FailTooLarge(const std::string& path, std::uint64_t maxBytes) {
    Fail(path, "Cannot read",
         "larger than " + std::to_string(maxBytes >> 20) + " MiB, the limit for an input file");
}

// Closes the descriptor when the reading ends, on every path.
class FdCloser {
public:
    explicit FdCloser(int fd) : m_fd(fd) {}
    ~FdCloser() { close(m_fd); }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;

private:
    int m_fd;
};

// Reads to the end of the descriptor, appending to `bytes`; more than kMaxInputFileBytes in all
// is refused as soon as the first byte beyond is read.
void ReadToEnd(int fd, const std::string& name, std::vector<std::uint8_t>& bytes,
               std::uint64_t maxBytes) {
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(name, "Cannot read", std::strerror(errno));
        }
        if (n == 0) {
            return;
        }
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
            FailTooLarge(name, maxBytes);
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
}

} // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    return ReadWholeFile(path, kMaxInputFileBytes);
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::uint64_t maxBytes) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer. Regular files
    // ignore the flag.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        Fail(path, "Cannot open", std::strerror(errno));
    }
    FdCloser closer(fd);
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        Fail(path, "Cannot open", std::strerror(errno));
    }
    if (S_ISDIR(st.st_mode)) {
        Fail(path, "Cannot open", std::strerror(EISDIR));
    }
    if (!S_ISREG(st.st_mode)) {
        Fail(path, "Cannot open", "not a regular file");
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        FailTooLarge(path, maxBytes);
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    ReadToEnd(fd, path, bytes, maxBytes);
    return bytes;
}

std::vector<std::uint8_t> ReadWholeStream(int fd, const std::string& name) {
    std::vector<std::uint8_t> bytes;
    ReadToEnd(fd, name, bytes, kMaxInputFileBytes);
    return bytes;
}

} // namespace sonivera
