#pragma once

#include "ComputeEffect.h"

#include <cstddef>

// ComputeEffect with the number of rectangles from which the nearest-hit search uses its tree
// (ComputeEffect passes kTreeFromRects). Tests force the tree on small scenes with 1 and keep it
// off with SIZE_MAX; the result must be the same either way.
void ComputeEffectWithTreeFrom(SceneSettings& scene, ProgressSink* progress,
                               const EffectOptions& options, std::size_t treeFrom);
