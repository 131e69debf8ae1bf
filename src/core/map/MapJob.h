#pragma once

#include "core/analysis/EffectFigures.h"
#include "core/map/MapFigure.h"
#include "core/map/MapGrid.h"
#include "core/tracer/ComputeEffect.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <vector>

namespace sonivera {

struct SceneSettings;

struct MapOptions {
    int threads = 0;                           // workers; 0 means all cores
    const std::atomic<bool>* cancel = nullptr; // set to true to stop
    OnsetRule onset;                           // time zero of the figures
    // The points to compute, in this order; empty means every point in index order.
    std::vector<std::size_t> order;
    // Called on the calling thread as points finish (in the order they finish), with the point's
    // index and result, then the number finished and the number asked for.
    std::function<void(std::size_t index, const MapPointResult& result)> pointDone;
    std::function<void(std::size_t done, std::size_t total)> progress;
    TraceStats* stats = nullptr; // the calculations' counters, summed
};

// The map of a scene: at every point asked for, the listener is moved there (in a private copy of
// the scene taken at the start; the scene itself is not touched and may change meanwhile), the
// scene check runs (a refused point keeps the check's message and is not computed), and the
// effect is computed on one worker and analysed. What does not depend on the listener (the
// parameters, the rectangle search with its index and subsets) is built once and shared. Each
// point's effect is the same bytes as ComputeEffect gives for the scene with its listener moved
// there, so the results do not depend on the number of workers or on the order.
//
// Returns one result per grid point by index; points not asked for stay not computed with no
// message. Throws EffectParameterError before anything is computed for parameters a calculation
// refuses, std::invalid_argument for an index outside the grid or threads < 0, and EffectCancelled
// when `cancel` is seen set (a point under way stops within its current ray).
std::vector<MapPointResult> ComputeMap(const SceneSettings& scene, const MapGrid& grid,
                                       const MapOptions& options);

} // namespace sonivera
