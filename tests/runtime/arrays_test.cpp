// Run-time arrays: bounds, strides and sizes of dimensioning with its errors, and erasing in
// each mode by element type, each owned element released exactly once.
#include "runtime/arrays.h"

#include "objects/item_value.h"
#include "runtime/error_numbers.h"
#include "runtime/memory.h"
#include "runtime/proc_frame.h"
#include "tests/objects/collection_test_support.h"
#include "tests/runtime/string_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace {
template <typename T>
T* Elements(ArrayVariable<1>& array) {
    return static_cast<T*>(array.descriptor.data);
}

bool AllZero(const void* data, DWORD bytes) {
    auto* begin = static_cast<const BYTE*>(data);
    return std::all_of(begin, begin + bytes, [](BYTE b) { return b == 0; });
}
}  // namespace

TEST(DimensionArray, ZeroToTwoGivesThreeZeroElements) {
    ProcFrame frame;
    ArrayVariable<1> pegs{};
    SeamDelta seam;
    DimensionArray(&pegs.descriptor, 0, kTypeObject, sizeof(IUnknown*), 0, 2);
    const ArrayDescriptor& d = pegs.descriptor;
    EXPECT_EQ(d.flags, kArrayDimensioned);
    EXPECT_EQ(d.elementType, kTypeObject);
    EXPECT_EQ(d.dimensionCount, 1);
    EXPECT_EQ(d.elementCount, 3u);
    EXPECT_EQ(d.byteSize, 3 * d.elementSize);
    EXPECT_EQ(ArrayLowerBound(&pegs.descriptor, 1), 0);
    EXPECT_EQ(ArrayUpperBound(&pegs.descriptor, 1), 2);
    ASSERT_NE(d.data, nullptr);
    EXPECT_TRUE(AllZero(d.data, d.byteSize));
    EXPECT_EQ(seam.Allocations(), 1);
    EXPECT_EQ(frame.errorState, 0);
    EraseArray(&pegs.descriptor, kEraseCleanup);
    EXPECT_EQ(seam.Frees(), 1);
}

TEST(DimensionArray, FourByteIntegersAndASingleElement) {
    ProcFrame frame;
    ArrayVariable<1> sizes{};
    DimensionArray(&sizes.descriptor, 0, kTypeInt32, 4, 0, 2);
    EXPECT_EQ(sizes.descriptor.byteSize, 12u);
    EraseArray(&sizes.descriptor, kEraseRedimension);
    DimensionArray(&sizes.descriptor, 0, kTypeInt32, 4, 5, 5);
    EXPECT_EQ(sizes.descriptor.elementCount, 1u);
    EXPECT_EQ(sizes.descriptor.byteSize, 4u);
    EraseArray(&sizes.descriptor, kEraseRedimension);
    DimensionArray(&sizes.descriptor, 0, kTypeInt32, 4, -3, -1);  // negative bounds
    EXPECT_EQ(sizes.descriptor.elementCount, 3u);
    EraseArray(&sizes.descriptor, kEraseRedimension);
    EXPECT_EQ(frame.errorState, 0);
}

TEST(DimensionArray, ReversedBoundsAreError9AndLeaveItUndimensioned) {
    ProcFrame frame;
    ArrayVariable<1> array{};
    SeamDelta seam;
    DimensionArray(&array.descriptor, 0, kTypeInt32, 4, 1, 0);
    EXPECT_EQ(frame.errorState, 0xB000 | kErrorBadArrayBounds);
    EXPECT_EQ(array.descriptor.flags & kArrayDimensioned, 0);
    EXPECT_EQ(array.descriptor.data, nullptr);
    EXPECT_EQ(ArrayLowerBound(&array.descriptor, 1), 1);  // fields stored so far are kept
    EXPECT_EQ(seam.Allocations(), 0);
    EraseArray(&array.descriptor, kEraseCleanup);  // nothing to do
    EXPECT_EQ(seam.Frees(), 0);
}

