// KERNEL32 subset for the portable host: memory, errors, sleeping. Threads, TLS, modules,
// start-up information and process exit are added beside these as the run-time needs them.
#pragma once

#include "platform/types.h"

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)
#define INFINITE 0xFFFFFFFF

/// Allocates `bytes` of fixed memory, zero-filled with GMEM_ZEROINIT. Returns null with
/// ERROR_NOT_ENOUGH_MEMORY when memory runs out; GMEM_MOVEABLE and any other flag are not
/// supported here and fail with ERROR_INVALID_PARAMETER.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
/// Frees a block from GlobalAlloc. Returns null on success (and for null); unlike Windows,
/// a pointer that did not come from GlobalAlloc is not detected.
HGLOBAL GlobalFree(HGLOBAL block);

/// Suspends the calling thread for `milliseconds`; 0 gives up the rest of the time slice.
/// Test builds can make it instant through platform/trace.h.
void Sleep(DWORD milliseconds);

/// The calling thread's last-error code.
DWORD GetLastError();
void SetLastError(DWORD error);
