// Dimensioning and erasing arrays of each owning element kind with each allocation failing
// in turn: a failed dimension records error 7 and leaves the array undimensioned, and every
// element's string or reference is released exactly once.
#include "objects/item_value.h"
#include "runtime/arrays.h"
#include "runtime/error_numbers.h"
#include "runtime/memory.h"
#include "runtime/proc_frame.h"
#include "tests/fault_injection/allocation_sweep_support.h"
#include "tests/objects/collection_test_support.h"

#include <gtest/gtest.h>

namespace {

void ArrayLives(long failingAllocation) {
    allocation_seam::Reset();
    CountingUnknown object;
    WORD errorState = 0;
    {
        ProcFrame frame;
        ArrayVariable<1> strings{}, objects{}, values{};
        DimensionArray(&strings.descriptor, 0, kTypeWideString, sizeof(BSTR), 1, 7);
        DimensionArray(&objects.descriptor, 0, kTypeObject, sizeof(IUnknown*), 0, 2);
        DimensionArray(&values.descriptor, 0, kTypeItemValue, sizeof(VARIANT), 1, 3);
        if (BSTR* elements = static_cast<BSTR*>(strings.descriptor.data)) {
            for (int i = 0; i < 7; ++i) elements[i] = RuntimeAllocWideString(WSTR("disk"), 4);
        }
        if (IUnknown** elements = static_cast<IUnknown**>(objects.descriptor.data)) {
            for (int i = 0; i < 3; ++i) {
                object.AddRef();
                elements[i] = &object;
            }
        }
        if (VARIANT* elements = static_cast<VARIANT*>(values.descriptor.data)) {
            elements[0].vt = VT_UNKNOWN;
            elements[0].punkVal = &object;
            object.AddRef();
        }
        errorState = frame.errorState;
        for (ArrayDescriptor* array :
             {&strings.descriptor, &objects.descriptor, &values.descriptor}) {
            const bool dimensioned = (array->flags & kArrayDimensioned) != 0;
            EXPECT_EQ(dimensioned, array->data != nullptr) << "allocation " << failingAllocation;
            EraseArray(array, kEraseRedimension);
            EXPECT_EQ(array->data, nullptr);
        }
    }
    const bool failed = allocation_seam::InjectedFailureHappened();
    // The first three allocations are the arrays' storage: their failure is error 7. Later
    // ones are the test's own strings, which it simply does without.
    EXPECT_EQ(errorState & 0xFF, failed && failingAllocation <= 3 ? kErrorOutOfMemory : 0)
        << "allocation " << failingAllocation;
    EXPECT_EQ(object.references, 1) << "allocation " << failingAllocation;
    const allocation_seam::Counters counters = allocation_seam::Read();
    EXPECT_EQ(counters.allocations, counters.frees) << "allocation " << failingAllocation;
}

}  // namespace

TEST(AllocationSweep, ArrayDimensionAndErase) {
    EXPECT_EQ(SweepAllocationFailures(ArrayLives), 3 + 7);
}