TEST(DimensionArray, AlreadyDimensionedKeepsItsShapeAndContents) {
    ProcFrame frame;
    ArrayVariable<1> sizes{};
    DimensionArray(&sizes.descriptor, 0, kTypeInt32, 4, 1, 7);
    Elements<LONG>(sizes)[6] = 253;
    void* data = sizes.descriptor.data;
    SeamDelta seam;
    DimensionArray(&sizes.descriptor, 0, kTypeInt32, 4, 0, 99);
    EXPECT_EQ(sizes.descriptor.data, data);
    EXPECT_EQ(ArrayUpperBound(&sizes.descriptor, 1), 7);
    EXPECT_EQ(sizes.descriptor.elementCount, 7u);
    EXPECT_EQ(Elements<LONG>(sizes)[6], 253);
    EXPECT_EQ(seam.Allocations(), 0);
    EXPECT_EQ(frame.errorState, 0);
    EraseArray(&sizes.descriptor, kEraseCleanup);
}

TEST(DimensionArray, TwoDimensionsHaveStridesOneAndThreeFirstIndexFastest) {
    ProcFrame frame;
    ArrayVariable<2> grid{};
    const LONG bounds[] = {1, 3, 0, 1};
    DimensionArray(&grid.descriptor, nullptr, 0, kTypeInt32, 2, 4, bounds);
    ArrayDescriptor* d = &grid.descriptor;
    EXPECT_EQ(ArrayStride(d, 1), 1u);
    EXPECT_EQ(ArrayStride(d, 2), 3u);
    EXPECT_EQ(d->elementCount, 6u);
    EXPECT_EQ(d->byteSize, 24u);
    // The words as laid out: lower 1, upper 1, stride 2, lower 2, upper 2.
    EXPECT_EQ(grid.dimensionWords[0], 1u);
    EXPECT_EQ(grid.dimensionWords[1], 3u);
    EXPECT_EQ(grid.dimensionWords[2], 3u);
    EXPECT_EQ(grid.dimensionWords[3], 0u);
    EXPECT_EQ(grid.dimensionWords[4], 1u);
    const DWORD element = (2 - ArrayLowerBound(d, 1)) * ArrayStride(d, 1) +
                          (1 - ArrayLowerBound(d, 2)) * ArrayStride(d, 2);
    EXPECT_EQ(element, 4u);
    EraseArray(d, kEraseCleanup);
}

TEST(DimensionArray, SizesBeyond32BitsAreError9) {
    ProcFrame frame;
    SeamDelta seam;
    struct Case {
        const char* name;
        BYTE dimensions;
        DWORD elementSize;
        LONG bounds[6];
    };
    const Case cases[] = {
        {"one dimension of 2^32", 1, 1, {INT_MIN, INT_MAX}},
        {"product beyond 32 bits", 2, 1, {0, 65536, 0, 65535}},  // 65537 * 65536
        {"last dimension overflows", 3, 1, {1, 2, 1, 2, 0, 0x40000000}},
        {"byte size beyond 32 bits", 1, 4, {0, 0x3FFFFFFF}},  // 2^30 elements * 4
        {"item values", 1, 16, {1, 0x10000000}},
    };
    for (const Case& c : cases) {
        ArrayVariable<3> array{};
        frame.errorState = 0;
        DimensionArray(&array.descriptor, nullptr, 0, kTypeInt32, c.dimensions, c.elementSize,
                       c.bounds);
        EXPECT_EQ(frame.LastError(), kErrorBadArrayBounds) << c.name;
        EXPECT_EQ(array.descriptor.flags & kArrayDimensioned, 0) << c.name;
    }
    EXPECT_EQ(seam.Allocations(), 0);
}

