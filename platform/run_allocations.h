// The whole-run allocation switch of the portable host: every allocation the platform makes
// for the program (global memory, counted strings, bitmaps, DCs, brushes, icons, window
// classes, windows, threads, message queue entries) is counted, and HANOI_FAIL_ALLOCATION=N
// makes the N-th one of the process fail as the system would when memory runs out. With
// HANOI_PLATFORM_TRACE set, the failure is recorded when it comes ("AllocationFailed") and the
// process end records the count ("Allocations made=K"), so a test knows how many runs a sweep
// over one whole run takes. Program code never includes this header.
#pragma once

namespace run_allocations {

// Called by each counted allocation before it allocates: false when this one is to fail
// (the caller then fails with the system's out-of-memory result).
bool Allow();
// Allocations counted so far in this process, the failed one included.
long Made();
// True when HANOI_FAIL_ALLOCATION asked for a failure: the run is unattended.
bool Injecting();

}  // namespace run_allocations
