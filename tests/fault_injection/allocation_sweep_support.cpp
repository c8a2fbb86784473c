// The allocation-failure sweep driver.
#include "tests/fault_injection/allocation_sweep_support.h"

#include "runtime/memory.h"

long SweepAllocationFailures(const std::function<void(long failingAllocation)>& scenario,
                             long limit) {
    for (long n = 1; n <= limit; ++n) {
        allocation_seam::FailAllocationNumber(n);
        scenario(n);
        const bool failed = allocation_seam::InjectedFailureHappened();
        allocation_seam::FailAllocationNumber(0);
        if (!failed) return n - 1;
    }
    return -1;
}
