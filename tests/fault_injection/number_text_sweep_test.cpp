// Number-to-text with its allocation failing: the empty text is pushed, error 7 recorded,
// and the next conversion works again.
#include "runtime/error_numbers.h"
#include "runtime/memory.h"
#include "runtime/number_format.h"
#include "runtime/proc_frame.h"
#include "runtime/string_handle.h"
#include "runtime/temp_strings.h"
#include "tests/fault_injection/allocation_sweep_support.h"

#include <gtest/gtest.h>

namespace {

void NumberTexts(long failingAllocation) {
    allocation_seam::Reset();
    ProcFrame frame;
    const long double values[] = {127, -0.25L, 1e300L, 31.75L};
    for (long double value : values) {
        const bool failsHere =
            allocation_seam::Read().allocations + allocation_seam::Read().failures + 1 ==
            failingAllocation;
        FormatNumber(value, 15, 0);
        const StringHandle text = TempString(0);
        EXPECT_EQ(text == 0, failsHere) << "allocation " << failingAllocation;
        PopAndFreeString();
    }
    EXPECT_EQ(frame.errorState & 0xFF,
              allocation_seam::InjectedFailureHappened() ? kErrorOutOfMemory : 0);
    EXPECT_EQ(allocation_seam::Read().allocations, allocation_seam::Read().frees);
}

}  // namespace

TEST(AllocationSweep, NumberToText) {
    EXPECT_EQ(SweepAllocationFailures(NumberTexts), 4);
}
