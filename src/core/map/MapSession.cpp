#include "core/map/MapSession.h"

#include "core/map/MapJob.h"
#include "core/model/SceneFile.h"
#include "core/model/SceneSettings.h"
#include "core/tracer/EffectErrors.h"
#include "core/tracer/PreparedScene.h"

namespace sonivera {

MapSession::MapSession(const SceneSettings& scene, const MapGrid& grid, int threads)
    : m_grid(grid), m_threads(threads), m_sceneBytes(SaveSceneToBytes(scene)),
      m_results(grid.Count()), m_known(grid.Count(), false),
      m_start(std::chrono::steady_clock::now()) {
    const PreparedScene check(scene); // refuses unsafe parameters here, on the caller's thread
    m_thread = std::thread(&MapSession::Work, this);
}

MapSession::~MapSession() {
    m_cancel = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void MapSession::Work() {
    try {
        const auto scene = LoadSceneFromBytes(m_sceneBytes);
        MapOptions options;
        options.threads = m_threads;
        options.cancel = &m_cancel;
        options.order = CoarseFirstOrder(m_grid);
        options.pointDone = [this](std::size_t index, const MapPointResult& result) {
            std::lock_guard lock(m_mutex);
            m_arrived.emplace_back(index, result);
        };
        ComputeMap(*scene, m_grid, options);
    } catch (const EffectCancelled&) {
        // stopped on request
    } catch (const std::exception& e) {
        std::lock_guard lock(m_mutex);
        m_failure = e.what();
    }
    m_finished = true;
}

std::size_t MapSession::Poll() {
    std::vector<std::pair<std::size_t, MapPointResult>> arrived;
    {
        std::lock_guard lock(m_mutex);
        arrived.swap(m_arrived);
    }
    for (auto& [index, result] : arrived) {
        m_results[index] = std::move(result);
        m_known[index] = true;
    }
    m_done += arrived.size();
    return arrived.size();
}

void MapSession::Stop() {
    m_stopped = true;
    m_cancel = true;
}

std::string MapSession::Failure() const {
    std::lock_guard lock(m_mutex);
    return m_failure;
}

std::optional<double> MapSession::RemainingSeconds() const {
    if (Total() == 0 || m_done * 100 < Total() * 3) {
        return std::nullopt;
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    return elapsed / static_cast<double>(m_done) * static_cast<double>(Total() - m_done);
}

} // namespace sonivera
