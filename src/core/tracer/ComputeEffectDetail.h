#pragma once

#include "core/tracer/ComputeEffect.h"
#include "core/tracer/RectSearch.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace sonivera {

// How the calculation is run; none of it changes the result. ComputeEffect uses the defaults.
struct EngineTuning {
    // The number of rectangles from which the nearest-hit search uses an index, and which one.
    std::size_t indexFrom = kIndexFromRects;
    SearchIndex index = SearchIndex::kGrid;
    // The instruction set of the search over every rectangle.
    RectLanes::Isa isa = RectLanes::Best();
    // Whether the visibility searches are first answered from the map of what each source sees.
    VisibilityUse visibility = VisibilityUse::kEffect;
    // With more than one worker, the calling thread first traces rays itself, up to this many and
    // for up to this long, so small scenes finish before a pool would even have started.
    std::int32_t serialRays = std::numeric_limits<std::int32_t>::max();
    double serialSeconds = 0.002;
    // After serialSeconds the calling thread still finishes the fan alone when the rays left
    // look like less than this much work: starting the pool, handing rays over and joining it
    // cost about a millisecond on a busy machine, more than two workers save on so little.
    double poolFromSeconds = 0.005;
    // Within serialSeconds the pool starts as soon as the rays left look like this much work or
    // more: the first ray is enough to tell a heavy fan, and the other cores need not wait for it.
    double poolAtOnceSeconds = 0.02;
};

// Divides every bin (and every sample of the fine response, when given) by the largest bin when
// it exceeds 1: the normalisation a scene asks for.
void NormalizeEffect(double* bins, std::int32_t count, std::vector<double>* fine);

// ComputeEffect with explicit tuning; tests use it to force each search index and each way of
// splitting the fan between the calling thread and the pool.
void ComputeEffectTuned(SceneSettings& scene, ProgressSink* progress, const EffectOptions& options,
                        const EngineTuning& tuning);

} // namespace sonivera
