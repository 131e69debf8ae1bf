#include "cli/ProgressBar.h"

#include <algorithm>
#include <unistd.h>

namespace sonivera {

namespace {

constexpr int kBarWidth = 40;

} // namespace

TerminalProgressBar::TerminalProgressBar(std::FILE* stream)
    : m_stream(stream), m_enabled(isatty(fileno(stream)) != 0) {}

TerminalProgressBar::~TerminalProgressBar() {
    Finish();
}

void TerminalProgressBar::SetPosition(int position) {
    position = std::clamp(position, 0, 100);
    if (!m_enabled || position == m_position) {
        return;
    }
    m_position = position;
    Draw(position);
}

void TerminalProgressBar::Draw(int position) {
    char bar[kBarWidth + 1];
    const int filled = position * kBarWidth / 100;
    for (int i = 0; i < kBarWidth; ++i) {
        bar[i] = i < filled ? '#' : '.';
    }
    bar[kBarWidth] = '\0';
    std::fprintf(m_stream, "\r[%s] %3d%%", bar, position);
    std::fflush(m_stream);
    m_drawn = true;
}

void TerminalProgressBar::Finish() {
    if (m_drawn) {
        // Blank the line and return to its start, so later messages begin on a clean line.
        std::fprintf(m_stream, "\r%*s\r", kBarWidth + 8, "");
        std::fflush(m_stream);
        m_drawn = false;
    }
}

} // namespace sonivera
