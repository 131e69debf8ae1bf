#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace sonivera {

// The one writer of every file the program writes (scenes, effects, tables). It saves the way a
// careful editor does:
//
// - A symbolic link is followed and the file it points to is written; the link stays.
// - A target that exists and is not a regular file (a directory, FIFO, device, socket) is refused
//   with a message naming the path. So is a file the process may not open for writing, with the
//   system's reason; it is left untouched.
// - Normally the new content goes to a temporary file in the target's folder — unnamed where
//   the file system offers it, so a process killed meanwhile leaves nothing behind — which is
//   flushed to the disk, given the old file's permission bits (setuid, setgid and sticky
//   dropped), owner and group, access control list and user attributes, named and renamed over
//   the target; the folder is flushed after the rename. A failure at any step leaves the old file
//   as it was.
// - Where that cannot keep the file what it is — its folder is not writable, it has several
//   names (hard links), its owner, group or access list cannot be given to a new file, or its
//   name cannot be found by following the links — the file is written in place from a buffer
//   that already holds the whole new content. Before the first old byte is overwritten, a
//   complete copy of the old content is synced beside it (".NAME.old-XXXXXXXX", where the folder
//   takes a new file and the process may read the file) and the space the longer content needs
//   is claimed (reserved, or else the part beyond the old length written first), so a full disk
//   leaves the file as it was. A failure after that is reported with the copy's name; the copy
//   is removed once the new content is synced.
// - A target the process already has open as standard input, output or error (a shell's
//   redirection reached through /dev/stdout or /proc/self/fd) is written through that
//   descriptor, at its position and with its flags: ">>" appends.
// - A new file is created with the mode 0666 less the process's umask, applied by the system
//   itself (the umask is never changed).
//
// Failures throw FileError (Kind::WriteFailed) with the path and the system's reason.

// One file to write: the path as the user gave it and its complete new content.
struct FileOutput {
    std::string path;
    std::span<const std::uint8_t> bytes;
};

// The cancel flag was found set before anything was replaced. Every temporary file is removed and
// every target is as it was.
class WriteCancelled : public std::runtime_error {
public:
    WriteCancelled() : std::runtime_error("Interrupted; no file was written.") {}
};

// An output names the same file as an input or as another output.
class SameFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes one file safely (see above).
void WriteFileSafely(const std::string& path, std::span<const std::uint8_t> bytes);

// Writes several files as one step: every file is first written to its temporary (and every target
// is checked) and only when all of them succeeded are they put into place, so a failure or a
// cancellation before that leaves every target as it was. `cancel`, when given, is checked while
// the temporaries are written and before each file is put into place; once the first file is in
// place the rest follow, so the outputs stay consistent. Throws WriteCancelled or FileError.
void WriteFilesSafely(std::span<const FileOutput> outputs,
                      const std::atomic<bool>* cancel = nullptr);

// Checks, before any work, that `path` can be written: an existing target must be a regular file
// the process may open for writing (nothing is truncated), a new one needs an existing folder
// the process may create files in. Throws FileError (Kind::WriteFailed) with the path and
// the reason otherwise. "-" (standard output) passes. The write itself still goes through the
// safe writer, which checks again.
void CheckCanWrite(const std::string& path);

// Throws SameFileError when an output is the same file as an input or as another output: the same
// device and inode, or the same name once symbolic links and "."/".." are resolved (so a file yet
// to be created counts too). An input "-" is standard input: the file it reads from, if it is
// one, counts as an input (so `-o /proc/self/fd/0` or an output named as that file is refused).
// An output "-" is standard output and is skipped.
void RefuseSameFiles(const std::vector<std::string>& inputs,
                     const std::vector<std::string>& outputs);

// The copies of the old content an in-place save of `path` left beside the file because it was
// ended before it finished (killed, a power cut): ".NAME.old-" and eight letters in the folder of
// the file the links lead to, newest first. A copy has a name only once it is complete, so each
// is the whole content the file had before that save; the file itself may be a mix of old and new.
std::vector<std::string> OldCopiesOf(const std::string& path);

} // namespace sonivera
