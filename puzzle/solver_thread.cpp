// SolverThread and its start. Nothing waits for the thread and nothing stops it; how it keeps
// away from the pegs at process end is decided in RuntimeExit (runtime/startup.cpp), and the
// process ends it only in a pause between moves or parked (runtime/exit_gate.h).
#include "puzzle/solver_thread.h"

#include "puzzle/puzzle.h"
#include "puzzle/solver.h"
#include "runtime/crash_report.h"
#include "runtime/exit_gate.h"
#include "runtime/proc_frame.h"
#include "runtime/threads.h"

namespace {
const ProcedureInfo kSolverThreadProcedure = {"SolverThread", nullptr};
}  // namespace

DWORD WINAPI SolverThread(LPVOID parameter) {
    const LONG diskCount = static_cast<LONG>(reinterpret_cast<INT_PTR>(parameter));
    NameCrashThread("solver thread");
    WorkSection work;  // all but the pauses, the thread's own end included
    ProcFrame frame(&kSolverThreadProcedure);
    ThreadScope scope(diskCount);  // the end wrapper runs on every return
    FillPegs(diskCount);
    SolveHanoi(diskCount, 0, 2);
    return 0;
}

void StartSolverThread() {
    HANDLE solver = nullptr;
    CreateRuntimeThread(0, SolverStackSize, DiskCount, SolverThread, &solver);
    LONG closed;
    CloseThreadHandle(solver, &closed);  // the result is not used
}