TEST(DimensionArray, NoMemoryIsError7) {
    ProcFrame frame;
    ArrayVariable<1> array{};
    allocation_seam::FailAllocationNumber(1);
    DimensionArray(&array.descriptor, 0, kTypeInt32, 4, 1, 7);
    allocation_seam::FailAllocationNumber(0);
    EXPECT_EQ(frame.errorState, 0xB000 | kErrorOutOfMemory);
    EXPECT_EQ(array.descriptor.flags & kArrayDimensioned, 0);
    EXPECT_EQ(array.descriptor.data, nullptr);
    EXPECT_EQ(array.descriptor.elementCount, 7u);  // stored before the allocation
}

TEST(EraseArray, ObjectArrayReleasesEachReferenceOnceAndTwiceDoesNothing) {
    ProcFrame frame;
    ArrayVariable<1> pegs{};
    DimensionArray(&pegs.descriptor, 0, kTypeObject, sizeof(IUnknown*), 0, 2);
    CountingUnknown objects[2];
    Elements<IUnknown*>(pegs)[0] = &objects[0];
    Elements<IUnknown*>(pegs)[2] = &objects[1];  // element 1 stays null
    SeamDelta seam;
    EraseArray(&pegs.descriptor, kEraseCleanup);
    EXPECT_EQ(objects[0].references, 0);
    EXPECT_EQ(objects[1].references, 0);
    EXPECT_EQ(pegs.descriptor.data, nullptr);
    EXPECT_EQ(pegs.descriptor.flags & kArrayDimensioned, 0);
    EXPECT_EQ(seam.Frees(), 1);
    EraseArray(&pegs.descriptor, kEraseCleanup);
    EXPECT_EQ(objects[0].references, 0);
    EXPECT_EQ(seam.Frees(), 1);
}

TEST(EraseArray, StringArrayFreesEachOwnedStringOnceInAnyOrder) {
    ProcFrame frame;
    for (BYTE type : {kTypeByteString, kTypeWideString}) {
        ArrayVariable<1> names{};
        DimensionArray(&names.descriptor, 0, type, sizeof(BSTR), 1, 4);
        BSTR* elements = Elements<BSTR>(names);
        SeamDelta seam;
        BSTR a = Owned("a"), b = Owned("b"), c = Owned("c");
        elements[0] = c;  // out of address order on purpose
        elements[1] = a;
        elements[3] = b;
        EraseArray(&names.descriptor, kEraseRedimension);
        EXPECT_EQ(seam.Frees(), 4);  // three strings and the storage
        EXPECT_EQ(seam.Allocations(), 3);
        EXPECT_EQ(names.descriptor.data, nullptr);
    }
}

TEST(EraseArray, ItemValueArrayReleasesWhatEachValueHolds) {
    ProcFrame frame;
    ArrayVariable<1> values{};
    DimensionArray(&values.descriptor, 0, kTypeItemValue, sizeof(VARIANT), 1, 3);
    VARIANT* elements = Elements<VARIANT>(values);
    CountingUnknown object;
    elements[0].vt = VT_UNKNOWN;
    elements[0].punkVal = &object;
    elements[2].vt = VT_I4;
    elements[2].lVal = 42;
    EraseArray(&values.descriptor, kEraseCleanup);
    EXPECT_EQ(object.references, 0);
}

