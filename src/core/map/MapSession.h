#pragma once

#include "core/map/MapFigure.h"
#include "core/map/MapGrid.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace sonivera {

struct SceneSettings;

// A map computed in the background for the editor: ComputeMap on a thread of its own over a copy
// of the scene taken at the start, coarse points first (CoarseFirstOrder), while the editor goes
// on. The editor polls for the points that arrived, draws what is known, and may stop it; the
// scene as it was at the start stays available to tell whether the plan has changed since.
class MapSession {
public:
    // Starts at once. Throws what ComputeMap throws before any work (EffectParameterError).
    MapSession(const SceneSettings& scene, const MapGrid& grid, int threads = 0);
    ~MapSession(); // stops the work and waits for it
    MapSession(const MapSession&) = delete;
    MapSession& operator=(const MapSession&) = delete;

    // Moves the points finished since the last call into Results() and Known(); returns how many.
    std::size_t Poll();
    // Asks the work to stop; it ends within a ray of every point under way.
    void Stop();
    // Whether the work is still going (true until its thread has finished).
    bool Running() const { return !m_finished.load(); }
    bool Stopped() const { return m_stopped; }
    // Why the work ended early, when it failed (empty otherwise).
    std::string Failure() const;

    const MapGrid& Grid() const { return m_grid; }
    const std::vector<MapPointResult>& Results() const { return m_results; }
    const std::vector<bool>& Known() const { return m_known; }
    std::size_t Done() const { return m_done; }
    std::size_t Total() const { return m_grid.Count(); }
    // An estimate of the seconds left, from the pace so far; none before 3 % is done.
    std::optional<double> RemainingSeconds() const;
    // The scene file's bytes at the start (to compare with the scene now).
    const std::vector<std::uint8_t>& SceneAtStart() const { return m_sceneBytes; }

private:
    void Work();

    MapGrid m_grid;
    int m_threads;
    std::vector<std::uint8_t> m_sceneBytes;
    std::vector<MapPointResult> m_results;
    std::vector<bool> m_known;
    std::size_t m_done = 0;
    bool m_stopped = false;
    std::chrono::steady_clock::time_point m_start;

    mutable std::mutex m_mutex;
    std::vector<std::pair<std::size_t, MapPointResult>> m_arrived;
    std::string m_failure;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};

} // namespace sonivera
