// Test control of the portable host's counted-string allocator: makes the n-th string
// allocation fail and counts the strings alive, so tests can drive every out-of-memory path
// of code that allocates through the platform (copies and conversions of values) and see
// that nothing leaks. Program code never includes this header.
#pragma once

namespace platform_faults {

// The n-th counted-string allocation from now fails (n >= 1); 0 turns injection off.
void FailStringAllocationNumber(long n);
// True once an injected failure has happened since the last FailStringAllocationNumber.
bool InjectedStringFailureHappened();
// Strings allocated and not yet freed, over the whole process.
long LiveStrings();

// Called by the allocator: false when this allocation is the one to fail.
bool AllowStringAllocation();
// Called by the allocator for every string it hands out and every one it frees.
void CountStringAllocated();
void CountStringFreed();

}  // namespace platform_faults
