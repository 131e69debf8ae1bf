#pragma once

#include "core/model/SceneSettings.h"

#include <cstdint>
#include <memory>

namespace sonivera {

// Seeded random scenes that stress the tracer's corner cases: rectangles touching at edges and
// corners, walls head-on to the listener, sources on edges, on corners, at the listener and
// behind rectangles, zero-size rectangles, reflection 0 and 1, absorption 0, small and 1.7e308,
// various pass limits, every flag, medium absorption 0 and above, ray counts 10..1000, grouping
// widths 1..100 ms and stop times 10..10000 ms, integer and fractional coordinates.
//
// A scene whose fan would visit more than `nodeBudget` path nodes is tamed (shorter stop time,
// higher stop amplitude, then fewer rays) until it fits, so every scene stays cheap for the
// reference. The same seed and budget always give the same scene.
std::unique_ptr<SceneSettings> MakeRandomScene(std::uint64_t seed, std::uint64_t nodeBudget);

// A seeded closed hall: four walls around 11 to 26 pillars (some touching each other or a wall),
// reflection 0.5 to 1, little absorption, the listener and one to three sources inside; tamed to
// `nodeBudget` path nodes like MakeRandomScene.
std::unique_ptr<SceneSettings> MakeRandomHall(std::uint64_t seed, std::uint64_t nodeBudget);

// The number of path nodes the fan of the scene visits, or budget + 1 if it visits more.
std::uint64_t CountFanNodes(const SceneSettings& scene, std::uint64_t budget);

} // namespace sonivera
