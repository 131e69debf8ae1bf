#pragma once

#include "core/tracer/EffectErrors.h"

#include <atomic>
#include <cstdint>

namespace sonivera {

class ProgressSink;
struct EchoPathRequest;
struct FineResponseRequest;
struct SceneSettings;

// Counters of one calculation, for the command line's statistics.
struct TraceStats {
    std::uint64_t rays = 0;     // rays traced (the fan, not counting the direct sound)
    std::uint64_t nodes = 0;    // path nodes visited, the listener's direct node included
    std::uint64_t echoes = 0;   // echoes added into the bins
    std::uint64_t searches = 0; // nearest-hit and visibility searches
    double seconds = 0.0;       // wall-clock time of the calculation
};

// How to run a calculation. The result does not depend on any of these.
struct EffectOptions {
    int threads = 0;                           // worker threads; 0 means all cores
    const std::atomic<bool>* cancel = nullptr; // set to true to stop the calculation
    TraceStats* stats = nullptr;               // filled in when given
    // When given, the strongest paths->perSource echo paths of each source are kept in
    // paths->paths (replacing what it held). The bins are the same bytes with or without it.
    EchoPathRequest* paths = nullptr;
    // When given, every echo is also placed at its own delay at fine->rate (FineResponse.h) in
    // fine->samples (replacing what it held). The bins are the same bytes with or without it.
    FineResponseRequest* fine = nullptr;
    // The memory the kept paths may take, in bytes; 0: the machine's (MemoryBudget.h).
    std::uint64_t memoryBudget = 0;
};

// Traces the fan of rays from the scene's first object, bins the echoes by delay, normalises
// when the scene asks for it and stores the result in scene.effect / scene.effectCount, with the
// parameters it used in scene.effectParams.
// Progress positions (100 × i) / N go to `progress` (may be null) on the calling thread.
// The bins are the same bytes whatever options.threads is.
// Throws, before anything is computed and keeping the previous effect:
//  - EffectParameterError for rayCount ≤ 0 ("rayCount"), a grouping width not finite or ≤ 0
//    ("groupTime"), a stop time not finite or < 0 ("stopTime"), or more than 10 000 000 bins
//    ("groupTime");
//  - std::invalid_argument for options.threads < 0;
//  - EffectParameterError ("stopTime") when a fine response was asked for and would be longer
//    than kMaxFineResponseSamples, or its rate is not positive;
//  - EffectMemoryError when the paths asked for cannot fit the memory budget even at their
//    shortest (it is thrown after the tracing too, when the kept paths outgrew the budget).
// Throws EffectCancelled when options.cancel is seen set (between rays and inside long rays); the
// previous effect is kept then too. An object list without a first object gives zeros.
void ComputeEffect(SceneSettings& scene, ProgressSink* progress, const EffectOptions& options = {});

} // namespace sonivera
