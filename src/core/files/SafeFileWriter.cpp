#include "core/files/SafeFileWriter.h"

#include "core/files/FileAttributes.h"
#include "core/files/FileError.h"
#include "core/text/ShownText.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits.h>
#include <linux/falloc.h>
#include <linux/magic.h>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace sonivera {

namespace {

constexpr int kMaxLinkDepth = 40;                    // as the system's own path resolution
constexpr std::size_t kChunk = std::size_t(1) << 20; // the cancel flag is checked between chunks

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
    throw FileError(FileError::Kind::WriteFailed, path,
                    "Cannot write " + ShownPath(path) + ": " + reason);
}

[[noreturn]] void FailErrno(const std::string& path, int err) {
    Fail(path, std::strerror(err));
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// What a non-regular file is, for the refusal's message.
const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a directory";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "not a plain file";
}

[[noreturn]] void FailNotRegular(const std::string& path, mode_t mode) {
    Fail(path, std::string("it is ") + KindOf(mode) + ", not a regular file");
}

// Follows symbolic links by name until a name that is not a link (or does not exist). Returns
// nothing and sets `err` when a link cannot be read or the chain is too long. `magic` is set when
// a link lies in /proc: the system resolves those itself (/dev/stdout → /proc/self/fd/1 → an open
// file), and the text they read as is no name to replace the file under.
std::optional<std::string> FollowLinks(std::string path, int& err, bool* magic = nullptr) {
    for (int depth = 0; depth <= kMaxLinkDepth; ++depth) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0) {
            if (errno == ENOENT) {
                return path;
            }
            err = errno;
            return std::nullopt;
        }
        if (!S_ISLNK(st.st_mode)) {
            return path;
        }
        struct statfs fs {};
        if (magic && statfs(FolderOf(path).c_str(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC) {
            *magic = true;
        }
        char buffer[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), buffer, sizeof buffer);
        if (n < 0 || static_cast<std::size_t>(n) >= sizeof buffer) {
            err = n < 0 ? errno : ENAMETOOLONG;
            return std::nullopt;
        }
        std::string target(buffer, static_cast<std::size_t>(n));
        path = (!target.empty() && target[0] == '/') ? target : FolderOf(path) + "/" + target;
    }
    err = ELOOP;
    return std::nullopt;
}

// Writes `bytes` at `offset` of the file.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes, const std::atomic<bool>* cancel,
              int& err, off_t offset = 0) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (cancel && cancel->load()) {
            throw WriteCancelled();
        }
        const std::size_t want = std::min(kChunk, bytes.size() - done);
        const ssize_t n = pwrite(fd, bytes.data() + done, want, offset + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            err = errno;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A name in `folder` that nobody is likely to have taken: `folder`/`prefix` and eight letters.
std::string UnusedName(const std::string& folder, const std::string& prefix) {
    static std::atomic<std::uint64_t> counter{0};
    thread_local std::mt19937_64 random(
        std::random_device{}() ^ static_cast<std::uint64_t>(getpid()) ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::uint64_t bits = random() ^ (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    std::string name = folder + "/" + prefix;
    for (int i = 0; i < 8; ++i) {
        name += kLetters[bits % 62];
        bits /= 62;
    }
    return name;
}

constexpr const char* kTemporaryPrefix = ".sonivera-";

// Creates a new, empty file under an unused name `folder`/`prefix`…; -1 with `err` set when the
// folder refuses it.
int CreateNamed(const std::string& folder, const std::string& prefix, mode_t mode,
                std::string& name, int& err) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = UnusedName(folder, prefix);
        const int fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            return fd;
        }
        if (errno != EEXIST) {
            err = errno;
            name.clear();
            return -1;
        }
    }
    err = EEXIST;
    name.clear();
    return -1;
}

