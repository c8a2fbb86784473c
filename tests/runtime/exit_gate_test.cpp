// The exit gate: the way out waits for threads at work, never for the caller, and gives up
// on a stuck one. (The solver's pauses outside its section: tests/puzzle/solver_thread_test.)
#include "runtime/exit_gate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {
class ExitGateConcurrency : public ::testing::Test {
   protected:
    void TearDown() override { ReopenExitGateForTests(); }
};

void WaitUntil(const std::atomic<bool>& flag) {
    while (!flag.load()) std::this_thread::yield();
}
}  // namespace

TEST_F(ExitGateConcurrency, ShuttingWaitsForAThreadAtWorkAndThenRefusesNewWork) {
    std::atomic<bool> inside{false}, left{false};
    std::thread worker([&] {
        ASSERT_TRUE(EnterWorkSection());
        inside = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        left = true;
        LeaveWorkSection();
    });
    WaitUntil(inside);
    EXPECT_TRUE(ShutExitGate(10000));
    EXPECT_TRUE(left.load());  // not before the worker left its section
    worker.join();
    std::thread late([] { EXPECT_FALSE(EnterWorkSection()); });
    late.join();
    EXPECT_EQ(SectionsAtWork(), 0);
}

TEST_F(ExitGateConcurrency, TheCallersOwnSectionsAreNotWaitedFor) {
    ASSERT_TRUE(EnterWorkSection());
    ASSERT_TRUE(EnterWorkSection());  // sections nest
    EXPECT_TRUE(ShutExitGate(0));
    EXPECT_EQ(SectionsAtWork(), 2);
    LeaveWorkSection();
    LeaveWorkSection();
}

TEST_F(ExitGateConcurrency, AThreadStuckAtWorkIsGivenUpOnAfterTheWait) {
    std::atomic<bool> inside{false}, release{false};
    std::thread worker([&] {
        ASSERT_TRUE(EnterWorkSection());
        inside = true;
        WaitUntil(release);
        LeaveWorkSection();
    });
    WaitUntil(inside);
    EXPECT_FALSE(ShutExitGate(20));
    release = true;
    worker.join();
}
