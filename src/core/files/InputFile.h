#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sonivera {

// Reading a whole input file (a scene, a scene's JSON form) into memory, safely for any path the
// user may name: only regular files are read, and only up to a size far above any real scene, so
// a FIFO, a device such as /dev/zero or a huge file can neither hang the program nor exhaust its
// memory.

// The largest input read: 256 MiB. A scene of a million rectangles takes 52 MB as a scene file
// and about 200 MB as indented JSON; real scenes hold hundreds of objects.
inline constexpr std::uint64_t kMaxInputFileBytes = std::uint64_t{256} << 20;

// Reads the whole regular file. Throws FileError (CannotOpen) with the path and the reason:
// the system's, or "not a regular file" (a FIFO, a device, a socket; a directory gives the
// system's "Is a directory"), or "larger than 256 MiB". A FIFO is opened without waiting for a
// writer, so naming one never blocks.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

// The same with another size limit (sound files are larger than scenes).
std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::uint64_t maxBytes);

// Reads an open descriptor (standard input, say) to its end, refusing more than
// kMaxInputFileBytes. `name` is used in the messages. Throws FileError (CannotOpen).
std::vector<std::uint8_t> ReadWholeStream(int fd, const std::string& name);

} // namespace sonivera