// Creates the temporary for a new content in `folder`: unnamed where the file system offers it,
// so a process killed while writing leaves nothing behind (`name` stays empty then); a hidden
// named file otherwise. -1 with `err` set when the folder refuses it.
int CreateTemporary(const std::string& folder, mode_t mode, std::string& name, int& err) {
    name.clear();
    const int fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    if (fd >= 0) {
        return fd;
    }
    // Not offered (an older kernel or a file system without it): a named temporary.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
        err = errno;
        return -1;
    }
    return CreateNamed(folder, kTemporaryPrefix, mode, name, err);
}

// Gives the complete unnamed file `fd` an unused name `folder`/`prefix`…. False with `err` set when
// it cannot be linked.
bool NameTemporary(int fd, const std::string& folder, const std::string& prefix, std::string& name,
                   int& err) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = UnusedName(folder, prefix);
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) {
            return true;
        }
        if (errno != EEXIST) {
            err = errno;
            name.clear();
            return false;
        }
    }
    err = EEXIST;
    name.clear();
    return false;
}

void FlushFolder(const std::string& folder) {
    // Best effort: the file is already in place; a folder that cannot be flushed (some file
    // systems refuse fsync on a directory) does not undo that.
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// One output on its way: checked, and either written to its temporary or opened for writing in
// place. Whatever has not been put into place is cleaned up when it goes out of scope.
class StagedFile {
public:
    StagedFile(const FileOutput& output, const std::atomic<bool>* cancel)
        : m_path(output.path), m_bytes(output.bytes), m_cancel(cancel) {}
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    void Prepare();
    bool InPlace() const { return m_inPlace; }
    // Writes the content over the old one (in-place outputs only).
    void WriteInPlace();
    // Renames the temporary over the target (the other outputs).
    void Rename();
    const std::string& Path() const { return m_path; }
    std::string Folder() const { return FolderOf(m_name); }

private:
    void PrepareNew();
    void PrepareExisting();
    // Writes the temporary: true when it holds the content with the old file's owner, mode and
    // access list; false (temporary dropped) when one of them could not be kept.
    bool WriteTemporary(const struct stat* old);
    void DropTemporary();
    void CopyOldContent(const struct stat& target);
    void MakeRoom(const struct stat& target);
    void WriteToDescriptor();

    std::string m_path; // as given, for messages
    std::string m_name; // the final name, symbolic links followed
    std::span<const std::uint8_t> m_bytes;
    const std::atomic<bool>* m_cancel;
    int m_temporaryFd = -1;  // the complete temporary, kept open while it has no name
    std::string m_temporary; // its name, once it has one
    int m_target = -1;       // the existing target, opened for writing
    bool m_inPlace = false;
    int m_descriptor = -1;    // one of the process's own open descriptors names the target
    mode_t m_specialBits = 0; // setuid/setgid of a file written in place, to be cleared
    std::string m_oldCopy;    // a complete copy of the old content while writing in place
    off_t m_oldSize = -1;     // the old length, while the file has been lengthened
};

StagedFile::~StagedFile() {
    if (m_oldSize >= 0 && m_target >= 0) {
        // Lengthened to make room but never written: back to what it was.
        if (ftruncate(m_target, m_oldSize) != 0) {
            // Nothing more can be done here; the old content before m_oldSize is untouched.
        }
    }
    if (m_target >= 0) {
        close(m_target);
    }
    DropTemporary();
    if (!m_oldCopy.empty()) {
        unlink(m_oldCopy.c_str());
    }
}

void StagedFile::DropTemporary() {
    if (m_temporaryFd >= 0) {
        close(m_temporaryFd);
        m_temporaryFd = -1;
    }
    if (!m_temporary.empty()) {
        unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}

void StagedFile::Prepare() {
    struct stat target {};
    if (stat(m_path.c_str(), &target) != 0) {
        if (errno != ENOENT) {
            FailErrno(m_path, errno);
        }
        PrepareNew();
        return;
    }
    if (!S_ISREG(target.st_mode)) {
        FailNotRegular(m_path, target.st_mode);
    }
    PrepareExisting();
}

void StagedFile::PrepareNew() {
    int err = 0;
    const auto name = FollowLinks(m_path, err);
    if (!name) {
        FailErrno(m_path, err);
    }
    m_name = *name;
    // 0666: the system takes the umask (and any default ACL of the folder) off.
    m_temporaryFd = CreateTemporary(FolderOf(m_name), 0666, m_temporary, err);
    if (m_temporaryFd < 0) {
        FailErrno(m_path, err);
    }
    WriteTemporary(nullptr);
}

void StagedFile::PrepareExisting() {
    // Opening for writing asks the system whether this process may write the file, whoever it
    // runs as (a read-only file, a read-only file system, a running program). Non-blocking, so a
    // FIFO put there since the check cannot stall the open; nothing is truncated.
    m_target = open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_target < 0) {
        FailErrno(m_path, errno);
    }
    struct stat target {};
    if (fstat(m_target, &target) != 0) {
        FailErrno(m_path, errno);
    }
    if (!S_ISREG(target.st_mode)) {
        FailNotRegular(m_path, target.st_mode);
    }
    const int flags = fcntl(m_target, F_GETFL);
    if (flags >= 0) {
        fcntl(m_target, F_SETFL, flags & ~O_NONBLOCK);
    }

    int err = 0;
    bool magic = false;
    const auto name = FollowLinks(m_path, err, &magic);
    if (magic) {
        // /dev/stdout and the like: when the file is one the process already has open (a shell's
        // redirection), it is written through that descriptor with its own flags, so ">>"
        // appends and nothing before the descriptor's position is touched.
        for (int fd = 0; fd <= 2; ++fd) {
            struct stat open {};
            if (fstat(fd, &open) == 0 && open.st_dev == target.st_dev &&
                open.st_ino == target.st_ino) {
                m_descriptor = fd;
                m_inPlace = true;
                return;
            }
        }
    }
    struct stat named {};
    // The file can be replaced by renaming only if the name found by following the links is that
    // very file, and not one reached through a link the system resolves itself.
    const bool nameIsTheFile = name && !magic && lstat(name->c_str(), &named) == 0 &&
                               S_ISREG(named.st_mode) && named.st_dev == target.st_dev &&
                               named.st_ino == target.st_ino;
    if (nameIsTheFile && target.st_nlink == 1) {
        m_name = *name;
        m_temporaryFd = CreateTemporary(FolderOf(m_name), 0600, m_temporary, err);
        if (m_temporaryFd >= 0) {
            if (WriteTemporary(&target)) {
                close(m_target);
                m_target = -1;
                return;
            }
        } else if (err != EACCES && err != EPERM && err != EROFS) {
            FailErrno(m_path, err);
        }
    }
    m_name = name ? *name : m_path;
    m_inPlace = true;
    m_specialBits = target.st_mode & (S_ISUID | S_ISGID);
    CopyOldContent(target);
    MakeRoom(target);
}

bool StagedFile::WriteTemporary(const struct stat* old) {
    const int tmp = m_temporaryFd;
    if (old) {
        struct stat mine {};
        if (fstat(tmp, &mine) != 0) {
            FailErrno(m_path, errno);
        }
        if (mine.st_uid != old->st_uid || mine.st_gid != old->st_gid) {
            const bool same = fchown(tmp, old->st_uid, old->st_gid) == 0 ||
                              (mine.st_uid == old->st_uid && fchown(tmp, -1, old->st_gid) == 0);
            if (!same) {
                // A new file would change hands: keep the old file, write it in place.
                DropTemporary();
                return false;
            }
        }
        if (fchmod(tmp, old->st_mode & 0777) != 0) {
            FailErrno(m_path, errno);
        }
        if (!CopyFileAttributes(m_name, tmp)) {
            // Its access list could not be kept: the old file is written in place instead.
            DropTemporary();
            return false;
        }
    }
    int err = 0;
    if (!WriteAll(tmp, m_bytes, m_cancel, err)) {
        FailErrno(m_path, err);
    }
    if (fsync(tmp) != 0) {
        FailErrno(m_path, errno);
    }
    if (m_temporary.empty()) {
        return true; // unnamed: it stays open and gets its name just before the rename
    }
    m_temporaryFd = -1;
    if (close(tmp) != 0) {
        FailErrno(m_path, errno);
    }
    return true;
}

void StagedFile::CopyOldContent(const struct stat& target) {
    // A complete copy of the old content beside the file, synced before the first old byte is
    // overwritten, so a process killed half-way (or a power cut) leaves the old content whole
    // under a name the message gives. Where the folder takes no new file, or the process may not
    // read the file, it is written in place without one.
    const int from = open(m_name.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (from < 0) {
        return;
    }
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closeFrom{from};
    const std::string folder = FolderOf(m_name);
    const auto slash = m_name.rfind('/');
    const std::string base = slash == std::string::npos ? m_name : m_name.substr(slash + 1);
    // Unnamed until it is complete, where the file system offers it: a copy that has a name is
    // always whole.
    const std::string prefix = "." + base + ".old-";
    int err = 0;
    std::string named;
    int to = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (to < 0) {
        to = CreateNamed(folder, prefix, 0600, named, err);
    }
    if (to < 0) {
        if (err == EACCES || err == EPERM || err == EROFS) {
            return;
        }
        Fail(m_path, std::string("cannot keep a copy of the old content beside it: ") +
                         std::strerror(err) + " (the file was left as it was)");
    }
    Closer closeTo{to};
    std::vector<std::uint8_t> buffer(kChunk);
    off_t done = 0;
    while (done < target.st_size) {
        const ssize_t n = pread(from, buffer.data(), buffer.size(), done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break; // shorter than it was: what there is has been copied
        }
        if (!WriteAll(to, std::span(buffer.data(), static_cast<std::size_t>(n)), nullptr, err,
                      done)) {
            if (!named.empty()) {
                unlink(named.c_str());
            }
            Fail(m_path, std::string("cannot keep a copy of the old content beside it: ") +
                             std::strerror(err) + " (the file was left as it was)");
        }
        done += n;
    }
    if (fsync(to) != 0) {
        err = errno;
    } else if (named.empty() && !NameTemporary(to, folder, prefix, m_oldCopy, err)) {
        m_oldCopy.clear();
    } else if (!named.empty()) {
        m_oldCopy = named;
    }
    if (m_oldCopy.empty()) {
        if (!named.empty()) {
            unlink(named.c_str());
        }
        Fail(m_path, std::string("cannot keep a copy of the old content beside it: ") +
                         std::strerror(err) + " (the file was left as it was)");
    }
    FlushFolder(folder);
}

void StagedFile::MakeRoom(const struct stat& target) {
    // The blocks the larger content needs are claimed before the old content is touched, so a
    // full disk is found while the file is still intact: reserved where the file system can, and
    // by writing the part beyond the old length first.
    const auto size = static_cast<off_t>(m_bytes.size());
    if (size <= target.st_size) {
        return;
    }
    auto full = [&](int error) {
        Fail(m_path, std::string(std::strerror(error)) + " (the file was left as it was)");
    };
    // FALLOC_FL_KEEP_SIZE: the blocks are claimed without changing the file's length or content.
    // A reservation does not meet every limit (a file size limit, some quotas), so the part
    // beyond the old length is then written first all the same.
    if (fallocate(m_target, FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
        (errno == ENOSPC || errno == EDQUOT || errno == EFBIG)) {
        full(errno);
    }
    m_oldSize = target.st_size;
    int err = 0;
    const auto tail = m_bytes.subspan(static_cast<std::size_t>(target.st_size));
    if (!WriteAll(m_target, tail, nullptr, err, target.st_size) || fsync(m_target) != 0) {
        full(err != 0 ? err : errno);
    }
}

void StagedFile::WriteToDescriptor() {
    // The descriptor's own position and flags: appending where it appends.
    std::size_t done = 0;
    while (done < m_bytes.size()) {
        const ssize_t n = write(m_descriptor, m_bytes.data() + done, m_bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            FailErrno(m_path, errno);
        }
        done += static_cast<std::size_t>(n);
    }
    close(m_target);
    m_target = -1;
}

void StagedFile::WriteInPlace() {
    if (m_descriptor >= 0) {
        WriteToDescriptor();
        return;
    }
    int err = 0;
    auto failed = [&](int error) {
        std::string text =
            std::string(std::strerror(error)) +
            ". The file was being written in place (its folder is not writable, it has several "
            "names or its owner could not be kept), so its old content may be damaged";
        if (!m_oldCopy.empty()) {
            text += "; the old content is kept whole in " + ShownPath(m_oldCopy);
            m_oldCopy.clear(); // kept for the user
        }
        Fail(m_path, text + ".");
    };
    m_oldSize = -1; // from here on the new content is being written
    if (!WriteAll(m_target, m_bytes, nullptr, err)) {
        failed(err);
    }
    if (ftruncate(m_target, static_cast<off_t>(m_bytes.size())) != 0) {
        failed(errno);
    }
    if (m_specialBits != 0) {
        struct stat st {};
        if (fstat(m_target, &st) == 0 && (st.st_mode & (S_ISUID | S_ISGID)) != 0) {
            fchmod(m_target, st.st_mode & 0777);
        }
    }
    if (fsync(m_target) != 0) {
        failed(errno);
    }
    const int fd = m_target;
    m_target = -1;
    if (close(fd) != 0) {
        failed(errno);
    }
    if (!m_oldCopy.empty()) {
        unlink(m_oldCopy.c_str());
        m_oldCopy.clear();
        FlushFolder(FolderOf(m_name));
    }
}

void StagedFile::Rename() {
    int err = 0;
    if (m_temporary.empty() &&
        !NameTemporary(m_temporaryFd, FolderOf(m_name), kTemporaryPrefix, m_temporary, err)) {
        FailErrno(m_path, err);
    }
    if (rename(m_temporary.c_str(), m_name.c_str()) != 0) {
        FailErrno(m_path, errno);
    }
    m_temporary.clear();
    if (m_temporaryFd >= 0) {
        close(m_temporaryFd);
        m_temporaryFd = -1;
    }
}

bool Cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load();
}

// The name of a file once links and "."/".." are resolved, for comparing names.
std::string ResolvedName(const std::string& path) {
    int err = 0;
    const auto name = FollowLinks(path, err);
    std::error_code ec;
    const auto resolved = std::filesystem::weakly_canonical(name ? *name : path, ec);
    return ec ? path : resolved.string();
}

} // namespace

namespace {

// A file size limit (`ulimit -f`) is met by a write that then fails with EFBIG, reported and
// undone like a full disk, instead of the signal that would end the process half-way through an
// in-place save with no message. Only the default action is replaced: a handler the program
// installed itself is kept.
void IgnoreFileSizeSignal() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
            signal(SIGXFSZ, SIG_IGN);
        }
    });
}

} // namespace

