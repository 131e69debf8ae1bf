// sonivera_bench_ceiling SCENE.3d [ROUNDS]: how much two threads can gain on this machine at best,
// against what the pool gains. Each round, alternating:
//   alone     one calculation on one thread;
//   together  two independent one-thread calculations of the scene at once, on two threads of
//             this process (nothing shared but the machine): the slower one's time;
//   pool      one calculation with two threads.
// A pool that lost nothing would split the work of one calculation between two threads as well as
// two calculations share the machine, so 2 · alone / together is the most two threads can give;
// alone / pool is what they give. Medians over the rounds (default 9).
#include "core/model/SceneFile.h"
#include "core/model/SceneSettings.h"
#include "core/tracer/ComputeEffect.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

using namespace sonivera;

namespace {

double Calculate(SceneSettings& scene, int threads) {
    EffectOptions options;
    options.threads = threads;
    const auto start = std::chrono::steady_clock::now();
    ComputeEffect(scene, nullptr, options);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SCENE.3d [ROUNDS]\n", argv[0]);
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    auto first = ReadSceneFile(argv[1]);
    auto second = ReadSceneFile(argv[1]);
    std::vector<double> alone, together, pool;
    for (int r = 0; r < rounds; ++r) {
        alone.push_back(Calculate(*first, 1));
        double other = 0.0;
        std::thread partner([&] { other = Calculate(*second, 1); });
        const double mine = Calculate(*first, 1);
        partner.join();
        together.push_back(std::max(mine, other));
        pool.push_back(Calculate(*first, 2));
    }
    const double a = Median(alone);
    const double t = Median(together);
    const double p = Median(pool);
    std::printf("%s: alone %.4f s, two together %.4f s, pool of two %.4f s; ceiling %.2fx, "
                "pool %.2fx\n",
                argv[1], a, t, p, 2.0 * a / t, a / p);
    return 0;
}
