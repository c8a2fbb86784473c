// Creating a collection by its class name, and turning the name into a class identifier,
// with each allocation failing in turn: a failure leaves the variable empty (or the
// identifier null) and leaks nothing; a collection whose first slot block could not be had
// still works and stores its first item once memory is there again.
#include "objects/builtin_object.h"
#include "objects/list_collection.h"
#include "objects/list_collection_interface.h"
#include "objects/object_creation.h"
#include "runtime/memory.h"
#include "runtime/string_handle.h"
#include "tests/fault_injection/allocation_sweep_support.h"
#include "tests/objects/collection_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

StringHandle ClassName() {
    return reinterpret_cast<StringHandle>(RuntimeAllocByteString("LinkListCollection", 18));
}

void ExpectNothingLeft(long failingAllocation, LONG liveBefore) {
    const allocation_seam::Counters counters = allocation_seam::Read();
    EXPECT_EQ(counters.allocations, counters.frees) << "allocation " << failingAllocation;
    EXPECT_EQ(LiveObjectCount(), liveBefore) << "allocation " << failingAllocation;
}

// Allocations: the name, the instance, its first slot block.
void CreateByName(long failingAllocation) {
    allocation_seam::Reset();
    const LONG liveBefore = LiveObjectCount();
    IUnknown* variable = nullptr;
    CreateObject(&variable, kCreateBuiltin, ClassName(), IID_ILinkListCollection);
    const bool failed = allocation_seam::InjectedFailureHappened();
    if (failingAllocation <= 2 && failed) {
        EXPECT_EQ(variable, nullptr) << "allocation " << failingAllocation;
    } else {
        ASSERT_NE(variable, nullptr) << "allocation " << failingAllocation;
        auto* collection = static_cast<ILinkListCollection*>(variable);
        EXPECT_EQ(CollectionCapacity(collection) == 0, failed);
        AddTexts(collection, {"first"});  // the one failure is spent: memory is back
        EXPECT_EQ(Contents(collection), std::vector<std::string>{"first"});
        EXPECT_EQ(collection->Release(), 0u);
    }
    ExpectNothingLeft(failingAllocation, liveBefore);
}

// Allocations: the name, the identifier.
void IdentifierOfName(long failingAllocation) {
    allocation_seam::Reset();
    const StringHandle identifier = ClassIdentifierOfName(ClassName());
    if (allocation_seam::InjectedFailureHappened()) {
        EXPECT_EQ(identifier, 0u) << "allocation " << failingAllocation;
    } else {
        ASSERT_NE(identifier, 0u);
        EXPECT_EQ(StringByteLength(identifier), 16u);
        GUID classId;
        std::memcpy(&classId, StringBytes(identifier), sizeof classId);
        EXPECT_EQ(classId.Data1, 0x70000023u);
    }
    FreeString(identifier);
    ExpectNothingLeft(failingAllocation, LiveObjectCount());
}

}  // namespace

TEST(AllocationSweep, ObjectCreationByName) {
    EXPECT_EQ(SweepAllocationFailures(CreateByName), 3);
    EXPECT_EQ(SweepAllocationFailures(IdentifierOfName), 2);
}
