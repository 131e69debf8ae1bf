// sonivera_bench_ceiling SCENE.3d [ROUNDS]: how much two threads can gain on this machine at best,
// against what the pool gains. Each round, alternating:
//   alone     one calculation on one thread;
//   together  two independent one-thread calculations of the scene at once, on two threads of
//             this process (nothing shared but the machine): the slower one's time;
//   pool      one calculation with two threads.
// A pool that lost nothing would split the work of one calculation between two threads as well as
// two calculations share the machine, so 2 · alone / together is the most two threads can give;
// alone / pool is what they give. Medians over the rounds (default 9).
// The same is measured for a loop that keeps everything in registers (no memory, nothing shared,
// nothing to start): what the machine itself gives two threads, whatever they run.
#include "core/model/SceneFile.h"
#include "core/model/SceneSettings.h"
#include "core/tracer/ComputeEffect.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdint>
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

// About 0.1 s of arithmetic that never leaves the registers; returns its wall time.
double RegisterLoop() {
    const auto start = std::chrono::steady_clock::now();
    double x = 1.0;
    double y = 0.5;
    std::uint64_t k = 0;
    for (std::uint64_t i = 0; i < 60'000'000; ++i) {
        x = x * 1.0000001 + y;
        y = y * 0.9999999;
        k += i ^ (k >> 3);
    }
    volatile double sink = x + y + static_cast<double>(k);
    static_cast<void>(sink);
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
    std::vector<double> alone, together, pool, loopAlone, loopTogether;
    for (int r = 0; r < rounds; ++r) {
        loopAlone.push_back(RegisterLoop());
        double otherLoop = 0.0;
        std::thread loopPartner([&] { otherLoop = RegisterLoop(); });
        const double mineLoop = RegisterLoop();
        loopPartner.join();
        loopTogether.push_back(std::max(mineLoop, otherLoop));
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
    const double la = Median(loopAlone);
    const double lt = Median(loopTogether);
    std::printf("register loop: alone %.4f s, two together %.4f s; ceiling %.2fx\n", la, lt,
                2.0 * la / lt);
    return 0;
}
