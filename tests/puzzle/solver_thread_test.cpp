// The solver thread on both hosts, with real pauses (two disks: three moves): it fills peg 0,
// solves on its own thread and ends; and process-end cleanup while it is still moving disks.
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
