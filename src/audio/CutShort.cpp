#include "audio/CutShort.h"

#include <cstring>

namespace sonivera {

namespace {

using Bytes = std::span<const std::uint8_t>;

std::uint64_t Le(Bytes b, std::size_t at, int width) {
    std::uint64_t v = 0;
    for (int i = width - 1; i >= 0; --i) {
        v = v << 8 | b[at + static_cast<std::size_t>(i)];
    }
    return v;
}

std::uint64_t Be(Bytes b, std::size_t at, int width) {
    std::uint64_t v = 0;
    for (int i = 0; i < width; ++i) {
        v = v << 8 | b[at + static_cast<std::size_t>(i)];
    }
    return v;
}

bool Is(Bytes b, std::size_t at, const char* tag, std::size_t length = 4) {
    return at + length <= b.size() && std::memcmp(b.data() + at, tag, length) == 0;
}

std::optional<CutShortData> Cut(std::uint64_t announced, std::uint64_t present,
                                std::uint64_t frameBytes) {
    if (announced <= present) {
        return std::nullopt;
    }
    if (frameBytes == 0) {
        return CutShortData{announced, present, false};
    }
    return CutShortData{announced / frameBytes, present / frameBytes, true};
}

// WAV and RF64: "fmt " gives the frame size; "data" the length, in RF64 through "ds64".
std::optional<CutShortData> RiffCut(Bytes b) {
    const bool rf64 = Is(b, 0, "RF64");
    if (!(Is(b, 0, "RIFF") || rf64) || !Is(b, 8, "WAVE")) {
        return std::nullopt;
    }
    std::uint64_t frameBytes = 0;
    std::uint64_t ds64Data = 0;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::uint64_t size = Le(b, at + 4, 4);
        const std::size_t body = at + 8;
        if (Is(b, at, "fmt ") && size >= 14 && body + 14 <= b.size()) {
            frameBytes = Le(b, body + 12, 2);
        }
        if (Is(b, at, "ds64") && size >= 16 && body + 16 <= b.size()) {
            ds64Data = Le(b, body + 8, 8);
        }
        if (Is(b, at, "data")) {
            const std::uint64_t announced = rf64 && size == 0xFFFFFFFFu ? ds64Data : size;
            // 0 and 0xFFFFFFFF in a plain WAV: a stream written without its final size.
            if (announced == 0 || (!rf64 && size == 0xFFFFFFFFu)) {
                return std::nullopt;
            }
            return Cut(announced, b.size() - body, frameBytes);
        }
        if (size > b.size()) {
            return std::nullopt; // a chunk beyond the end before any data: not ours to judge
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

// Wave64: 16-byte GUIDs, 64-bit sizes that count the 24-byte chunk header, chunks 8-aligned.
std::optional<CutShortData> Wave64Cut(Bytes b) {
    static const std::uint8_t kRiff[16] = {'r',  'i',  'f',  'f',  0x2E, 0x91, 0xCF, 0x11,
                                           0xA5, 0xD6, 0x28, 0xDB, 0x04, 0xC1, 0x00, 0x00};
    static const std::uint8_t kSuffix[12] = {0xF3, 0xAC, 0xD3, 0x11, 0x8C, 0xD1,
                                             0x00, 0xC0, 0x4F, 0x8E, 0xDB, 0x8A};
    if (b.size() < 40 || std::memcmp(b.data(), kRiff, 16) != 0 || !Is(b, 24, "wave")) {
        return std::nullopt;
    }
    const auto chunk = [&](std::size_t at, const char* tag) {
        return Is(b, at, tag) && std::memcmp(b.data() + at + 4, kSuffix, 12) == 0;
    };
    std::uint64_t frameBytes = 0;
    for (std::size_t at = 40; at + 24 <= b.size();) {
        const std::uint64_t size = Le(b, at + 16, 8);
        const std::size_t body = at + 24;
        if (size < 24) {
            return std::nullopt;
        }
        if (chunk(at, "fmt ") && body + 14 <= b.size()) {
            frameBytes = Le(b, body + 12, 2);
        }
        if (chunk(at, "data")) {
            return Cut(size - 24, b.size() - body, frameBytes);
        }
        if (size > b.size()) {
            return std::nullopt;
        }
        at += static_cast<std::size_t>((size + 7) / 8 * 8);
    }
    return std::nullopt;
}

// AIFF and AIFF-C: the SSND chunk's size counts its 8-byte offset and block size fields.
std::optional<CutShortData> AiffCut(Bytes b) {
    if (!Is(b, 0, "FORM") || !(Is(b, 8, "AIFF") || Is(b, 8, "AIFC"))) {
        return std::nullopt;
    }
    std::uint64_t frameBytes = 0;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::uint64_t size = Be(b, at + 4, 4);
        const std::size_t body = at + 8;
        if (Is(b, at, "COMM") && size >= 8 && body + 8 <= b.size() && Is(b, 8, "AIFF")) {
            frameBytes = Be(b, body, 2) * ((Be(b, body + 6, 2) + 7) / 8);
        }
        if (Is(b, at, "SSND")) {
            if (size < 8) {
                return std::nullopt;
            }
            const std::uint64_t present = b.size() > body + 8 ? b.size() - body - 8 : 0;
            return Cut(size - 8, present, frameBytes);
        }
        if (size > b.size()) {
            return std::nullopt;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

// AU: the header's data offset and size (0xFFFFFFFF: not known).
std::optional<CutShortData> AuCut(Bytes b) {
    if (b.size() < 24 || !Is(b, 0, ".snd")) {
        return std::nullopt;
    }
    const std::uint64_t offset = Be(b, 4, 4);
    const std::uint64_t size = Be(b, 8, 4);
    if (size == 0xFFFFFFFFu || offset > b.size()) {
        return std::nullopt;
    }
    const std::uint64_t encoding = Be(b, 12, 4);
    const std::uint64_t channels = Be(b, 20, 4);
    // Linear PCM of 8, 16, 24 and 32 bits (encodings 2–5) and floats (6, 7).
    const std::uint64_t sampleBytes = encoding >= 2 && encoding <= 5 ? encoding - 1
                                      : encoding == 6                ? 4
                                      : encoding == 7                ? 8
                                                                     : 0;
    return Cut(size, b.size() - offset, sampleBytes * channels);
}

} // namespace

std::optional<CutShortData> FindCutShort(std::span<const std::uint8_t> bytes) {
    for (auto find : {RiffCut, Wave64Cut, AiffCut, AuCut}) {
        if (auto cut = find(bytes)) {
            return cut;
        }
    }
    return std::nullopt;
}

} // namespace sonivera
