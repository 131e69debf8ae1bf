// A worker thread starts on a processor other than its creator's and then takes back the
// creator's set of processors.
#include "core/tracer/WorkerThread.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <vector>

namespace sonivera {

namespace {

TEST(WorkerThread, StartsBesideItsCreatorAndThenMayRunAnywhereItCould) {
    cpu_set_t creatorCpus;
    ASSERT_EQ(0, pthread_getaffinity_np(pthread_self(), sizeof creatorCpus, &creatorCpus));
    int elsewhere = 0;
    for (int round = 0; round < 20; ++round) {
        const int creator = sched_getcpu();
        int first = -1;
        cpu_set_t later;
        CPU_ZERO(&later);
        {
            WorkerThread worker([&] {
                first = sched_getcpu();
                pthread_getaffinity_np(pthread_self(), sizeof later, &later);
            });
        } // joined here
        ASSERT_TRUE(CPU_EQUAL(&later, &creatorCpus));
        elsewhere += first != creator ? 1 : 0;
    }
    if (CPU_COUNT(&creatorCpus) > 1) {
        // The creator waits in the join, so a plain thread would mostly start on its processor.
        // The creator may move between asking where it is and making the worker, hence not 20.
        EXPECT_GE(elsewhere, 18);
    }
}

TEST(WorkerThread, RunsItsBodyOnceAndJoinsWhenMovedOrJoinedTwice) {
    std::atomic<int> runs{0};
    std::vector<WorkerThread> workers;
    for (int i = 0; i < 4; ++i) {
        workers.emplace_back([&] { ++runs; });
    }
    for (WorkerThread& worker : workers) {
        worker.Join();
        worker.Join();
    }
    EXPECT_EQ(runs.load(), 4);
}

} // namespace

} // namespace sonivera
