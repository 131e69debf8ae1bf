#include "core/model/SafeFileWriter.h"

#include "core/model/SceneFileError.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits.h>
#include <linux/falloc.h>
#include <linux/magic.h>
#include <memory>
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
    throw SceneFileError(SceneFileError::Kind::WriteFailed, path,
                         "Cannot write " + path + ": " + reason);
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

bool WriteAll(int fd, std::span<const std::uint8_t> bytes, const std::atomic<bool>* cancel,
              int& err) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (cancel && cancel->load()) {
            throw WriteCancelled();
        }
        const std::size_t want = std::min(kChunk, bytes.size() - done);
        const ssize_t n = pwrite(fd, bytes.data() + done, want, static_cast<off_t>(done));
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

// A name for a temporary file in `folder` that nobody is likely to have taken.
std::string TemporaryName(const std::string& folder) {
    static std::atomic<std::uint64_t> counter{0};
    thread_local std::mt19937_64 random(
        std::random_device{}() ^ static_cast<std::uint64_t>(getpid()) ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::uint64_t bits = random() ^ (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    std::string name = folder + "/.sonivera-";
    for (int i = 0; i < 8; ++i) {
        name += kLetters[bits % 62];
        bits /= 62;
    }
    return name;
}

// Creates a new, empty temporary file in `folder`; -1 with `err` set when the folder refuses it.
int CreateTemporary(const std::string& folder, mode_t mode, std::string& name, int& err) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryName(folder);
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
    ~StagedFile() {
        if (m_target >= 0) {
            close(m_target);
        }
        if (!m_temporary.empty()) {
            unlink(m_temporary.c_str());
        }
    }
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
    // Writes the temporary: true when it holds the content with the old file's owner and mode;
    // false (temporary removed) when the owner or group could not be kept.
    bool WriteTemporary(const struct stat* old, int tmp);
    void ReserveSpace(const struct stat& target);

    std::string m_path; // as given, for messages
    std::string m_name; // the final name, symbolic links followed
    std::span<const std::uint8_t> m_bytes;
    const std::atomic<bool>* m_cancel;
    std::string m_temporary;
    int m_target = -1; // the existing target, opened for writing
    bool m_inPlace = false;
    mode_t m_specialBits = 0; // setuid/setgid of a file written in place, to be cleared
};

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
    const int tmp = CreateTemporary(FolderOf(m_name), 0666, m_temporary, err);
    if (tmp < 0) {
        FailErrno(m_path, err);
    }
    WriteTemporary(nullptr, tmp);
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
    struct stat named {};
    // The file can be replaced by renaming only if the name found by following the links is that
    // very file, and not one reached through a link the system resolves itself.
    const bool nameIsTheFile = name && !magic && lstat(name->c_str(), &named) == 0 &&
                               S_ISREG(named.st_mode) && named.st_dev == target.st_dev &&
                               named.st_ino == target.st_ino;
    if (nameIsTheFile && target.st_nlink == 1) {
        m_name = *name;
        const int tmp = CreateTemporary(FolderOf(m_name), 0600, m_temporary, err);
        if (tmp >= 0) {
            if (WriteTemporary(&target, tmp)) {
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
    ReserveSpace(target);
}

bool StagedFile::WriteTemporary(const struct stat* old, int tmp) {
    struct Closer {
        int fd;
        ~Closer() {
            if (fd >= 0) {
                close(fd);
            }
        }
    } closer{tmp};
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
                unlink(m_temporary.c_str());
                m_temporary.clear();
                return false;
            }
        }
        if (fchmod(tmp, old->st_mode & 0777) != 0) {
            FailErrno(m_path, errno);
        }
    }
    int err = 0;
    if (!WriteAll(tmp, m_bytes, m_cancel, err)) {
        FailErrno(m_path, err);
    }
    if (fsync(tmp) != 0) {
        FailErrno(m_path, errno);
    }
    closer.fd = -1;
    if (close(tmp) != 0) {
        FailErrno(m_path, errno);
    }
    return true;
}

void StagedFile::ReserveSpace(const struct stat& target) {
    // Claim the blocks the larger content needs before touching the old one, so a full disk is
    // found while the file is still intact. File systems that cannot reserve are written anyway.
    const auto size = static_cast<off_t>(m_bytes.size());
    if (size <= target.st_size) {
        return;
    }
    // FALLOC_FL_KEEP_SIZE: the blocks are claimed without changing the file's length or content.
    if (fallocate(m_target, FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
        (errno == ENOSPC || errno == EDQUOT || errno == EFBIG)) {
        Fail(m_path, std::string(std::strerror(errno)) + " (the file was left as it was)");
    }
}

void StagedFile::WriteInPlace() {
    int err = 0;
    auto failed = [&](int error) {
        Fail(m_path, std::string(std::strerror(error)) +
                         ". The file was being written in place (its folder is not writable, it "
                         "has several names or its owner could not be kept), so a device error "
                         "may have damaged its old content.");
    };
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
}

void StagedFile::Rename() {
    if (rename(m_temporary.c_str(), m_name.c_str()) != 0) {
        FailErrno(m_path, errno);
    }
    m_temporary.clear();
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

void WriteFileSafely(const std::string& path, std::span<const std::uint8_t> bytes) {
    const FileOutput output{path, bytes};
    WriteFilesSafely(std::span(&output, 1));
}

void WriteFilesSafely(std::span<const FileOutput> outputs, const std::atomic<bool>* cancel) {
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
        } catch (const SceneFileError& e) {
            if (replaced.empty()) {
                throw;
            }
            std::string text = std::string(e.what()) + " (already replaced:";
            for (const auto& name : replaced) {
                text += " " + name;
            }
            throw SceneFileError(SceneFileError::Kind::WriteFailed, file.Path(), text + ")");
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
                throw SameFileError(files[j].path + ": is the same file as the " +
                                    (files[i].output ? "output " : "input ") + files[i].path +
                                    "; nothing was calculated or written");
            }
        }
    }
}

} // namespace sonivera
