#pragma once

#include "core/tracer/ProgressSink.h"

#include <functional>
#include <vector>

class wxGauge;

namespace sonivera {

// Shows a calculation's progress positions on a bar. The calculation runs on the user-interface
// thread, so each new position is painted at once: the bar is repainted and the pending paint
// and layout events are handled, while user input stays queued until the calculation is over.
class CGaugeProgress : public ProgressSink {
public:
    // Called after each position has been shown, with the bar's value (for observers such as
    // tests); may be empty.
    using Observer = std::function<void(int)>;

    CGaugeProgress(wxGauge& gauge, Observer observer = {})
        : m_gauge(gauge), m_observer(std::move(observer)) {}

    void SetPosition(int position) override;
    // Shows several positions that arrived together: each reaches the observer in order, the bar
    // is painted once, at the last.
    void ShowPositions(const std::vector<int>& positions);

private:
    wxGauge& m_gauge;
    Observer m_observer;
};

} // namespace sonivera
