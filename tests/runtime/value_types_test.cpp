// Releasing array elements by their value-type code.
#include "runtime/value_types.h"

#include "runtime/memory.h"
#include "tests/objects/collection_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

TEST(ValueTypes, ReleaseStringElementsFreesEachOnceInAnyOrder) {
    allocation_seam::Reset();
    BSTR strings[5];
    for (BSTR& text : strings) text = RuntimeAllocWideString(WSTR("x"), 1);
    std::swap(strings[0], strings[4]);
    std::swap(strings[1], strings[3]);
    BSTR elements[6] = {strings[0], strings[1], nullptr, strings[2], strings[3], strings[4]};
    ReleaseElements(kTypeWideString, 6, elements);
    EXPECT_EQ(allocation_seam::Read().frees, 5);
    EXPECT_TRUE(std::all_of(elements, elements + 6, [](BSTR b) { return b == nullptr; }));
}

TEST(ValueTypes, ReleaseObjectAndValueElements) {
    CountingUnknown first, second;
    first.references = 2;
    IUnknown* objects[3] = {&first, nullptr, &second};
    ReleaseElements(kTypeObject, 3, objects);
    EXPECT_EQ(first.references, 1);
    EXPECT_EQ(second.references, 0);
    EXPECT_EQ(objects[0], nullptr);
    EXPECT_EQ(objects[2], nullptr);

    VARIANT values[2] = {TextItem("a"), NumberItem(3)};
    values[1].vt = VT_UNKNOWN;
    values[1].punkVal = &first;
    first.references = 2;
    ReleaseElements(kTypeItemValue, 2, values);
    EXPECT_EQ(values[0].vt, VT_EMPTY);
    EXPECT_EQ(first.references, 1);

    allocation_seam::Reset();
    BYTE records[32] = {};
    BSTR a = RuntimeAllocByteString("a", 1), b = RuntimeAllocByteString("b", 1);
    std::memcpy(records, &a, sizeof a);
    std::memcpy(records + 16, &b, sizeof b);
    ReleaseElements(kTypeByteStringRecord, 2, records);
    EXPECT_EQ(allocation_seam::Read().frees, 2);
    EXPECT_TRUE(std::all_of(records, records + 32, [](BYTE x) { return x == 0; }));
}
