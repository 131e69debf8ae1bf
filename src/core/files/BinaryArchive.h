#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace sonivera {

// Raised when the bytes being read cannot be what the format says: the data ends early, a length
// runs past the end, or a string form is unknown.
class ArchiveFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Appends little-endian values to a byte buffer. Every value is assembled byte by byte, so the
// output does not depend on the host's byte order or struct layout.
class ArchiveWriter {
public:
    void WriteByte(std::uint8_t b) { m_bytes.push_back(b); }
    void WriteBool(bool b) { WriteByte(b ? 1 : 0); }
    void WriteFiller(std::size_t count);
    void WriteUInt16(std::uint16_t v);
    void WriteInt32(std::int32_t v);
    void WriteUInt32(std::uint32_t v);
    void WriteDouble(double v);
    // Writes a length-prefixed archive string: one length byte for fewer than 255 characters,
    // else 255 and a 16-bit length, else 255, 0xFFFF and a 32-bit length.
    void WriteString(const std::string& s);

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::vector<std::uint8_t> TakeBytes() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

// Reads little-endian values from a byte span; running past the end raises ArchiveFormatError.
class ArchiveReader {
public:
    explicit ArchiveReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::uint8_t ReadByte();
    bool ReadBool() { return ReadByte() != 0; }
    void Skip(std::size_t count);
    std::uint16_t ReadUInt16();
    std::int32_t ReadInt32();
    std::uint32_t ReadUInt32();
    double ReadDouble();
    // Reads an archive string in any of its forms, including the wide form (255, 0xFFFE, then a
    // length counting UTF-16LE units); wide characters are narrowed to 8 bits, those that do not
    // fit become '?'.
    std::string ReadString();

    std::size_t Remaining() const { return m_bytes.size() - m_pos; }
    std::size_t Position() const { return m_pos; }

private:
    void Need(std::size_t count) const;
    std::uint32_t ReadStringLength(bool allowWide, bool* wide);

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
};

} // namespace sonivera
