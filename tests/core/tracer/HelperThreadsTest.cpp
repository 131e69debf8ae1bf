// Helpers are lent to one calculation at a time and kept for the next: a lease waits for what its
// helpers were given, the next lease gets the same threads, leases held at once get threads of
// their own.
#include "core/tracer/HelperThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

namespace sonivera {

namespace {

TEST(HelperLease, GivesTheSameThreadsBackAfterTheirTasksAndOthersToALeaseHeldAtOnce) {
    std::set<TaskThread*> first;
    std::atomic<int> ran{0};
    {
        const HelperLease lease(2);
        ASSERT_EQ(lease.Threads().size(), 2u);
        for (TaskThread* helper : lease.Threads()) {
            first.insert(helper);
            helper->Post([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                ++ran;
            });
        }
        EXPECT_EQ(first.size(), 2u);
    } // waits for both tasks
    EXPECT_EQ(ran.load(), 2);
    const HelperLease again(2);
    const HelperLease meanwhile(1);
    std::set<TaskThread*> second(again.Threads().begin(), again.Threads().end());
    EXPECT_EQ(second, first);
    EXPECT_EQ(second.count(meanwhile.Threads()[0]), 0u);
    EXPECT_TRUE(HelperLease(0).Threads().empty());
}

} // namespace

} // namespace sonivera
