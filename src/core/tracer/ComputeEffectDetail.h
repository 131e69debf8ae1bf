#pragma once

#include "ComputeEffect.h"
#include "RectSearch.h"

#include <cstddef>

// ComputeEffect with the number of rectangles from which the nearest-hit search uses an index, and
// which index (ComputeEffect passes kIndexFromRects and the grid). Tests force an index on small
// scenes with 1 and keep it off with SIZE_MAX; the result must be the same every way.
void ComputeEffectWithIndex(SceneSettings& scene, ProgressSink* progress,
                            const EffectOptions& options, std::size_t indexFrom, SearchIndex index);
