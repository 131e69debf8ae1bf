#pragma once

#include "core/tracer/ProgressSink.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

namespace sonivera {

// Carries the progress positions of a calculation running on a worker thread to the
// user-interface thread, in order and without losing any.
class CPositionQueue : public ProgressSink {
public:
    // Worker side.
    void SetPosition(int position) override;
    void Finish();

    // User-interface side: waits up to `timeout` for positions or the end, moves the positions
    // that arrived into `out`; true once the calculation has finished and every position has been
    // taken.
    bool Take(std::vector<int>& out, std::chrono::milliseconds timeout);

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<int> m_positions;
    bool m_finished = false;
};

// The time a calculation still needs, estimated from the time it took to reach `position`
// percent; none below kMinEstimatePosition, where the estimate would be mostly noise.
constexpr int kMinEstimatePosition = 3;
std::optional<double> RemainingSeconds(double elapsedSeconds, int position);

} // namespace sonivera
