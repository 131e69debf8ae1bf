#pragma once

#include "core/model/SceneRay.h"

#include <vector>

namespace sonivera {

class CSceneObject;
class CRectObject;
struct SceneSettings;

// The effect calculation written plainly, step by step, as the oracle of the tests and the
// baseline of the benchmarks: one thread, a tree of nodes per ray, linked lists of contributions
// and echoes, every search a virtual IntersectRay over the whole object list. It shares no code
// with the product's tracer. Recursion goes as deep as the longest path (up to 10 000 legs), so
// call it through RunOnLargeStack.
namespace reference {

struct Vec2 {
    double x;
    double y;
};

struct SourceContribution {
    double distance = 0.0;
    double amplitude = 0.0;
    SourceContribution* next = nullptr;
    int source = 0; // which source (rank among the sources), for the echo log
};

struct Echo {
    double delay = 0.0;
    double amplitude = 0.0;
    Echo* next = nullptr;
    int source = 0;
};

// One recorded echo as the log of a calculation lists it: the ray (−1 for the direct sound),
// its rank among that ray's echoes, the source, the delay, amplitude and bin.
struct LoggedEcho {
    int ray = -1;
    unsigned order = 0;
    int source = 0;
    double delay = 0.0;
    double amplitude = 0.0;
    int bin = 0;
};

struct PathNode {
    double reflectionLegLength = 0.0;
    double passageLegLength = 0.0;
    double reflectionLegFactor = 0.0;
    double passageLegFactor = 0.0;
    double pathLength = 0.0;
    double amplitude = 0.0;
    SourceContribution* contributions = nullptr;
    PathNode* reflectionChild = nullptr;
    PathNode* passageChild = nullptr;
    PathNode* parent = nullptr;

    PathNode() = default;
    PathNode(const PathNode&) = delete;
    PathNode& operator=(const PathNode&) = delete;
    ~PathNode();
};

void FreeContributions(SourceContribution* list);

// The bins of the scene's effect (normalised when the scene asks for it) and the progress
// positions in the order they were sent. Expects settings the product accepts.
struct ReferenceResult {
    std::vector<double> bins;
    std::vector<int> progress;
    unsigned long long nodes = 0;
    std::vector<LoggedEcho> echoes; // filled only when asked for
};
ReferenceResult ComputeReferenceEffect(const SceneSettings& scene, bool logEchoes = false);

// Runs fn on a thread with a stack large enough for the deepest recursion of the reference.
void RunOnLargeStack(void (*fn)(void*), void* arg);
ReferenceResult ComputeReferenceEffectOnLargeStack(const SceneSettings& scene,
                                                   bool logEchoes = false);

} // namespace reference

} // namespace sonivera
