#include "core/tracer/PreparedScene.h"

#include "core/model/SceneSettings.h"
#include "core/tracer/ComputeEffectDetail.h"
#include "core/tracer/RayWalker.h"

namespace sonivera {

namespace {

// Adds echoes straight into the bins, in the order the walker records them: the order in which
// ComputeEffect sums them, whatever its number of workers.
struct PointSink {
    double* bins;
    std::uint64_t echoes = 0;
    void operator()(std::int32_t bin, double amplitude, double) {
        bins[bin] += amplitude;
        ++echoes;
    }
};

} // namespace

PreparedScene::PreparedScene(const SceneSettings& scene)
    : m_params(MakeTraceParameters(scene)), m_snapshot(SnapshotScene(scene)),
      m_search(std::make_unique<RectSearch>(m_snapshot, kIndexFromRects, SearchIndex::kGrid,
                                            RectLanes::Best(), VisibilityUse::kMap)),
      m_fan(RayWalker<PointSink>::FanDirections(m_params)) {}

std::vector<double> PreparedScene::EffectAt(double x, double y, const std::atomic<bool>* cancel,
                                            TraceStats* stats, const RectSearch* own) const {
    std::vector<double> bins(static_cast<std::size_t>(m_params.binCount), 0.0);
    if (m_snapshot.hasListener) {
        // The walker reads the listener from its scene; the search keeps reading the shared one,
        // whose rectangles and sources are the same.
        TraceScene scene = m_snapshot;
        scene.listenerX = x;
        scene.listenerY = y;
        RayWalker<PointSink> walker(scene, own != nullptr ? *own : *m_search, m_params, cancel);
        walker.UseFan(m_fan);
        PointSink sink{bins.data()};
        walker.DirectSound(sink);
        for (std::int32_t ray = 0; ray < m_params.calc.rayCount; ++ray) {
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
                throw EffectCancelled();
            }
            walker.TraceRay(ray, sink);
        }
        if (stats != nullptr) {
            stats->rays += static_cast<std::uint64_t>(m_params.calc.rayCount);
            stats->nodes += walker.Nodes();
            stats->searches += walker.Searches();
            stats->echoes += sink.echoes;
        }
    }
    if (m_params.calc.normalize) {
        NormalizeEffect(bins.data(), m_params.binCount, nullptr);
    }
    return bins;
}

} // namespace sonivera
