// SolveHanoi by the classic recursion.
#include "puzzle/solver.h"

#include "puzzle/puzzle.h"
#include "runtime/proc_frame.h"

namespace {
const ProcedureInfo kSolveHanoiProcedure = {"SolveHanoi", nullptr};
}  // namespace

LONG SparePeg(LONG fromPeg, LONG toPeg) {
    if (fromPeg != 0 && toPeg != 0) return 0;
    if (fromPeg != 1 && toPeg != 1) return 1;
    return 2;
}

void SolveHanoi(LONG diskCount, LONG fromPeg, LONG toPeg) {
    ProcFrame frame(&kSolveHanoiProcedure);
    // Guarded: a count below 1 would otherwise recurse without end.
    if (diskCount < 1) return;
    if (diskCount == 1) {
        MoveDisk(fromPeg, toPeg);
    } else {
        const LONG spare = SparePeg(fromPeg, toPeg);
        SolveHanoi(diskCount - 1, fromPeg, spare);
        MoveDisk(fromPeg, toPeg);
        SolveHanoi(diskCount - 1, spare, toPeg);
    }
    InvalidateRect(MainWindow, nullptr, TRUE);
    AfterSystemCall();
}
