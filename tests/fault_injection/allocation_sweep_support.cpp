// The allocation-failure sweep driver.
#include "tests/fault_injection/allocation_sweep_support.h"

#include "runtime/memory.h"

long SweepFailures(const FailureInjector& injector,
                   const std::function<void(long failingAllocation)>& scenario, long limit) {
    for (long n = 1; n <= limit; ++n) {
        injector.failNumber(n);
        scenario(n);
        const bool failed = injector.happened();
        injector.failNumber(0);
        if (!failed) return n - 1;
    }
    return -1;
}

long SweepAllocationFailures(const std::function<void(long failingAllocation)>& scenario,
                             long limit) {
    const FailureInjector runtimeSeam{allocation_seam::FailAllocationNumber,
                                      allocation_seam::InjectedFailureHappened};
    return SweepFailures(runtimeSeam, scenario, limit);
}
