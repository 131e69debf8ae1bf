#pragma once

#include "core/tracer/ProgressSink.h"

#include <cstdio>

namespace sonivera {

// A one-line progress bar redrawn in place on a terminal. Draws nothing when the stream is not a
// terminal, so redirected output stays clean.
class TerminalProgressBar : public ProgressSink {
public:
    explicit TerminalProgressBar(std::FILE* stream);
    ~TerminalProgressBar() override;

    TerminalProgressBar(const TerminalProgressBar&) = delete;
    TerminalProgressBar& operator=(const TerminalProgressBar&) = delete;

    void SetPosition(int position) override;
    // Clears the bar's line; called once the calculation has ended, however it ended.
    void Finish();

private:
    void Draw(int position);

    std::FILE* m_stream;
    bool m_enabled;
    bool m_drawn = false;
    int m_position = -1;
};

} // namespace sonivera