void WriteFileSafely(const std::string& path, std::span<const std::uint8_t> bytes) {
    const FileOutput output{path, bytes};
    WriteFilesSafely(std::span(&output, 1));
}

void WriteFilesSafely(std::span<const FileOutput> outputs, const std::atomic<bool>* cancel) {
    IgnoreFileSizeSignal();
    std::vector<std::unique_ptr<StagedFile>> staged;
    for (const FileOutput& output : outputs) {
        staged.push_back(std::make_unique<StagedFile>(output, cancel));
        staged.back()->Prepare();
    }
    if (Cancelled(cancel)) {
        throw WriteCancelled();
    }
    // The in-place files first: should one fail, no other file has been replaced yet. Renaming a
    // written temporary within its folder practically cannot fail after that.
    std::vector<std::string> replaced;
    auto commit = [&](StagedFile& file, bool inPlace) {
        if (replaced.empty() && Cancelled(cancel)) {
            throw WriteCancelled();
        }
        try {
            if (inPlace) {
                file.WriteInPlace();
            } else {
                file.Rename();
            }
        } catch (const FileError& e) {
            if (replaced.empty()) {
                throw;
            }
            std::string text = std::string(e.what()) + " (already replaced:";
            for (const auto& name : replaced) {
                text += " " + ShownPath(name);
            }
            throw FileError(FileError::Kind::WriteFailed, file.Path(), text + ")");
        }
        replaced.push_back(file.Path());
    };
    for (auto& file : staged) {
        if (file->InPlace()) {
            commit(*file, true);
        }
    }
    for (auto& file : staged) {
        if (!file->InPlace()) {
            commit(*file, false);
            FlushFolder(file->Folder());
        }
    }
}

