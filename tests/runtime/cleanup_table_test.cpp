// CleanupTable walks: each kind's release action, in table order, up to the entry 0.
#include "runtime/cleanup_table.h"

#include "objects/item_value.h"
#include "runtime/arrays.h"
#include "runtime/error_numbers.h"
#include "runtime/memory.h"
#include "runtime/proc_frame.h"
#include "runtime/string_handle.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace {
std::string releases;

// Appends its name to `releases` on each Release.
struct NamedObject : IUnknown {
    explicit NamedObject(char name) : name(name) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override {
        releases += name;
        return 1;
    }
    char name;
};

struct Scope {
    LONG first;  // offset 0 cannot be named: its object entry would be the end mark
    IUnknown* object;
    StringHandle text;
    VARIANT value;
    IUnknown* notReached;
};

constexpr CleanupEntry Entry(size_t offset, CleanupKind kind) {
    return MakeCleanupEntry(static_cast<DWORD>(offset), kind);
}

const CleanupEntry kScopeTable[] = {
    Entry(offsetof(Scope, object), kCleanupObject),
    Entry(offsetof(Scope, text), kCleanupString),
    Entry(offsetof(Scope, value), kCleanupItemValue),
    0,
    Entry(offsetof(Scope, notReached), kCleanupObject),
};

class CleanupTableWalk : public ::testing::Test {
   protected:
    void SetUp() override {
        releases.clear();
        scope.object = &a;
        scope.text = OwnedHandle(RuntimeAllocWideString(WSTR("text"), 4));
        scope.value.vt = VT_UNKNOWN;
        scope.value.punkVal = &d;
        scope.notReached = &z;
    }

    NamedObject a{'a'}, d{'d'}, z{'z'};
    Scope scope{};
};
}  // namespace

TEST_F(CleanupTableWalk, ReleasesEachKindInTableOrderUpToTheEndMark) {
    allocation_seam::Counters before = allocation_seam::Read();
    WalkCleanupTable(kScopeTable, &scope, EraseFailure::kRaise);
    allocation_seam::Counters after = allocation_seam::Read();
    EXPECT_EQ(releases, "ad");                 // nothing after the entry 0
    EXPECT_EQ(after.frees - before.frees, 1);  // the string
    EXPECT_EQ(scope.object, &a);               // an object slot keeps its value
    EXPECT_EQ(scope.value.vt, VT_EMPTY);
}

TEST_F(CleanupTableWalk, SkipsNullObjectsAndEmptyAndBorrowedStrings) {
    WalkCleanupTable(kScopeTable, &scope, EraseFailure::kIgnore);
    releases.clear();
    scope.object = nullptr;
    BSTR kept = RuntimeAllocWideString(WSTR("kept"), 4);
    scope.text = BorrowedHandle(kept);
    allocation_seam::Counters before = allocation_seam::Read();
    WalkCleanupTable(kScopeTable, &scope, EraseFailure::kIgnore);
    scope.text = 0;
    WalkCleanupTable(kScopeTable, &scope, EraseFailure::kIgnore);
    EXPECT_EQ(allocation_seam::Read().frees, before.frees);
    EXPECT_EQ(releases, "");
    RuntimeFreeString(kept);
}

TEST(CleanupTable, NullOrEmptyTableReleasesNothing) {
    releases.clear();
    NamedObject a{'a'};
    struct {
        LONG first;
        IUnknown* object;
    } scope{0, &a};
    const CleanupEntry empty[] = {0};
    WalkCleanupTable(nullptr, &scope, EraseFailure::kRaise);
    WalkCleanupTable(empty, &scope, EraseFailure::kRaise);
    EXPECT_EQ(releases, "");
}

namespace {
struct ArrayScope {
    LONG first;
    ArrayVariable<1> numbers;
    ArrayVariable<1> objects;
};
const CleanupEntry kArrayTable[] = {
    Entry(offsetof(ArrayScope, numbers), kCleanupArray),
    Entry(offsetof(ArrayScope, objects), kCleanupArray),
    0,
};

void DimensionBoth(ArrayScope& scope, IUnknown* object) {
    DimensionArray(&scope.numbers.descriptor, 0, kTypeInt32, 4, 1, 7);
    DimensionArray(&scope.objects.descriptor, 0, kTypeObject, sizeof(IUnknown*), 0, 2);
    static_cast<IUnknown**>(scope.objects.descriptor.data)[1] = object;
}
}  // namespace

TEST(CleanupTableArrays, ArraysAreErasedReleasingTheirElements) {
    releases.clear();
    NamedObject b{'b'};
    ArrayScope scope{};
    DimensionBoth(scope, &b);
    allocation_seam::Counters before = allocation_seam::Read();
    WalkCleanupTable(kArrayTable, &scope, EraseFailure::kRaise);
    EXPECT_EQ(allocation_seam::Read().frees - before.frees, 2);
    EXPECT_EQ(releases, "b");
    EXPECT_EQ(scope.numbers.descriptor.data, nullptr);
    EXPECT_EQ(scope.objects.descriptor.flags & kArrayDimensioned, 0);
}

TEST(CleanupTableArrays, AStorageThatCannotBeFreedIsIgnoredAtProcessEnd) {
    ProcFrame frame;
    ArrayScope scope{};
    DimensionBoth(scope, nullptr);
    allocation_seam::FailNextGlobalFree();
    WalkCleanupTable(kArrayTable, &scope, EraseFailure::kIgnore);
    EXPECT_EQ(frame.errorState, 0);
    EXPECT_EQ(scope.objects.descriptor.data, nullptr);  // the walk went on
}

TEST(CleanupTableArraysDeathTest, AProceduresExitRaises241) {
    static const ProcedureInfo procedure{"ArrayLocals", kArrayTable};
    EXPECT_EXIT(
        {
            ArrayScope locals{};
            {
                ProcFrame frame(&procedure, &locals);
                DimensionBoth(locals, nullptr);
                allocation_seam::FailNextGlobalFree();
            }
            ExitProcess(0);
        },
        ::testing::ExitedWithCode(kFatalExitCode), "");
}

TEST(CleanupTableArrays, AProceduresExitWalksItsLocals) {
    releases.clear();
    NamedObject c{'c'};
    static const ProcedureInfo procedure{"ArrayLocals", kArrayTable};
    ArrayScope locals{};
    allocation_seam::Counters before = allocation_seam::Read();
    {
        ProcFrame frame(&procedure, &locals);
        DimensionBoth(locals, &c);
    }
    allocation_seam::Counters after = allocation_seam::Read();
    EXPECT_EQ(releases, "c");
    EXPECT_EQ(after.allocations - before.allocations, after.frees - before.frees);
}
