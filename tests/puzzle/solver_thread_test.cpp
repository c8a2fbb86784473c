// The solver thread, with real pauses on both hosts (two disks: three moves): it fills peg 0,
// solves on its own thread and ends; and process-end cleanup while it is still moving disks.
// On the portable host also the whole solution and process-end races with instant pauses.
#include "puzzle/solver_thread.h"

#include "program/module_tables.h"
#include "runtime/runtime_globals.h"
#include "runtime/threads.h"
#include "tests/puzzle/puzzle_test_support.h"

#include <chrono>
#include <thread>

namespace {
class SolverThreadConcurrency : public PuzzleTest {
   protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        savedTables = TheRuntime.tables;
        savedVariables = TheRuntime.moduleVariables;
        TheRuntime.tables.moduleCleanup = ModuleCleanupTable;
        TheRuntime.moduleVariables = &Module;
        baseline = ActiveRuntimeThreads();
    }
    void TearDown() override {
        TheRuntime.tables = savedTables;
        TheRuntime.moduleVariables = savedVariables;
        PuzzleTest::TearDown();
    }
    HANDLE Start(LONG disks) {
        HANDLE handle = nullptr;
        CreateRuntimeThread(0, SolverStackSize, disks, SolverThread, &handle);
        return handle;
    }
    // Waits (with a deadline) until the thread has ended and returns its exit code.
    static DWORD Finish(HANDLE handle) {
        EXPECT_EQ(WaitForSingleObject(handle, 20000), static_cast<DWORD>(WAIT_OBJECT_0));
        DWORD code = 99;
        EXPECT_TRUE(GetExitCodeThread(handle, &code));
        LONG closed = 0;
        CloseThreadHandle(handle, &closed);
        return code;
    }
    static LONG Count(LONG peg) {
        LONG count = 0;
        PegAt(peg)->COUNT(&count);
        return count;
    }

    ModuleTables savedTables{};
    void* savedVariables = nullptr;
    LONG baseline = 0;
};

bool WaitFor(bool (*condition)()) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}
}  // namespace

TEST_F(SolverThreadConcurrency, FillsPegZeroSolvesAndEnds) {
    VARIANT stale{};
    stale.vt = VT_I4;
    stale.lVal = 9;
    PegAt(1)->ADD(&stale);  // whatever the pegs held before is cleared first
    HANDLE solver = Start(2);
    ASSERT_NE(solver, nullptr);
    EXPECT_EQ(Finish(solver), 0u);
    EXPECT_EQ(PegText(0), "");
    EXPECT_EQ(PegText(1), "");
    EXPECT_EQ(PegText(2), "21");
    EXPECT_EQ(ActiveRuntimeThreads(), baseline);  // its end wrapper has run
}

// The shutdown race: RuntimeExit's module cleanup while the solver is between moves must
// leave the pegs alone; once the solver has ended, the same cleanup releases them.
TEST_F(SolverThreadConcurrency, ShutdownCleanupLeavesThePegsToARunningSolver) {
    HANDLE solver = Start(2);
    ASSERT_NE(solver, nullptr);
    ASSERT_TRUE(WaitFor([] { return Count(2) + Count(1) > 0; }));  // the first move is made
    EXPECT_FALSE(ReleaseModuleVariables());
    EXPECT_EQ(Finish(solver), 0u);
    EXPECT_EQ(PegText(2), "21");  // the solver worked on live pegs to the end
    for (LONG peg = 0; peg < kPegCount; ++peg) {
        EXPECT_EQ(PegAt(peg)->AddRef(), 2u);  // still the one reference of the program
        PegAt(peg)->Release();
    }
    // Alone again: the cleanup erases the peg array, releasing each peg reference once, and
    // clears the moving disk (the extra reference taken here keeps the pegs to look at).
    ILinkListCollection* pegs[kPegCount];
    for (LONG peg = 0; peg < kPegCount; ++peg) {
        pegs[peg] = PegAt(peg);
        pegs[peg]->AddRef();
    }
    EXPECT_TRUE(ReleaseModuleVariables());
    EXPECT_EQ(Module.Pegs.descriptor.data, nullptr);
    EXPECT_EQ(Module.DiskSizes.descriptor.data, nullptr);
    for (LONG peg = 0; peg < kPegCount; ++peg) EXPECT_EQ(pegs[peg]->Release(), 0u);
    EXPECT_EQ(MovingDisk.vt, VT_EMPTY);
}

// Portable host only: instant pauses and the platform trace make the whole seven-disk
// solution and a hundred process-end races take milliseconds; Windows pauses really.
#ifndef _WIN32
#include "platform/trace.h"
#include "runtime/exit_gate.h"

#include <atomic>
#include <random>

namespace {
// The same set-up with instant pauses.
class SolverThreadPortableConcurrency : public SolverThreadConcurrency {
   protected:
    void SetUp() override {
        SolverThreadConcurrency::SetUp();
        platform_trace::SetInstantSleep(true);
    }
    void TearDown() override {
        platform_trace::SetObserver(nullptr);
        platform_trace::SetInstantSleep(false);
        platform_trace::Enable(false);
        SolverThreadConcurrency::TearDown();
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
};
}  // namespace

TEST_F(SolverThreadPortableConcurrency, StartSolverThreadRunsSevenDisksWithAOneMegabyteStack) {
    platform_trace::Clear();
    // The process may end the solver in its pauses only: it repaints at work, pauses outside.
    std::atomic<int> pausesAtWork{0}, repaintsOutsideWork{0};
    platform_trace::SetObserver([&](const platform_trace::Event& event) {
        if (event.call == "Sleep" && SectionsAtWork() != 0) ++pausesAtWork;
        if (event.call == "RedrawWindow" && SectionsAtWork() != 1) ++repaintsOutsideWork;
    });
    platform_trace::Enable(true);
    StartSolverThread();
    ASSERT_TRUE(WaitForSolverEnd());
    platform_trace::Enable(false);
    EXPECT_EQ(pausesAtWork.load(), 0);
    EXPECT_EQ(repaintsOutsideWork.load(), 0);
    EXPECT_EQ(SectionsAtWork(), 0);
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
#endif  // _WIN32