void CheckCanWrite(const std::string& path) {
    if (path == "-") {
        return;
    }
    struct stat target {};
    if (stat(path.c_str(), &target) == 0) {
        if (!S_ISREG(target.st_mode)) {
            FailNotRegular(path, target.st_mode);
        }
        const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            FailErrno(path, errno);
        }
        close(fd);
        return;
    }
    if (errno != ENOENT) {
        FailErrno(path, errno);
    }
    int err = 0;
    const auto name = FollowLinks(path, err);
    if (!name) {
        FailErrno(path, err);
    }
    const std::string folder = FolderOf(*name);
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0) {
        FailErrno(path, errno);
    }
    if (!S_ISDIR(st.st_mode)) {
        FailErrno(path, ENOTDIR);
    }
    if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        FailErrno(path, errno);
    }
}

void RefuseSameFiles(const std::vector<std::string>& inputs,
                     const std::vector<std::string>& outputs) {
    struct Named {
        std::string path;
        bool output;
        bool exists;
        struct stat st;
        std::string resolved;
    };
    std::vector<Named> files;
    auto add = [&](const std::string& path, bool output) {
        if (!output && path == "-") {
            // Standard input read from a file (`< room.json`): that file is an input too.
            Named in{"standard input", false, false, {}, std::string(1, '\0')};
            in.exists = fstat(STDIN_FILENO, &in.st) == 0 && S_ISREG(in.st.st_mode);
            if (in.exists) {
                files.push_back(std::move(in));
            }
            return;
        }
        if (path.empty() || path == "-") {
            return;
        }
        Named named{path, output, false, {}, ResolvedName(path)};
        named.exists = stat(path.c_str(), &named.st) == 0;
        files.push_back(std::move(named));
    };
    for (const auto& path : inputs) {
        add(path, false);
    }
    for (const auto& path : outputs) {
        add(path, true);
    }
    for (std::size_t j = 0; j < files.size(); ++j) {
        if (!files[j].output) {
            continue;
        }
        for (std::size_t i = 0; i < j; ++i) {
            const bool sameInode = files[i].exists && files[j].exists &&
                                   files[i].st.st_dev == files[j].st.st_dev &&
                                   files[i].st.st_ino == files[j].st.st_ino;
            if (sameInode || files[i].resolved == files[j].resolved) {
                throw SameFileError(ShownPath(files[j].path) + ": is the same file as the " +
                                    (files[i].output ? "output " : "input ") +
                                    ShownPath(files[i].path) +
                                    "; nothing was calculated or written");
            }
        }
    }
}

std::vector<std::string> OldCopiesOf(const std::string& path) {
    int err = 0;
    const auto name = FollowLinks(path, err);
    std::vector<std::string> copies;
    if (!name) {
        return copies;
    }
    const std::string folder = FolderOf(*name);
    const auto slash = name->rfind('/');
    const std::string prefix =
        "." + (slash == std::string::npos ? *name : name->substr(slash + 1)) + ".old-";
    std::error_code ec;
    std::vector<std::pair<std::filesystem::file_time_type, std::string>> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string base = entry.path().filename().string();
        std::error_code ignored;
        if (base.size() == prefix.size() + 8 && base.compare(0, prefix.size(), prefix) == 0 &&
            entry.is_regular_file(ignored)) {
            found.emplace_back(entry.last_write_time(ignored),
                               (folder == "." ? base : folder + "/" + base));
        }
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    for (auto& [time, copy] : found) {
        copies.push_back(std::move(copy));
    }
    return copies;
}

} // namespace sonivera
