// The whole-run allocation counter and the failure chosen by HANOI_FAIL_ALLOCATION.
#include "platform/run_allocations.h"

#include "platform/trace.h"

#include <atomic>
#include <cstdlib>
#include <string>

namespace run_allocations {
namespace {
long FailingNumber() {
    const char* text = std::getenv("HANOI_FAIL_ALLOCATION");
    if (!text || !*text) return 0;
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    return *end == '\0' && n > 0 ? n : 0;
}
// Read on first use: allocations made by static initialisers count from the start as well.
long Failing() {
    static const long failing = FailingNumber();  // 0: never
    return failing;
}
std::atomic<long> made{0};
}  // namespace

bool Allow() {
    // One number per allocation, from any thread: exactly one allocation gets `failing`.
    const long number = made.fetch_add(1, std::memory_order_relaxed) + 1;
    if (number != Failing()) return true;
    // The test that chose the number learns when it has come (and so when to close).
    if (platform_trace::Recording())
        platform_trace::Record("AllocationFailed", "number=" + std::to_string(number));
    return false;
}

long Made() {
    return made.load(std::memory_order_relaxed);
}

bool Injecting() {
    return Failing() != 0;
}

}  // namespace run_allocations
