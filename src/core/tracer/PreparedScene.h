#pragma once

#include "core/tracer/ComputeEffect.h"
#include "core/tracer/RectSearch.h"
#include "core/tracer/TraceParameters.h"
#include "core/tracer/TraceScene.h"

#include <atomic>
#include <memory>
#include <vector>

namespace sonivera {

struct SceneSettings;

// What a calculation needs that does not depend on where the listener stands: the checked
// parameters, the snapshot of the rectangles and sources, and the search over the rectangles with
// its index and subsets. Built once and shared read-only by calculations at many listener
// positions (a map), each of which runs on one thread.
class PreparedScene {
public:
    // Throws EffectParameterError as ComputeEffect does for the scene's parameters.
    explicit PreparedScene(const SceneSettings& scene);
    PreparedScene(const PreparedScene&) = delete;
    PreparedScene& operator=(const PreparedScene&) = delete;

    const TraceParameters& Params() const { return m_params; }
    // The shared search; a worker thread may read a copy of its own instead (OwnCopy).
    const RectSearch& Search() const { return *m_search; }

    // The effect of the scene with the listener at (x, y), everything else unchanged, traced on
    // the calling thread: the same bins, byte for byte, as ComputeEffect gives for the scene with
    // its listener moved there (normalised when the scene asks for it). Throws EffectCancelled
    // when `cancel` is seen set. Adds to `stats` when given. `own` is the thread's copy of the
    // search, if it has one.
    std::vector<double> EffectAt(double x, double y, const std::atomic<bool>* cancel,
                                 TraceStats* stats = nullptr,
                                 const RectSearch* own = nullptr) const;

private:
    TraceParameters m_params;
    TraceScene m_snapshot;
    std::unique_ptr<RectSearch> m_search;
    std::vector<double> m_fan; // the directions of the fan's rays, the same at every point
};

} // namespace sonivera
