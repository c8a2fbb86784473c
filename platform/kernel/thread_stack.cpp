// The stack size rule of CreateThread on the portable host (see thread_stack.h).
#include "platform/kernel/thread_stack.h"

#include <limits.h>
#include <pthread.h>
#include <unistd.h>

SIZE_T ThreadStackBytes(SIZE_T requested, SIZE_T hostMinimum) {
    constexpr SIZE_T kGranularity = 0x10000;  // the Windows allocation granularity
    SIZE_T bytes = requested == 0 ? SIZE_T{0x100000}
                                  : (requested + kGranularity - 1) / kGranularity * kGranularity;
    return bytes < hostMinimum ? hostMinimum : bytes;
}

SIZE_T HostMinimumThreadStack() {
    long minimum = sysconf(_SC_THREAD_STACK_MIN);
    return minimum > 0 ? static_cast<SIZE_T>(minimum) : static_cast<SIZE_T>(PTHREAD_STACK_MIN);
}
