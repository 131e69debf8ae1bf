#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace sonivera {

// A sound file whose header announces more sound data than the file holds: a copy cut short,
// which the sound library reads without a word (it plays what is there). Found from the
// containers' own headers: WAV and RF64 (little-endian chunks; RF64's sizes in its ds64 chunk),
// Wave64 (GUID chunks with 64-bit sizes), AIFF and AIFF-C (big-endian chunks, SSND), and AU (its
// data size field). Sizes that mean "not known" (a stream written without its final size) are no
// cut.
struct CutShortData {
    std::uint64_t announced = 0; // frames where the frame size is known, else bytes
    std::uint64_t present = 0;
    bool frames = false;
};

std::optional<CutShortData> FindCutShort(std::span<const std::uint8_t> bytes);

} // namespace sonivera