TEST(EraseArray, ResetZeroesNumbersReleasesOwnedElementsAndKeepsTheStorage) {
    ProcFrame frame;
    ArrayVariable<1> sizes{};
    DimensionArray(&sizes.descriptor, 0, kTypeInt32, 4, 1, 7);
    for (int k = 0; k < 7; ++k) Elements<LONG>(sizes)[k] = 133 + 20 * k;
    void* data = sizes.descriptor.data;
    SeamDelta seam;
    EraseArray(&sizes.descriptor, kEraseReset);
    EXPECT_EQ(sizes.descriptor.data, data);
    EXPECT_TRUE(sizes.descriptor.flags & kArrayDimensioned);
    EXPECT_TRUE(AllZero(data, 28));
    EXPECT_EQ(seam.Frees(), 0);
    EraseArray(&sizes.descriptor, kEraseCleanup);

    ArrayVariable<1> names{};
    DimensionArray(&names.descriptor, 0, kTypeByteString, sizeof(BSTR), 0, 1);
    Elements<BSTR>(names)[1] = Owned("x");
    SeamDelta strings;
    EraseArray(&names.descriptor, kEraseReset);
    EXPECT_EQ(strings.Frees(), 1);
    EXPECT_EQ(Elements<BSTR>(names)[1], nullptr);
    EXPECT_TRUE(names.descriptor.flags & kArrayDimensioned);
    EraseArray(&names.descriptor, kEraseCleanup);
}

TEST(EraseArray, CallerStorageAndElementsNotOwnedAreLeftAlone) {
    ProcFrame frame;
    CountingUnknown object;
    IUnknown* storage[2] = {&object, nullptr};
    ArrayVariable<1> borrowed{};
    const LONG bounds[] = {1, 2};
    SeamDelta seam;
    DimensionArray(&borrowed.descriptor, storage, kArrayCallerStorage, kTypeObject, 1,
                   sizeof(IUnknown*), bounds);
    EXPECT_EQ(borrowed.descriptor.data, storage);
    EXPECT_EQ(seam.Allocations(), 0);
    EraseArray(&borrowed.descriptor, kEraseCleanup);  // only forgets the storage
    EXPECT_EQ(object.references, 1);
    EXPECT_EQ(borrowed.descriptor.flags & (kArrayCallerStorage | kArrayDimensioned), 0);
    DimensionArray(&borrowed.descriptor, storage, kArrayCallerStorage, kTypeObject, 1,
                   sizeof(IUnknown*), bounds);
    EraseArray(&borrowed.descriptor, kEraseRedimension);  // mode 2: not released either
    EXPECT_EQ(object.references, 1);
    EXPECT_EQ(storage[0], &object);

    ArrayVariable<1> shared{};
    DimensionArray(&shared.descriptor, kArrayElementsNotOwned, kTypeObject, sizeof(IUnknown*), 1,
                   1);
    Elements<IUnknown*>(shared)[0] = &object;
    EraseArray(&shared.descriptor, kEraseCleanup);
    EXPECT_EQ(object.references, 1);
    EXPECT_EQ(shared.descriptor.data, nullptr);
    EXPECT_EQ(seam.Allocations(), seam.Frees());
}

TEST(EraseArray, AStorageThatCannotBeFreedIsError241ForTheCaller) {
    ProcFrame frame;
    ArrayVariable<1> array{};
    DimensionArray(&array.descriptor, 0, kTypeInt32, 4, 1, 7);
    allocation_seam::FailNextGlobalFree();
    EXPECT_EQ(EraseArrayStorage(&array.descriptor, kEraseCleanup), kErrorMemoryDamaged);
    EXPECT_EQ(array.descriptor.data, nullptr);
    EXPECT_EQ(array.descriptor.flags & kArrayDimensioned, 0);
    EXPECT_EQ(frame.errorState, 0);  // reported, not raised
    DimensionArray(&array.descriptor, 0, kTypeInt32, 4, 1, 7);
    EXPECT_EQ(EraseArrayStorage(&array.descriptor, kEraseCleanup), 0);
}

TEST(EraseArrayDeathTest, ProgramCodesEraseRaisesTheFatal241) {
    EXPECT_EXIT(
        {
            ProcFrame frame;
            ArrayVariable<1> array{};
            DimensionArray(&array.descriptor, 0, kTypeInt32, 4, 1, 7);
            allocation_seam::FailNextGlobalFree();
            EraseArray(&array.descriptor, kEraseRedimension);
            ExitProcess(0);
        },
        ::testing::ExitedWithCode(kFatalExitCode), "");
}
