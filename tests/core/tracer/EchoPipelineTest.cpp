// The pool's hand-over: every echo is consumed once, in ray order and in the order each ray wrote
// it, also when single rays write more than the queue holds; progress reaches the calling thread
// in ray order; a worker's failure reaches the caller.
#include "core/tracer/EchoPipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

namespace sonivera {

namespace {

// Ray r writes this many echoes: mostly a few, every 40th ray far more than the queue holds.
std::int32_t EchoesOfRay(std::int32_t r) {
    return r % 40 == 17 ? 700000 : (r * 37) % 300;
}

TEST(EchoPipeline, EchoesArriveInRayOrderWhateverTheWorkersAndChunks) {
    constexpr std::int32_t kRays = 160;
    // Workers and how many of the others run on task threads already started (the rest on
    // threads of the pipeline's own).
    const std::pair<int, int> cases[] = {{1, 0}, {2, 0}, {3, 0}, {2, 1}, {3, 1}};
    for (const auto& [workers, helped] : cases) {
        std::vector<std::unique_ptr<TaskThread>> threads;
        std::vector<TaskThread*> helpers;
        for (int h = 0; h < helped; ++h) {
            threads.push_back(std::make_unique<TaskThread>());
            helpers.push_back(threads.back().get());
        }
        EchoPipeline pipeline(kRays, workers, nullptr);
        // Consumption runs on any worker, one call at a time: the echoes of each ray in order,
        // the rays in order (a ray without echoes leaves nothing to see).
        std::int32_t ray = 0;
        std::int32_t next = 0; // the echo of `ray` expected next
        const auto finishRaysBefore = [&](std::int32_t r) {
            for (; ray < r; ++ray, next = 0) {
                ASSERT_EQ(next, EchoesOfRay(ray)) << "ray " << ray;
            }
        };
        std::vector<std::atomic<std::int32_t>> seen(kRays);
        std::vector<std::int32_t> done;
        const auto caller = std::this_thread::get_id();
        pipeline.Run(
            [](int, EchoWriter& writer) {
                while (writer.NextRay()) {
                    const std::int32_t r = writer.Ray();
                    for (std::int32_t e = 0; e < EchoesOfRay(r); ++e) {
                        writer(r, static_cast<double>(e));
                    }
                }
            },
            [&](const EchoChunk& chunk) {
                for (std::size_t e = 0; e < chunk.count; ++e) {
                    ASSERT_GE(chunk.bins[e], ray);
                    finishRaysBefore(chunk.bins[e]);
                    ASSERT_EQ(chunk.amplitudes[e], static_cast<double>(next));
                    ++next;
                    ++seen[static_cast<std::size_t>(ray)];
                }
            },
            [&](std::int32_t r) {
                // On the calling thread, in order, once every echo of the ray is in.
                ASSERT_EQ(std::this_thread::get_id(), caller);
                ASSERT_EQ(r, static_cast<std::int32_t>(done.size()));
                ASSERT_EQ(seen[static_cast<std::size_t>(r)].load(), EchoesOfRay(r));
                done.push_back(r);
            },
            helpers);
        finishRaysBefore(kRays);
        EXPECT_EQ(done.size(), static_cast<std::size_t>(kRays)) << workers << " workers";
    }
}

TEST(EchoPipeline, EveryWorkerReturnsNormallyOnceTheFanIsDone) {
    // A slow first ray fills the window, and the other workers wait for it; some wake only when
    // the fan is done. Each must then learn that no ray is left, not be stopped as if another
    // had failed: what a worker counts after its loop (the walk's statistics) would be lost.
    constexpr std::int32_t kRays = 300;
    for (int run = 0; run < 10; ++run) {
        EchoPipeline pipeline(kRays, 8, nullptr);
        std::atomic<int> traced{0};
        pipeline.Run(
            [&](int, EchoWriter& writer) {
                int mine = 0;
                while (writer.NextRay()) {
                    if (writer.Ray() == 0) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    }
                    writer(writer.Ray(), 1.0);
                    ++mine;
                }
                traced += mine;
            },
            [](const EchoChunk&) {}, [](std::int32_t) {});
        ASSERT_EQ(traced.load(), kRays) << "run " << run;
    }
}

TEST(EchoPipeline, AWorkersFailureReachesTheCaller) {
    // The failing worker on a thread of the pipeline's own, then on a task thread, which is
    // free for its next task afterwards.
    TaskThread helper;
    TaskThread* const helpers[] = {&helper};
    for (std::size_t helped : {0u, 1u}) {
        EchoPipeline pipeline(500, 2, nullptr);
        EXPECT_THROW(pipeline.Run(
                         [](int, EchoWriter& writer) {
                             while (writer.NextRay()) {
                                 writer(writer.Ray(), 1.0);
                                 if (writer.Ray() == 300) {
                                     throw std::runtime_error("ray 300");
                                 }
                             }
                         },
                         [](const EchoChunk&) {}, [](std::int32_t) {}, std::span(helpers, helped)),
                     std::runtime_error);
    }
    bool free = false;
    helper.Post([&] { free = true; });
    helper.Wait();
    EXPECT_TRUE(free);
    // A worker that leaves with a ray taken and not handed over would hold the fan for ever.
    for (int workers : {1, 2}) {
        EchoPipeline early(500, workers, nullptr);
        EXPECT_THROW(early.Run([](int, EchoWriter& writer) { writer.NextRay(); },
                               [](const EchoChunk&) {}, [](std::int32_t) {}),
                     std::logic_error);
    }
}

} // namespace

} // namespace sonivera
