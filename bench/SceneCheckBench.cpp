// The scene check on clean scenes of many rectangles (the whole sweep runs, nothing is found
// early): a square lattice of unit rectangles one metre apart, sources between them.
#include "core/calc/SceneCheck.h"
#include "core/model/RectObject.h"
#include "core/model/SoundSource.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace sonivera;

namespace {

std::unique_ptr<SceneSettings> LatticeScene(int rectangles) {
    auto scene = MakeDefaultScene();
    const int side = static_cast<int>(std::ceil(std::sqrt(rectangles)));
    scene->FirstObject()->m_x = -1.0;
    scene->FirstObject()->m_y = -1.0;
    for (int i = 0; i < rectangles; ++i) {
        auto* rect = scene->Add<CRectObject>();
        rect->m_x = 2.0 * (i % side);
        rect->m_y = 2.0 * (i / side);
        rect->m_width = 1.0;
        rect->m_height = 1.0;
        if (i % 10 == 0) {
            auto* source = scene->Add<CSoundSource>();
            source->m_x = rect->m_x + 1.5;
            source->m_y = rect->m_y + 1.5;
        }
    }
    return scene;
}

void BM_SceneCheck(benchmark::State& state) {
    const auto scene = LatticeScene(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const auto finding = FindFirstSceneError(scene->objects);
        if (finding) {
            state.SkipWithError("the lattice scene should be clean");
        }
        benchmark::DoNotOptimize(finding);
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_SceneCheck)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);

BENCHMARK_MAIN();
