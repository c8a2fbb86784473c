// Portable only: the stack size rule of the portable CreateThread against the least stacks
// of several hosts (16 KiB x86-64 glibc, 128 KiB aarch64 glibc, an odd one above the rule).
#include "platform/kernel/thread_stack.h"

#include <gtest/gtest.h>

#include <pthread.h>

TEST(ThreadStack, RoundsToTheGranularityAndNeverGoesBelowTheHostMinimum) {
    struct Case {
        SIZE_T requested, hostMinimum, expected;
    };
    const Case cases[] = {
        {0, 0x4000, 0x100000},       // the default reserve
        {1, 0x4000, 0x10000},        // rounded up to 64 KiB
        {0x10000, 0x4000, 0x10000},  // already a multiple
        {0x10001, 0x4000, 0x20000},
        {1, 0x20000, 0x20000},  // aarch64: raised, not refused
        {0x10000, 0x20000, 0x20000},
        {0x30000, 0x20000, 0x30000},  // above the minimum: the rule alone
        {0, 0x200000, 0x200000},      // even the default yields to a larger minimum
        {0x20000, 0x21000, 0x21000},  // a minimum off the granularity is taken as it is
    };
    for (const Case& c : cases)
        EXPECT_EQ(ThreadStackBytes(c.requested, c.hostMinimum), c.expected)
            << "requested " << c.requested << ", host minimum " << c.hostMinimum;
}

TEST(ThreadStack, HostMinimumIsWhatPthreadsAccepts) {
    SIZE_T minimum = HostMinimumThreadStack();
    EXPECT_GT(minimum, 0u);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    EXPECT_EQ(pthread_attr_setstacksize(&attributes, minimum), 0);
    EXPECT_NE(pthread_attr_setstacksize(&attributes, minimum - 1), 0);
    pthread_attr_destroy(&attributes);
}
