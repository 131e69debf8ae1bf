#pragma once

#include "core/files/SafeFileWriter.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sonivera {

// The subcommands' outputs, written through the core's safe writer with its failures turned into
// CliFailure.

// Refuses (exit 2), before anything is read or calculated, an output that is the same file as an
// input or another output, and (exit 3) one that cannot be written (see CheckCanWrite). Empty
// names are options not given and are skipped: an empty name given on purpose is refused as a
// usage error where the options are read.
void RefuseSameFilesOrFail(const std::vector<std::string>& inputs,
                           const std::vector<std::string>& outputs);

// Writes every output as one step: a failure leaves every target as it was (exit 3, the path and
// the reason); Ctrl+C before the first file is in place removes the temporaries and writes
// nothing (exit 130).
void WriteOutputsOrFail(std::span<const FileOutput> outputs);
void WriteBytesOrFail(const std::string& path, std::span<const std::uint8_t> bytes);

// The bytes of a text, for a FileOutput.
std::span<const std::uint8_t> TextBytes(const std::string& text);

// Flushes standard output; a failed write there (a full disk, a closed pipe) is exit 3.
void FlushStandardOutputOrFail();

} // namespace sonivera
