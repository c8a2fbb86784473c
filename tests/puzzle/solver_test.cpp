// The solver with real pauses on both hosts: three disks, and the spare-peg rule.
#include "puzzle/solver.h"

#include "tests/puzzle/puzzle_test_support.h"

#include <chrono>

TEST(Solver, SparePegForEveryOrderedPair) {
    EXPECT_EQ(SparePeg(0, 1), 2);
    EXPECT_EQ(SparePeg(0, 2), 1);
    EXPECT_EQ(SparePeg(1, 0), 2);
    EXPECT_EQ(SparePeg(1, 2), 0);
    EXPECT_EQ(SparePeg(2, 0), 1);
    EXPECT_EQ(SparePeg(2, 1), 0);
}

using SolverRun = PuzzleTest;

TEST_F(SolverRun, FillingPutsDisksOnTheFirstPegLargestAtTheBottom) {
    FillPegs(DiskCount);
    EXPECT_EQ(PegText(0), "7654321");
    EXPECT_EQ(PegText(1), "");
    EXPECT_EQ(PegText(2), "");
    FillPegs(3);  // filling again starts from empty pegs
    EXPECT_EQ(PegText(0), "321");
}

TEST_F(SolverRun, ThreeDisksWithRealPauses) {
    FillPegs(3);
    const auto start = std::chrono::steady_clock::now();
    SolveHanoi(3, 0, 2);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(PegText(0), "");
    EXPECT_EQ(PegText(1), "");
    EXPECT_EQ(PegText(2), "321");
    EXPECT_EQ(MovingDisk.vt, VT_I4);
    EXPECT_EQ(MovingDisk.lVal, 1);
    EXPECT_EQ(SourceCount, 1);
    // Seven moves, each followed by a 250 ms pause.
    EXPECT_GE(elapsed, std::chrono::milliseconds(7 * 250 - 10));
}

TEST_F(SolverRun, ZeroDisksMoveNothing) {
    FillPegs(2);
    SolveHanoi(0, 0, 2);
    EXPECT_EQ(PegText(0), "21");
}
