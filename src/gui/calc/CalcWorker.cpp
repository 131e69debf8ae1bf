#include "gui/calc/CalcWorker.h"

namespace sonivera {

void CPositionQueue::SetPosition(int position) {
    {
        std::lock_guard lock(m_mutex);
        m_positions.push_back(position);
    }
    m_changed.notify_one();
}

void CPositionQueue::Finish() {
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_changed.notify_one();
}

bool CPositionQueue::Take(std::vector<int>& out, std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, timeout, [this] { return m_finished || !m_positions.empty(); });
    out.insert(out.end(), m_positions.begin(), m_positions.end());
    m_positions.clear();
    return m_finished;
}

std::optional<double> RemainingSeconds(double elapsedSeconds, int position) {
    if (position < kMinEstimatePosition || position >= 100 || !(elapsedSeconds >= 0.0)) {
        return std::nullopt;
    }
    return elapsedSeconds * (100.0 - position) / position;
}

} // namespace sonivera
