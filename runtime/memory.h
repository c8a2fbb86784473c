// The run-time's one door to the system allocators. Every run-time allocation (counted
// strings and byte blocks, GlobalAlloc blocks) passes through here, so tests can count
// allocations and frees and make the n-th allocation fail, on both hosts alike.
#pragma once

#include "platform/win32.h"

// SysAllocStringByteLen through the seam; null on failure (injected or real).
BSTR RuntimeAllocByteString(LPCSTR source, UINT bytes);
// SysAllocStringLen through the seam; null on failure (injected or real).
BSTR RuntimeAllocWideString(const OLECHAR* source, UINT characters);
// SysFreeString through the seam; null is ignored and not counted.
void RuntimeFreeString(BSTR text);
// GlobalAlloc through the seam; null on failure (injected or real).
HGLOBAL RuntimeGlobalAlloc(UINT flags, SIZE_T bytes);
// GlobalFree through the seam; returns what GlobalFree returned (null on success).
HGLOBAL RuntimeGlobalFree(HGLOBAL block);

// Test controls. Counters and the failure countdown are process-wide.
namespace allocation_seam {
struct Counters {
    long allocations;  // successful allocations
    long frees;        // frees of non-null blocks
    long failures;     // allocations refused (injected or real)
};
Counters Read();
void Reset();
// The n-th allocation from now fails (n >= 1); 0 turns injection off.
void FailAllocationNumber(long n);
// True once an injected failure has happened since the last FailAllocationNumber.
bool InjectedFailureHappened();
// The next RuntimeGlobalFree of a non-null block reports failure as Windows does for a bad
// handle (returns the block, last error ERROR_INVALID_HANDLE). The block is still freed, so
// tests of the failure path leak nothing.
void FailNextGlobalFree();
}  // namespace allocation_seam
