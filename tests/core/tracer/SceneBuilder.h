#pragma once

#include "model/Listener.h"
#include "model/RectObject.h"
#include "model/SceneSettings.h"
#include "model/SoundSource.h"
#include "tracer/ComputeEffect.h"
#include "tracer/ProgressSink.h"

#include <memory>
#include <vector>

// Small helpers to build scenes for the tracer's tests.
inline std::unique_ptr<SceneSettings> SceneWithListener(double x, double y) {
    auto scene = std::make_unique<SceneSettings>();
    auto* listener = scene->Add<CListener>();
    listener->m_x = x;
    listener->m_y = y;
    scene->normalize = false;
    return scene;
}

inline CSoundSource* AddSource(SceneSettings& scene, double x, double y, double power = 1.0) {
    auto* s = scene.Add<CSoundSource>();
    s->m_x = x;
    s->m_y = y;
    s->m_power = power;
    return s;
}

inline CRectObject* AddRect(SceneSettings& scene, double x, double y, double w, double h,
                            double reflection, double absorption = 1.7e308) {
    auto* r = scene.Add<CRectObject>();
    r->m_x = x;
    r->m_y = y;
    r->m_width = w;
    r->m_height = h;
    r->m_reflection = reflection;
    r->m_absorption = absorption;
    return r;
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
