#include "core/files/BinaryArchive.h"

#include <bit>
#include <cstring>

namespace sonivera {

void ArchiveWriter::WriteFiller(std::size_t count) {
    m_bytes.insert(m_bytes.end(), count, std::uint8_t{0});
}

void ArchiveWriter::WriteUInt16(std::uint16_t v) {
    WriteByte(static_cast<std::uint8_t>(v & 0xFF));
    WriteByte(static_cast<std::uint8_t>(v >> 8));
}

void ArchiveWriter::WriteUInt32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        WriteByte(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
    }
}

void ArchiveWriter::WriteInt32(std::int32_t v) {
    WriteUInt32(static_cast<std::uint32_t>(v));
}

void ArchiveWriter::WriteDouble(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) {
        WriteByte(static_cast<std::uint8_t>((bits >> (8 * i)) & 0xFF));
    }
}

void ArchiveWriter::WriteString(const std::string& s) {
    const std::size_t n = s.size();
    if (n < 255) {
        WriteByte(static_cast<std::uint8_t>(n));
    } else if (n < 0xFFFE) {
        WriteByte(255);
        WriteUInt16(static_cast<std::uint16_t>(n));
    } else {
        WriteByte(255);
        WriteUInt16(0xFFFF);
        WriteUInt32(static_cast<std::uint32_t>(n));
    }
    m_bytes.insert(m_bytes.end(), s.begin(), s.end());
}

void ArchiveReader::Need(std::size_t count) const {
    if (count > Remaining()) {
        throw ArchiveFormatError("unexpected end of data");
    }
}

std::uint8_t ArchiveReader::ReadByte() {
    Need(1);
    return m_bytes[m_pos++];
}

void ArchiveReader::Skip(std::size_t count) {
    Need(count);
    m_pos += count;
}

std::uint16_t ArchiveReader::ReadUInt16() {
    Need(2);
    const auto v = static_cast<std::uint16_t>(m_bytes[m_pos] | (m_bytes[m_pos + 1] << 8));
    m_pos += 2;
    return v;
}

std::uint32_t ArchiveReader::ReadUInt32() {
    Need(4);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | m_bytes[m_pos + static_cast<std::size_t>(i)];
    }
    m_pos += 4;
    return v;
}

std::int32_t ArchiveReader::ReadInt32() {
    return static_cast<std::int32_t>(ReadUInt32());
}

double ArchiveReader::ReadDouble() {
    Need(8);
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) {
        bits = (bits << 8) | m_bytes[m_pos + static_cast<std::size_t>(i)];
    }
    m_pos += 8;
    return std::bit_cast<double>(bits);
}

std::uint32_t ArchiveReader::ReadStringLength(bool allowWide, bool* wide) {
    const std::uint8_t b = ReadByte();
    if (b < 0xFF) {
        return b;
    }
    const std::uint16_t w = ReadUInt16();
    if (w == 0xFFFE) {
        if (!allowWide) {
            throw ArchiveFormatError("malformed string length");
        }
        *wide = true;
        return ReadStringLength(false, wide);
    }
    if (w < 0xFFFF) {
        return w;
    }
    return ReadUInt32();
}

std::string ArchiveReader::ReadString() {
    bool wide = false;
    const std::uint32_t length = ReadStringLength(true, &wide);
    if (!wide) {
        Need(length);
        std::string s(reinterpret_cast<const char*>(m_bytes.data() + m_pos), length);
        m_pos += length;
        return s;
    }
    if (length > Remaining() / 2) {
        throw ArchiveFormatError("unexpected end of data");
    }
    std::string s;
    s.reserve(length);
    for (std::uint32_t i = 0; i < length; ++i) {
        const std::uint16_t unit = ReadUInt16();
        s.push_back(unit < 0x100 ? static_cast<char>(unit) : '?');
    }
    return s;
}

} // namespace sonivera
