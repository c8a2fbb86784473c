// The string operations of one statement sequence with each allocation failing in turn:
// the failing operation leaves an empty result (and records error 7, except conversions,
// which fail silently), everything else goes on, and every owned string is freed once.
#include "runtime/error_numbers.h"
#include "runtime/memory.h"
#include "runtime/proc_frame.h"
#include "runtime/string_convert.h"
#include "runtime/string_handle.h"
#include "runtime/string_join.h"
#include "runtime/temp_strings.h"
#include "tests/fault_injection/allocation_sweep_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string TextOf(BSTR text) {
    return std::string(reinterpret_cast<const char*>(StringBytes(OwnedHandle(text))),
                       StringByteLength(OwnedHandle(text)));
}

// name = "Tower" + " of " + "Hanoi"; wide = name in UTF-16; back = wide in UTF-8;
// greeting = name + "!" (joined); copy = greeting (a borrowed push copied into a variable).
void StringStatements(long failingAllocation) {
    static BSTR tower = SysAllocStringByteLen("Tower", 5);  // borrowed, outside the seam
    allocation_seam::Reset();
    BSTR name = nullptr, wide = nullptr, back = nullptr, greeting = nullptr, copy = nullptr;
    WORD errorState = 0;
    {
        ProcFrame frame;
        PushBorrowedString(tower);
        PushStringCopy(" of ", 4);
        AppendTopToNext();
        PushStringCopy("Hanoi", 5);
        AppendTopToNext();
        PopIntoStringVariable(&name);

        PushBorrowedString(name);
        ConvertTempToWide(CP_UTF8, 0);
        PopIntoStringVariable(&wide);
        PushBorrowedString(wide);
        ConvertTempToBytes(CP_UTF8, 0);
        PopIntoStringVariable(&back);

        BSTR bang = SysAllocStringByteLen("!", 1);
        ConcatenateStrings({name, bang});
        SysFreeString(bang);
        PopIntoStringVariable(&greeting);
        PushBorrowedString(greeting);
        PopIntoStringVariable(&copy);
        errorState = frame.errorState;
    }
    const bool failed = allocation_seam::InjectedFailureHappened();
    // Allocations in order: " of ", the first join, "Hanoi", the second join, the wide
    // conversion (5), the conversion back (6), the concatenation, the copy of the borrowed
    // greeting.
    const bool silent = failingAllocation == 5 || failingAllocation == 6;
    EXPECT_EQ(errorState & 0xFF, failed && !silent ? kErrorOutOfMemory : 0)
        << "allocation " << failingAllocation;
    if (failed && silent) {
        EXPECT_EQ(failingAllocation == 5 ? wide : back, nullptr);
    }
    if (!failed) {
        EXPECT_EQ(TextOf(name), "Tower of Hanoi");
        EXPECT_EQ(StringByteLength(OwnedHandle(wide)), 28u);
        EXPECT_EQ(TextOf(back), "Tower of Hanoi");
        EXPECT_EQ(TextOf(copy), "Tower of Hanoi!");
    }
    for (BSTR variable : {name, wide, back, greeting, copy}) FreeString(variable);
    const allocation_seam::Counters counters = allocation_seam::Read();
    EXPECT_EQ(counters.allocations, counters.frees) << "allocation " << failingAllocation;
}

}  // namespace

TEST(AllocationSweep, StringStatements) {
    const long failures = SweepAllocationFailures(StringStatements);
    EXPECT_EQ(failures, 8);  // every allocation listed above failed once
}
