// The pool's hand-over: every echo reaches the calling thread once, in ray order and in the order
// each ray wrote it, also when single rays write more than the queue holds; a worker's failure
// reaches the caller.
#include "core/tracer/EchoPipeline.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace sonivera {

namespace {

// Ray r writes this many echoes: mostly a few, every 40th ray far more than the queue holds.
std::int32_t EchoesOfRay(std::int32_t r) {
    return r % 40 == 17 ? 700000 : (r * 37) % 300;
}

TEST(EchoPipeline, EchoesArriveInRayOrderWhateverTheWorkersAndChunks) {
    constexpr std::int32_t kRays = 160;
    for (int workers : {1, 2, 3}) {
        EchoPipeline pipeline(kRays, workers, nullptr);
        std::int32_t ray = 0;
        std::int32_t next = 0; // the echo of `ray` expected next
        std::vector<std::int32_t> done;
        pipeline.Run(
            [](int, std::int32_t r, EchoWriter& writer) {
                for (std::int32_t e = 0; e < EchoesOfRay(r); ++e) {
                    writer(r, static_cast<double>(e));
                }
            },
            [&](const EchoChunk& chunk) {
                for (std::size_t e = 0; e < chunk.count; ++e) {
                    ASSERT_EQ(chunk.bins[e], ray);
                    ASSERT_EQ(chunk.amplitudes[e], static_cast<double>(next));
                    ++next;
                }
            },
            [&](std::int32_t r) {
                ASSERT_EQ(r, ray);
                ASSERT_EQ(next, EchoesOfRay(r));
                done.push_back(r);
                ++ray;
                next = 0;
            });
        EXPECT_EQ(ray, kRays) << workers << " workers";
        EXPECT_EQ(done.size(), static_cast<std::size_t>(kRays));
    }
}

TEST(EchoPipeline, AWorkersFailureReachesTheCaller) {
    EchoPipeline pipeline(500, 2, nullptr);
    EXPECT_THROW(pipeline.Run(
                     [](int, std::int32_t r, EchoWriter& writer) {
                         writer(r, 1.0);
                         if (r == 300) {
                             throw std::runtime_error("ray 300");
                         }
                     },
                     [](const EchoChunk&) {}, [](std::int32_t) {}),
                 std::runtime_error);
}

} // namespace

} // namespace sonivera
