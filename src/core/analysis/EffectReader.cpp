#include "core/analysis/EffectReader.h"

#include "core/files/BinaryArchive.h"

#include <cmath>

namespace sonivera {

namespace {

constexpr std::uint8_t kTag[] = {6, 'E', 'F', 'F', 'E', 'C', 'T'};
constexpr std::size_t kHeaderSize = 19;

} // namespace

EffectFileData ReadEffectBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kHeaderSize) {
        throw EffectFormatError("too short for an effect file (" + std::to_string(bytes.size()) +
                                " bytes; the header alone has 19)");
    }
    for (std::size_t i = 0; i < sizeof kTag; ++i) {
        if (bytes[i] != kTag[i]) {
            throw EffectFormatError("not an effect file (it does not start with the tag EFFECT)");
        }
    }
    ArchiveReader ar(bytes.subspan(sizeof kTag));
    const std::int32_t count = ar.ReadInt32();
    EffectFileData data;
    data.stopTime = ar.ReadDouble();
    if (count < 0) {
        throw EffectFormatError("the bin count is negative (" + std::to_string(count) + ")");
    }
    const std::size_t expected = kHeaderSize + 8 * static_cast<std::size_t>(count);
    if (bytes.size() != expected) {
        throw EffectFormatError("the file has " + std::to_string(bytes.size()) +
                                " bytes, but a bin count of " + std::to_string(count) +
                                " needs exactly " + std::to_string(expected));
    }
    if (!std::isfinite(data.stopTime) || data.stopTime < 0.0) {
        throw EffectFormatError("the stop time is not a finite number of milliseconds, 0 or more");
    }
    data.bins.resize(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < data.bins.size(); ++i) {
        data.bins[i] = ar.ReadDouble();
        if (!std::isfinite(data.bins[i])) {
            throw EffectFormatError("bin " + std::to_string(i) +
                                    " is not a finite number (NaN or infinity)");
        }
    }
    return data;
}

} // namespace sonivera
