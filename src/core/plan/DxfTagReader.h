#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace sonivera {

// One (group code, value) pair of a DXF file. The group code decides the value's kind: text,
// a real number or an integer (the DXF reference's ranges); `text` holds the value as written for
// every kind, so a name that looks like a number stays a name.
struct DxfTag {
    enum class Kind { Text, Real, Integer };
    int code = 0;
    Kind kind = Kind::Text;
    std::string text;
    double real = 0.0;
    std::int64_t integer = 0;
};

// The kind of value a group code carries.
DxfTag::Kind DxfValueKind(int code);

// Reads the tags of an ASCII or binary DXF file one at a time, from bytes held in memory (the
// file is never read twice and nothing grows with its size). ASCII files have the code and the
// value on lines of their own (CR LF or LF); binary files start with the 22-byte sentinel and
// have 1-byte group codes before R13 and 2-byte ones after, told apart by the first tag. A real
// that does not read as a finite number, an integer that is not one, a value cut off by the end
// of the file and a group code out of range end the read with DxfError naming the line or byte.
class DxfTagReader {
public:
    explicit DxfTagReader(std::span<const std::uint8_t> bytes);

    // The next tag, or false at the end of the bytes.
    bool Next(DxfTag& tag);
    // How far the reader is, 0..1 (for progress).
    double Fraction() const;
    bool Binary() const { return m_binary; }

private:
    bool NextAscii(DxfTag& tag);
    bool NextBinary(DxfTag& tag);
    int BinaryCode();
    std::uint64_t Little(std::size_t n);
    void Need(std::size_t n) const;
    std::string_view Line();
    [[noreturn]] void Fail(const std::string& what) const;

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
    std::size_t m_line = 0;
    bool m_binary = false;
    bool m_shortCodes = false; // binary files before R13: 1-byte group codes
};

} // namespace sonivera
