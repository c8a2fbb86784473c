// The solver with real pauses on both hosts (three disks) and the spare-peg rule; on the
// portable host also every move of the solution, read from the platform trace.
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

TEST_F(SolverRun, FillingEmptiesEveryPegThatHoldsItems) {
    for (LONG peg = 0; peg < kPegCount; ++peg) {
        VARIANT item{};
        item.vt = VT_I4;
        item.lVal = 4 + peg;
        for (int k = 0; k <= peg; ++k) PegAt(peg)->ADD(&item);
    }
    FillPegs(2);
    EXPECT_EQ(PegText(0), "21");
    EXPECT_EQ(PegText(1), "");
    EXPECT_EQ(PegText(2), "");
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

// Portable host only: the cases below read the platform trace (repaint requests, pauses) and
// make pauses instant, which the real Windows calls cannot offer.
#ifndef _WIN32
#include "platform/trace.h"

#include <vector>

namespace {

// One move as seen at its repaint request: the disk now in transit and the pegs.
struct Move {
    LONG disk;
    LONG from;
    LONG to;
};

class SolverTrace : public PuzzleTest {
   protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        platform_trace::Clear();
        platform_trace::SetInstantSleep(true);
        platform_trace::Enable(true);
        // At each move's repaint request the disk has reached its target peg; compare the
        // peg picture with the one before to see which disk went where.
        platform_trace::SetObserver([this](const platform_trace::Event& event) {
            if (event.call == "Sleep") {
                sequence += "S";
            } else if (event.call == "InvalidateRect") {
                sequence += "I";
                EXPECT_EQ(event.detail, "window=0x0 area=null erase=1");
            } else if (event.call == "RedrawWindow") {
                sequence += "R";
                EXPECT_EQ(event.detail, "window=0x0 area=null region=null flags=0x401");
                RecordMove();
            }
        });
    }
    void TearDown() override {
        platform_trace::SetObserver(nullptr);
        platform_trace::Enable(false);
        platform_trace::SetInstantSleep(false);
        PuzzleTest::TearDown();
    }
    void Solve(LONG disks) {
        FillPegs(disks);
        for (LONG peg = 0; peg < kPegCount; ++peg) before[peg] = PegText(peg);
        SolveHanoi(disks, 0, 2);
    }
    void RecordMove() {
        std::string now[kPegCount];
        LONG from = -1, to = -1;
        for (LONG peg = 0; peg < kPegCount; ++peg) {
            now[peg] = PegText(peg);
            if (now[peg].size() < before[peg].size()) from = peg;
            if (now[peg].size() > before[peg].size()) to = peg;
        }
        ASSERT_GE(to, 0);
        const LONG disk = now[to].back() - '0';
        // Never a larger disk on a smaller one.
        for (LONG peg = 0; peg < kPegCount; ++peg)
            for (size_t i = 1; i < now[peg].size(); ++i)
                EXPECT_GT(now[peg][i - 1], now[peg][i]) << "peg " << peg << ": " << now[peg];
        moves.push_back(Move{disk, from, to});
        for (LONG peg = 0; peg < kPegCount; ++peg) before[peg] = now[peg];
    }
    std::string Describe() const {
        std::string text;
        for (const Move& move : moves)
            text += std::to_string(move.disk) + ":" + std::to_string(move.from) + ">" +
                    std::to_string(move.to) + " ";
        return text;
    }
    std::string before[kPegCount];
    std::vector<Move> moves;
    std::string sequence;
};

}  // namespace

TEST_F(SolverTrace, OneDisk) {
    Solve(1);
    EXPECT_EQ(Describe(), "1:0>2 ");
    EXPECT_EQ(sequence, "RSI");
}

TEST_F(SolverTrace, TwoDisks) {
    Solve(2);
    EXPECT_EQ(Describe(), "1:0>1 2:0>2 1:1>2 ");
    // move, InvalidateRect, move, move, InvalidateRect, InvalidateRect
    EXPECT_EQ(sequence, "RSIRSRSII");
}

TEST_F(SolverTrace, ThreeDisks) {
    Solve(3);
    EXPECT_EQ(Describe(), "1:0>2 2:0>1 1:2>1 3:0>2 1:1>0 2:1>2 1:0>2 ");
    EXPECT_EQ(sequence, "RSIRSRSIIRSRSIRSRSIII");
}

TEST_F(SolverTrace, SevenDisks) {
    Solve(DiskCount);
    ASSERT_EQ(moves.size(), 127u);
    EXPECT_EQ(Describe().substr(0, 48), "1:0>2 2:0>1 1:2>1 3:0>2 1:1>0 2:1>2 1:0>2 4:0>1 ");
    EXPECT_EQ(moves.back().disk, 1);
    EXPECT_EQ(moves.back().to, 2);
    EXPECT_EQ(PegText(2), "7654321");
    EXPECT_EQ(PegText(0) + PegText(1), "");
    EXPECT_EQ(MovingDisk.vt, VT_I4);
    EXPECT_EQ(MovingDisk.lVal, 1);
    size_t redraws = 0, invalidates = 0, sleeps = 0;
    for (const auto& event : platform_trace::Events()) {
        redraws += event.call == "RedrawWindow";
        invalidates += event.call == "InvalidateRect";
        sleeps += event.call == "Sleep" && event.detail == "250";
    }
    EXPECT_EQ(redraws, 127u);
    EXPECT_EQ(invalidates, 127u);
    EXPECT_EQ(sleeps, 127u);
}
#endif  // _WIN32
