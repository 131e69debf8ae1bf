// A task thread runs what is posted to it in order, on its own thread; errors reach whoever waits;
// work shared out waits for every helper, also when one side fails; a sleeping task thread woken
// by a busy poster runs beside it, then anywhere it could.
#include "core/tracer/TaskThread.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace sonivera {

namespace {

TEST(TaskThread, RunsTasksInOrderAndHandsTheFirstErrorToTheNextWait) {
    std::vector<int> order;
    std::thread::id ranOn;
    {
        TaskThread thread;
        for (int i = 0; i < 5; ++i) {
            thread.Post([&, i] {
                order.push_back(i);
                ranOn = std::this_thread::get_id();
            });
        }
        thread.Wait();
        EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
        EXPECT_NE(ranOn, std::this_thread::get_id());

        thread.Post([] { throw std::runtime_error("first"); });
        thread.Post([] { throw std::runtime_error("second"); });
        thread.Post([&] { order.push_back(5); }); // a failure does not stop the tasks after it
        try {
            thread.Wait();
            ADD_FAILURE() << "the task's error was lost";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "first");
        }
        EXPECT_NO_THROW(thread.Wait()); // handed over once
        thread.Post([] { throw std::runtime_error("dropped"); });
        thread.Drain();
        EXPECT_NO_THROW(thread.Wait());
        // Posted and not waited for: the thread still runs it before it ends.
        thread.Post([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            order.push_back(6);
        });
    }
    EXPECT_EQ(order.back(), 6);
}

TEST(TaskThread, SharingOutWaitsForEveryHelperWhicheverSideFails) {
    std::vector<std::unique_ptr<TaskThread>> threads;
    std::vector<TaskThread*> helpers;
    for (int i = 0; i < 3; ++i) {
        threads.push_back(std::make_unique<TaskThread>());
        helpers.push_back(threads.back().get());
    }
    // Pieces taken from one counter by four threads: each piece once.
    std::atomic<int> next{0};
    std::vector<std::atomic<int>> taken(1000);
    bool ownDone = false;
    const auto part = [&] {
        for (int i = next++; i < 1000; i = next++) {
            ++taken[static_cast<std::size_t>(i)];
        }
    };
    ShareOut(
        helpers, [&] { ownDone = true; }, part);
    EXPECT_TRUE(ownDone);
    for (const auto& t : taken) {
        ASSERT_EQ(t.load(), 1);
    }
    // The calling thread fails: its error comes back once the helpers' slow parts have ended.
    std::atomic<int> ended{0};
    const auto slow = [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        ++ended;
    };
    EXPECT_THROW(ShareOut(
                     helpers, [] { throw std::runtime_error("own"); }, slow),
                 std::runtime_error);
    EXPECT_EQ(ended.load(), 3);
    // A helper fails: its error reaches the caller, and the other helpers are done too.
    ended = 0;
    std::atomic<int> calls{0};
    try {
        ShareOut(
            helpers, [] {},
            [&] {
                if (calls++ == 0) {
                    throw std::length_error("part");
                }
                slow();
            });
        ADD_FAILURE() << "the helper's error was lost";
    } catch (const std::length_error&) {
    }
    EXPECT_EQ(ended.load(), 3);
    for (TaskThread* helper : helpers) {
        EXPECT_NO_THROW(helper->Wait());
    }
}

TEST(TaskThread, ASleepingThreadWokenByABusyOneRunsBesideItThenAnywhere) {
    cpu_set_t all;
    ASSERT_EQ(0, pthread_getaffinity_np(pthread_self(), sizeof all, &all));
    TaskThread thread;
    int elsewhere = 0;
    for (int round = 0; round < 20; ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5)); // the thread is asleep now
        std::atomic<bool> done{false};
        int ranOn = -1;
        cpu_set_t during;
        CPU_ZERO(&during);
        const int poster = sched_getcpu();
        thread.Post([&] {
            ranOn = sched_getcpu();
            pthread_getaffinity_np(pthread_self(), sizeof during, &during);
            done = true;
        });
        while (!done) {
            // busy, as a calling thread tracing its first rays is
        }
        thread.Wait();
        ASSERT_TRUE(CPU_EQUAL(&during, &all)) << "round " << round;
        elsewhere += ranOn != poster ? 1 : 0;
    }
    if (CPU_COUNT(&all) > 1) {
        // The poster may move between asking where it is and posting, hence not 20.
        EXPECT_GE(elsewhere, 18);
    }
}

} // namespace

} // namespace sonivera
