// Portable only: instant pauses and the platform trace make the whole seven-disk solution and
// a hundred process-end races take milliseconds; Windows pauses really.
#include "puzzle/solver_thread.h"

#include "program/module_tables.h"
#include "platform/trace.h"
#include "runtime/runtime_globals.h"
#include "runtime/threads.h"
#include "tests/puzzle/puzzle_test_support.h"

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

namespace {
class SolverThreadPortableConcurrency : public PuzzleTest {
   protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        savedTables = TheRuntime.tables;
        savedVariables = TheRuntime.moduleVariables;
        TheRuntime.tables.moduleCleanup = ModuleCleanupTable;
        TheRuntime.moduleVariables = &Module;
        baseline = ActiveRuntimeThreads();
        platform_trace::SetInstantSleep(true);
    }
    void TearDown() override {
        platform_trace::SetObserver(nullptr);
        platform_trace::SetInstantSleep(false);
        platform_trace::Enable(false);
        TheRuntime.tables = savedTables;
        TheRuntime.moduleVariables = savedVariables;
        PuzzleTest::TearDown();
    }
    // The solver's handle is closed at once, so its end is seen in the run-time's count.
    bool WaitForSolverEnd() const {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (ActiveRuntimeThreads() != baseline) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::yield();
        }
        return true;
    }

    ModuleTables savedTables{};
    void* savedVariables = nullptr;
    LONG baseline = 0;
};
}  // namespace

TEST_F(SolverThreadPortableConcurrency, StartSolverThreadRunsSevenDisksWithAOneMegabyteStack) {
    platform_trace::Clear();
    platform_trace::Enable(true);
    StartSolverThread();
    ASSERT_TRUE(WaitForSolverEnd());
    platform_trace::Enable(false);
    EXPECT_EQ(PegText(2), "7654321");
    int creations = 0, closes = 0, redraws = 0;
    for (const platform_trace::Event& event : platform_trace::Events()) {
        if (event.call == "CreateThread") {
            ++creations;
            EXPECT_EQ(event.detail, "stack=1048576 flags=0");
        }
        if (event.call == "CloseHandle") {
            ++closes;
            EXPECT_EQ(creations, 1);  // the handle goes right after the creation
            EXPECT_EQ(event.detail, "closed");
        }
        if (event.call == "RedrawWindow") ++redraws;
    }
    EXPECT_EQ(creations, 1);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(redraws, 127);
}

// A hundred process ends, each while the solver is held inside a move (right at its repaint
// request, the k-th of 127, k spread over the whole solution): the cleanup must leave the
// pegs alone, and the solver must go on to the final position on live pegs. AddressSanitizer
// and ThreadSanitizer watch every access.
TEST_F(SolverThreadPortableConcurrency, ShutdownCleanupDuringAnyMoveNeverReleasesLivePegs) {
    std::atomic<int> moves{0};
    std::atomic<int> holdAt{0};
    std::atomic<bool> held{false};
    std::atomic<bool> cleanupDone{false};
    platform_trace::SetObserver([&](const platform_trace::Event& event) {
        if (event.call != "RedrawWindow" || ++moves != holdAt.load()) return;
        held = true;
        while (!cleanupDone.load()) std::this_thread::yield();
    });
    platform_trace::Enable(true);
    std::mt19937 random(20240601);
    for (int round = 0; round < 100; ++round) {
        moves = 0;
        held = false;
        cleanupDone = false;
        holdAt = std::uniform_int_distribution<int>(1, 127)(random);
        StartSolverThread();
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!held.load() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        ASSERT_TRUE(held.load());
        EXPECT_FALSE(ReleaseModuleVariables()) << "round " << round;
        cleanupDone = true;
        ASSERT_TRUE(WaitForSolverEnd());
        ASSERT_EQ(PegText(2), "7654321") << "round " << round;
        for (LONG peg = 0; peg < kPegCount; ++peg) {
            ASSERT_EQ(PegAt(peg)->AddRef(), 2u);
            PegAt(peg)->Release();
        }
    }
    platform_trace::SetObserver(nullptr);
}

// The same cleanup at unsynchronised moments: whenever it does release (the solver had
// already ended), the solver had finished its work first.
TEST_F(SolverThreadPortableConcurrency, ShutdownCleanupAtRandomMomentsNeverReleasesLivePegs) {
    std::mt19937 random(20240602);
    for (int round = 0; round < 100; ++round) {
        StartSolverThread();
        int spins = std::uniform_int_distribution<int>(0, 400)(random);
        for (int i = 0; i < spins; ++i) std::this_thread::yield();
        bool released = ReleaseModuleVariables();
        ASSERT_TRUE(WaitForSolverEnd());
        if (released) {
            PuzzleTest::SetUp();  // the arrays went with the cleanup: new ones for the next round
            continue;
        }
        ASSERT_EQ(PegText(2), "7654321") << "round " << round;
        for (LONG peg = 0; peg < kPegCount; ++peg) {
            ASSERT_EQ(PegAt(peg)->AddRef(), 2u);
            PegAt(peg)->Release();
        }
    }
}
