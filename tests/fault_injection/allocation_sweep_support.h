// Runs a scenario once per allocation it makes, failing exactly that allocation each time,
// until a run completes without reaching the failure.
#pragma once

#include <functional>

// How a sweep makes the n-th allocation fail (0: none) and learns whether it happened.
struct FailureInjector {
    std::function<void(long n)> failNumber;
    std::function<bool()> happened;
};

// Calls `scenario(n)` with the n-th allocation set to fail, for n = 1, 2, ... until a run
// makes fewer than n allocations. Returns how many runs met an injected failure. Gives up
// (returning -1) after `limit` runs so that a scenario that never finishes cannot hang.
long SweepFailures(const FailureInjector& injector,
                   const std::function<void(long failingAllocation)>& scenario, long limit = 10000);

// The sweep over the run-time's allocations (runtime/memory.h).
long SweepAllocationFailures(const std::function<void(long failingAllocation)>& scenario,
                             long limit = 10000);
