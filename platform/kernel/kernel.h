// KERNEL32 subset for the portable host: memory, errors, sleeping, thread-local storage.
// Threads, modules, start-up information and process exit are declared beside it
// (platform/kernel/process.h).
#pragma once

#include "platform/types.h"

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)
#define INFINITE 0xFFFFFFFF

// Allocates `bytes` of fixed memory, zero-filled with GMEM_ZEROINIT. Returns null with
// ERROR_NOT_ENOUGH_MEMORY when memory runs out; GMEM_MOVEABLE and any other flag are not
// supported here and fail with ERROR_INVALID_PARAMETER.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// Frees a block from GlobalAlloc. Returns null on success (and for null); unlike Windows,
// a pointer that did not come from GlobalAlloc is not detected.
HGLOBAL GlobalFree(HGLOBAL block);

// Suspends the calling thread for `milliseconds`; 0 gives up the rest of the time slice.
// Test builds can make it instant through platform/trace.h.
void Sleep(DWORD milliseconds);

// The calling thread's last-error code.
DWORD GetLastError();
void SetLastError(DWORD error);

#define TLS_OUT_OF_INDEXES 0xFFFFFFFF

// Allocates a thread-local storage index; every thread's value for it starts at null.
// Returns TLS_OUT_OF_INDEXES with ERROR_NO_MORE_ITEMS when all 128 indexes are taken
// (Windows offers 1088; at least TLS_MINIMUM_AVAILABLE = 64 are promised there too).
DWORD TlsAlloc();
// The calling thread's value for `index`, with the last error set to ERROR_SUCCESS. An
// index that is not allocated gives null with ERROR_INVALID_PARAMETER (Windows checks
// only the range).
LPVOID TlsGetValue(DWORD index);
// Stores the calling thread's value for `index`. FALSE with ERROR_INVALID_PARAMETER for an
// index that is not allocated.
BOOL TlsSetValue(DWORD index, LPVOID value);
// Frees `index`; every thread's value for it is forgotten, as on Windows. FALSE with
// ERROR_INVALID_PARAMETER for an index that is not allocated.
BOOL TlsFree(DWORD index);
