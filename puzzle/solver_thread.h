// The solver thread: puts the disks on peg 0 and runs the solver once, on a thread of its
// own so that the UI thread stays free to run the message loop and paint.
#pragma once

#include "platform/win32.h"

constexpr DWORD SolverStackSize = 0x100000;  // 1 MiB

// The thread function. The parameter is the disk count; the exit code is 0.
DWORD WINAPI SolverThread(LPVOID diskCount);

// Starts SolverThread (ProgramMain, once the window shows) with DiskCount, SolverStackSize and
// creation flags 0, and closes its handle at once. A thread that cannot be created is not reported.
void StartSolverThread();
