#include "core/text/ShownText.h"

#include <cstdint>
#include <algorithm>
#include <cstdio>

namespace sonivera {

namespace {

void AppendEscape(std::string& out, const char* format, unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, format, value);
    out += buffer;
}

// The length of the well-formed UTF-8 sequence at text[i], or 0 when it is not one.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t lead = byte(i);
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) {
            return 0;
        }
    }
    return length;
}

} // namespace

std::string EscapeForTerminal(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<std::uint8_t>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            AppendEscape(out, "\\u%04x", c);
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if (const std::size_t length = Utf8Length(text, i); length == 0) {
            AppendEscape(out, "\\x%02x", c);
            ++i;
        } else if (c == 0xC2 && static_cast<std::uint8_t>(text[i + 1]) < 0xA0) {
            AppendEscape(out, "\\u%04x", static_cast<std::uint8_t>(text[i + 1])); // C1 control
            i += 2;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

namespace {

// The length of the longest prefix of `text` no longer than `limit` that ends at a whole UTF-8
// character.
std::size_t WholePrefix(std::string_view text, std::size_t limit) {
    std::size_t end = std::min(limit, text.size());
    while (end > 0 && end < text.size() &&
           (static_cast<std::uint8_t>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return end;
}

} // namespace

std::string ShownName(std::string_view text, std::size_t maxBytes) {
    // Only as much as can be shown is escaped, however long the text.
    if (text.size() <= maxBytes) {
        const std::string escaped = EscapeForTerminal(text);
        if (escaped.size() <= maxBytes) {
            return escaped;
        }
    }
    const std::size_t half = maxBytes / 2;
    std::string head = EscapeForTerminal(text.substr(0, WholePrefix(text, half)));
    head.resize(WholePrefix(head, half));
    std::size_t tailStart = text.size() > half ? text.size() - half : 0;
    while (tailStart < text.size() && (static_cast<std::uint8_t>(text[tailStart]) & 0xC0) == 0x80) {
        ++tailStart;
    }
    std::string tail = EscapeForTerminal(text.substr(tailStart));
    if (tail.size() > half) {
        // Cut at a whole character; an escape cut in two stays plain ASCII text.
        std::size_t cut = tail.size() - half;
        while (cut < tail.size() && (static_cast<std::uint8_t>(tail[cut]) & 0xC0) == 0x80) {
            ++cut;
        }
        tail.erase(0, cut);
    }
    return head + "\u2026" + tail;
}

} // namespace sonivera
