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
// - Normally the new content goes to a temporary file in the target's folder, which is flushed to
//   the disk, given the old file's permission bits (setuid, setgid and sticky dropped) and its
//   owner and group, and then renamed over the target; the folder is flushed after the rename.
//   A failure at any step leaves the old file as it was.
// - Where that cannot keep the file what it is — its folder is not writable, it has several
//   names (hard links), its owner or group cannot be given to a new file, or its name cannot be
//   found by following the links — the file is written in place from a buffer that already holds
//   the whole new content, after its space was reserved where the file system allows. A failure
//   then is reported as a device error that may have damaged the old content.
// - A new file is created with the mode 0666 less the process's umask, applied by the system
//   itself (the umask is never changed).
//
// Failures throw SceneFileError (Kind::WriteFailed) with the path and the system's reason.

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
// place the rest follow, so the outputs stay consistent. Throws WriteCancelled or SceneFileError.
void WriteFilesSafely(std::span<const FileOutput> outputs,
                      const std::atomic<bool>* cancel = nullptr);

// Throws SameFileError when an output is the same file as an input or as another output: the same
// device and inode, or the same name once symbolic links and "."/".." are resolved (so a file yet
// to be created counts too). "-" (standard input or output) is not a file and is skipped.
void RefuseSameFiles(const std::vector<std::string>& inputs,
                     const std::vector<std::string>& outputs);

} // namespace sonivera
