#pragma once

#include "core/tracer/ComputeEffect.h"
#include "core/tracer/ProgressSink.h"
#include "support/ObjectBuilder.h"

#include <cmath>
#include <memory>
#include <vector>

namespace sonivera {

// Scenes and effects for the tracer's tests; objects go in through support/ObjectBuilder.h.

// Two rectangles `edge` metres long touching along the line x = 10, and a wall 5 m beyond their
// far end. Ray 1 of the 4-ray fan from the listener at (10, 5) runs exactly along the shared edge
// (its x step rounds away), so a passage steps over the touching rectangle 0.001 m at a time for
// the whole edge; a path of about edge + 11 m reaches the wall. The touching pair reflects
// nothing, so no endless chain of zero legs forms.
inline std::unique_ptr<SceneSettings> EdgeWalkScene(double edge, double stopTime) {
    auto scene = SceneWithListener(10, 5);
    scene->params.rayCount = 4;
    scene->params.stopTime = stopTime;
    AddSource(*scene, {.x = 30, .y = 5, .power = 1.0});
    AddRect(*scene,
            {.x = 0, .y = 11, .width = 10, .height = edge, .reflection = 0.0, .absorption = 0.0});
    AddRect(*scene,
            {.x = 10, .y = 11, .width = 10, .height = edge, .reflection = 0.0, .absorption = 0.0});
    // The point where the walk meets the wall is the listener's x plus the leg times the ray's
    // tiny x step: 4 units in the last place right of 10. The wall's right side is put exactly
    // there, so a source to the right hears that point with a cosine that is not 0.
    const double wallRight = 10.0 + (edge + 5.0) * std::cos(2.0 * 3.141592653589793 / 4.0);
    AddRect(*scene, {.x = 0,
                     .y = 11 + edge + 5,
                     .width = wallRight,
                     .height = 1,
                     .reflection = 0.9,
                     .absorption = 0.5});
    AddSource(*scene, {.x = 15, .y = 11 + edge + 2.5, .power = 1.0});
    return scene;
}

struct RecordedProgress : ProgressSink {
    std::vector<int> positions;
    void SetPosition(int position) override { positions.push_back(position); }
};

// The scene's effect as a vector, computed with the given number of threads.
inline std::vector<double> Effect(SceneSettings& scene, int threads = 1,
                                  TraceStats* stats = nullptr) {
    EffectOptions options;
    options.threads = threads;
    options.stats = stats;
    ComputeEffect(scene, nullptr, options);
    return std::vector<double>(scene.effect.get(), scene.effect.get() + scene.effectCount);
}

// The indices of the bins that are not zero.
inline std::vector<int> NonZeroBins(const std::vector<double>& bins) {
    std::vector<int> result;
    for (std::size_t k = 0; k < bins.size(); ++k) {
        if (bins[k] != 0.0) {
            result.push_back(static_cast<int>(k));
        }
    }
    return result;
}

} // namespace sonivera
