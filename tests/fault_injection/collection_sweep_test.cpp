// A collection's whole life with each of its allocations failing in turn: nothing crashes
// or leaks, a failed insertion reports S_FALSE, and what was stored before is still there.
#include "objects/builtin_object.h"
#include "objects/list_collection.h"
#include "objects/list_collection_class.h"
#include "runtime/memory.h"
#include "tests/fault_injection/allocation_sweep_support.h"
#include "tests/objects/collection_test_support.h"

#include <gtest/gtest.h>

namespace {

// Creates a collection, adds 250 strings, inserts, removes, clears and releases it,
// checking after every step that no stored item was lost.
void CollectionLife(long failingAllocation) {
    const LONG liveBefore = LiveObjectCount();
    ILinkListCollection* collection = NewListCollection();
    if (!collection) {
        EXPECT_EQ(LiveObjectCount(), liveBefore) << "allocation " << failingAllocation;
        return;  // the instance itself could not be allocated: nothing was created
    }
    std::vector<std::string> expected;
    auto check = [&](const char* step) {
        ASSERT_EQ(Contents(collection), expected) << step << ", allocation " << failingAllocation;
    };
    for (int i = 0; i < 250; ++i) {
        const std::string text = "item" + std::to_string(i);
        VARIANT item = TextItem(text.c_str());
        const HRESULT result = collection->ADD(&item);
        VariantClear(&item);
        ASSERT_TRUE(result == S_OK || result == S_FALSE);
        if (result == S_OK) expected.push_back(text);
    }
    check("after ADD");
    for (LONG position : {1, 50, 120}) {
        VARIANT item = TextItem("inserted");
        const HRESULT result = collection->INSERT(&position, &item);
        VariantClear(&item);
        if (result == S_OK && static_cast<size_t>(position) <= expected.size() + 1)
            expected.insert(expected.begin() + (position - 1), "inserted");
    }
    check("after INSERT");
    for (LONG position : {1, 2, 3}) {
        if (collection->REMOVE(&position) == S_OK)
            expected.erase(expected.begin() + (position - 1));
    }
    check("after REMOVE");
    EXPECT_EQ(collection->CLEAR(), S_OK);
    expected.clear();
    check("after CLEAR");
    EXPECT_EQ(collection->Release(), 0u);
    EXPECT_EQ(LiveObjectCount(), liveBefore);
}

}  // namespace

TEST(AllocationSweep, CollectionLife) {
    const long failures = SweepAllocationFailures(CollectionLife);
    // The instance, the first slot block and two growths: each failed once.
    EXPECT_EQ(failures, 4);
}
