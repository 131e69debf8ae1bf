#include "core/plan/DxfTagReader.h"

#include "core/plan/DxfError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace sonivera {

namespace {

constexpr char kSentinel[] = "AutoCAD Binary DXF\r\n\x1a";
constexpr std::size_t kSentinelSize = 22; // with its final NUL

bool In(int code, int from, int to) {
    return code >= from && code <= to;
}

// A value for a message: its first 20 characters, anything unprintable as '?'.
std::string Shown(std::string_view s) {
    std::string out(s.substr(0, 20));
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) {
            c = '?';
        }
    }
    return out;
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

} // namespace

DxfTag::Kind DxfValueKind(int code) {
    if (In(code, 10, 59) || In(code, 110, 149) || In(code, 210, 239) || In(code, 460, 469) ||
        In(code, 1010, 1059)) {
        return DxfTag::Kind::Real;
    }
    if (In(code, 60, 79) || In(code, 90, 99) || In(code, 160, 179) || In(code, 270, 299) ||
        In(code, 370, 389) || In(code, 400, 409) || In(code, 420, 459) || In(code, 1060, 1071)) {
        return DxfTag::Kind::Integer;
    }
    return DxfTag::Kind::Text;
}

DxfTagReader::DxfTagReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {
    if (bytes.size() >= kSentinelSize && std::memcmp(bytes.data(), kSentinel, 21) == 0 &&
        bytes[21] == 0) {
        m_binary = true;
        m_at = kSentinelSize;
        // The first tag is (0, "SECTION"): a 1-byte code is followed by the letter at once.
        m_shortCodes = m_at + 1 < bytes.size() && bytes[m_at] == 0 && bytes[m_at + 1] == 'S';
    } else if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        m_at = 3; // a byte order mark some writers put before an ASCII file
    }
}

double DxfTagReader::Fraction() const {
    return m_bytes.empty() ? 1.0 : static_cast<double>(m_at) / static_cast<double>(m_bytes.size());
}

void DxfTagReader::Fail(const std::string& what) const {
    throw DxfError(m_binary ? what + " at byte " + std::to_string(m_at)
                            : what + " at line " + std::to_string(m_line));
}

bool DxfTagReader::Next(DxfTag& tag) {
    return m_binary ? NextBinary(tag) : NextAscii(tag);
}

std::string_view DxfTagReader::Line() {
    const char* data = reinterpret_cast<const char*>(m_bytes.data());
    const std::size_t end = std::string_view(data, m_bytes.size()).find('\n', m_at);
    const std::size_t stop = end == std::string_view::npos ? m_bytes.size() : end;
    std::string_view line(data + m_at, stop - m_at);
    m_at = end == std::string_view::npos ? m_bytes.size() : end + 1;
    ++m_line;
    return line;
}

bool DxfTagReader::NextAscii(DxfTag& tag) {
    while (m_at < m_bytes.size()) {
        const std::string_view codeText = Trimmed(Line());
        if (codeText.empty()) {
            // Blank lines at the very end are no tag; anywhere else a group code is missing.
            const auto rest = m_bytes.subspan(m_at);
            if (std::all_of(rest.begin(), rest.end(), [](std::uint8_t c) {
                    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
                })) {
                m_at = m_bytes.size();
                return false;
            }
            Fail("a group code is missing");
        }
        int code = 0;
        const auto [end, error] =
            std::from_chars(codeText.data(), codeText.data() + codeText.size(), code);
        if (error != std::errc() || end != codeText.data() + codeText.size() || code < -5 ||
            code > 1071) {
            Fail("not a DXF group code (\"" + Shown(codeText) + "\")");
        }
        if (m_at >= m_bytes.size()) {
            Fail("the drawing is cut short: the file ends before the value of group code " +
                 std::to_string(code));
        }
        std::string_view value = Line();
        if (!value.empty() && value.back() == '\r') {
            value.remove_suffix(1);
        }
        tag.code = code;
        tag.kind = DxfValueKind(code);
        tag.text.assign(value);
        if (tag.kind != DxfTag::Kind::Text) {
            const std::string_view number = Trimmed(value);
            const char* first = number.data();
            const char* last = number.data() + number.size();
            if (!number.empty() && *first == '+') {
                ++first;
            }
            bool ok = false;
            if (tag.kind == DxfTag::Kind::Real) {
                const auto r = std::from_chars(first, last, tag.real);
                ok = r.ec == std::errc() && r.ptr == last && std::isfinite(tag.real);
            } else {
                const auto r = std::from_chars(first, last, tag.integer);
                ok = r.ec == std::errc() && r.ptr == last;
            }
            if (!ok) {
                Fail("group code " + std::to_string(code) + " needs a number, not \"" +
                     Shown(number) + "\"");
            }
        }
        return true;
    }
    return false;
}

void DxfTagReader::Need(std::size_t n) const {
    if (m_bytes.size() - m_at < n) {
        Fail("the drawing is cut short");
    }
}

std::uint64_t DxfTagReader::Little(std::size_t n) {
    Need(n);
    std::uint64_t v = 0;
    for (std::size_t i = n; i-- > 0;) {
        v = v << 8 | m_bytes[m_at + i];
    }
    m_at += n;
    return v;
}

// One byte before R13 (255 escapes a two-byte code), two little-endian bytes after.
int DxfTagReader::BinaryCode() {
    if (!m_shortCodes) {
        return static_cast<std::int16_t>(Little(2));
    }
    const int code = static_cast<int>(Little(1));
    return code == 255 ? static_cast<int>(Little(2)) : code;
}

bool DxfTagReader::NextBinary(DxfTag& tag) {
    if (m_at >= m_bytes.size()) {
        return false;
    }
    const int code = BinaryCode();
    if (code < -5 || code > 1071) {
        Fail("not a DXF group code (" + std::to_string(code) + ")");
    }
    tag.code = code;
    tag.kind = DxfValueKind(code);
    tag.text.clear();
    if (In(code, 310, 319) || code == 1004) { // binary chunk: a length byte and the data
        const std::size_t length = Little(1);
        Need(length);
        m_at += length;
        tag.kind = DxfTag::Kind::Text;
    } else if (tag.kind == DxfTag::Kind::Real) {
        const std::uint64_t bits = Little(8);
        std::memcpy(&tag.real, &bits, sizeof bits);
        if (!std::isfinite(tag.real)) {
            Fail("group code " + std::to_string(code) + " holds a number that is not finite");
        }
    } else if (tag.kind == DxfTag::Kind::Integer) {
        if (In(code, 290, 299)) {
            tag.integer = static_cast<std::int64_t>(Little(1));
        } else if (In(code, 90, 99) || In(code, 420, 459) || code == 1071) {
            tag.integer = static_cast<std::int32_t>(Little(4));
        } else if (In(code, 160, 169)) {
            tag.integer = static_cast<std::int64_t>(Little(8));
        } else {
            tag.integer = static_cast<std::int16_t>(Little(2));
        }
    } else {
        const auto* data = reinterpret_cast<const char*>(m_bytes.data());
        const std::size_t end = std::string_view(data, m_bytes.size()).find('\0', m_at);
        if (end == std::string_view::npos) {
            Fail("the drawing is cut short in a text");
        }
        tag.text.assign(data + m_at, end - m_at);
        m_at = end + 1;
    }
    return true;
}

} // namespace sonivera
