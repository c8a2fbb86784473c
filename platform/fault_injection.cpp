#include "platform/fault_injection.h"

#include <atomic>

namespace platform_faults {
namespace {
std::atomic<long> countdown{0};  // 0: no injection
std::atomic<bool> injected{false};
std::atomic<long> live{0};
}  // namespace

void FailStringAllocationNumber(long n) {
    injected = false;
    countdown = n > 0 ? n : 0;
}

bool InjectedStringFailureHappened() {
    return injected;
}

long LiveStrings() {
    return live;
}

bool AllowStringAllocation() {
    long remaining = countdown.load();
    // Only the thread that takes the countdown from 1 to 0 fails its allocation.
    while (remaining > 0 && !countdown.compare_exchange_weak(remaining, remaining - 1)) {
    }
    if (remaining != 1) return true;
    injected = true;
    return false;
}

void CountStringAllocated() {
    ++live;
}
void CountStringFreed() {
    --live;
}

}  // namespace platform_faults
