// Append and concatenate: the empty cases that move slots without allocating, ownership of
// the joined parts, and errors 5 and 7.
#include "runtime/string_join.h"

#include "runtime/error_numbers.h"
#include "runtime/string_literal.h"
#include "runtime/temp_strings.h"
#include "tests/runtime/string_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
constexpr auto kAbcToJoin = StringLiteral("abc");
constexpr auto kDe = StringLiteral("de");
constexpr auto kEmpty = StringLiteral("");

// A counted string that claims `length` bytes but holds only a few: enough for the length
// checks, which must refuse it before any byte is read.
struct alignas(8) HugeClaim {
    DWORD reserved = 0;
    DWORD length;
    char text[8] = {};
    BSTR Handle() { return reinterpret_cast<BSTR>(text); }
};
}  // namespace

TEST(AppendTopToNext, EmptyTopLeavesTheSlotBelowWithoutAllocating) {
    ProcFrame frame;
    SeamDelta seam;
    BSTR a = Owned("abc");
    PushOwnedString(a);
    PushEmptyString();
    AppendTopToNext();
    PushBorrowedString(nullptr);
    AppendTopToNext();
    PushBorrowedString(kEmpty.Handle());
    AppendTopToNext();
    PushOwnedString(Owned(""));  // an allocated zero-length string: freed, not dropped
    AppendTopToNext();
    EXPECT_EQ(TempStringCount(), 1);
    EXPECT_EQ(TempString(0), OwnedHandle(a));
    EXPECT_EQ(seam.Allocations(), 2);
    EXPECT_EQ(seam.Frees(), 1);
    PopAndFreeString();
    EXPECT_EQ(seam.Frees(), 2);
}

TEST(AppendTopToNext, EmptyBelowTakesTheTopSlotAsItIs) {
    ProcFrame frame;
    SeamDelta seam;
    PushEmptyString();
    PushBorrowedString(kAbcToJoin.Handle());
    AppendTopToNext();
    EXPECT_EQ(TempStringCount(), 1);
    EXPECT_EQ(TempString(0), BorrowedHandle(kAbcToJoin.Handle()));  // still borrowed
    PushBorrowedString(kEmpty.Handle());
    PushOwnedString(Owned("xy"));
    AppendTopToNext();
    EXPECT_FALSE(IsBorrowed(TempString(0)));
    EXPECT_EQ(Text(TempString(0)), "xy");
    PopAndFreeString();
    PopAndFreeString();
    EXPECT_EQ(seam.Allocations(), 1);
    EXPECT_EQ(seam.Frees(), 1);
}

TEST(AppendTopToNext, JoinsIntoANewOwnedStringAndFreesOnlyOwnedParts) {
    ProcFrame frame;
    SeamDelta seam;
    PushBorrowedString(kAbcToJoin.Handle());
    PushOwnedString(Owned("de"));
    AppendTopToNext();
    EXPECT_EQ(TempStringCount(), 1);
    EXPECT_FALSE(IsBorrowed(TempString(0)));
    EXPECT_EQ(Text(TempString(0)), "abcde");
    PushBorrowedString(kDe.Handle());
    AppendTopToNext();
    EXPECT_EQ(Text(TempString(0)), "abcdede");
    PopAndFreeString();
    EXPECT_EQ(seam.Allocations(), 3);
    EXPECT_EQ(seam.Frees(), 3);
    EXPECT_EQ(Text(kAbcToJoin.Handle()), "abc");
    EXPECT_EQ(frame.errorState, 0);
}

TEST(AppendTopToNext, NoMemoryEmptiesTheSlotFreesBothAndRaises7) {
    ProcFrame frame;
    SeamDelta seam;
    PushOwnedString(Owned("abc"));
    PushOwnedString(Owned("de"));
    allocation_seam::FailAllocationNumber(1);
    AppendTopToNext();
    allocation_seam::FailAllocationNumber(0);
    EXPECT_EQ(TempStringCount(), 1);
    EXPECT_EQ(TempString(0), 0u);
    EXPECT_EQ(frame.LastError(), kErrorOutOfMemory);
    EXPECT_EQ(seam.Frees(), 2);
    PopAndFreeString();
}

TEST(AppendTopToNext, ATotalBeyond32BitsIsError5NotAShortCopy) {
    ProcFrame frame;
    HugeClaim huge;
    huge.length = 0xFFFFFFF0u;
    SeamDelta seam;
    PushBorrowedString(huge.Handle());
    PushOwnedString(Owned("0123456789abcdef0123"));
    AppendTopToNext();
    EXPECT_EQ(TempString(0), 0u);
    EXPECT_EQ(frame.LastError(), kErrorInvalidArgument);
    EXPECT_EQ(seam.Allocations(), 1);
    EXPECT_EQ(seam.Frees(), 1);
    PopAndFreeString();
}

TEST(ConcatenateStrings, JoinsInOrderAndLeavesTheArgumentsAlone) {
    ProcFrame frame;
    SeamDelta seam;
    BSTR first = Owned("ab");
    BSTR second = Owned("cde");
    ConcatenateStrings({first, nullptr, second, kAbcToJoin.Handle()});
    EXPECT_EQ(Text(TempString(0)), "abcdeabc");
    EXPECT_FALSE(IsBorrowed(TempString(0)));
    PopAndFreeString();
    ConcatenateStrings({nullptr, second});  // one null: a copy of the other
    EXPECT_NE(StringOf(TempString(0)), second);
    EXPECT_EQ(Text(TempString(0)), "cde");
    PopAndFreeString();
    ConcatenateStrings({nullptr, nullptr});
    EXPECT_EQ(TempString(0), 0u);
    PopAndFreeString();
    EXPECT_EQ(Text(first), "ab");
    EXPECT_EQ(Text(second), "cde");
    FreeString(first);
    FreeString(second);
    EXPECT_EQ(seam.Allocations(), 4);
    EXPECT_EQ(seam.Frees(), 4);
    EXPECT_EQ(frame.errorState, 0);
}

TEST(ConcatenateStrings, ErrorsPushAnEmptySlot) {
    ProcFrame frame;
    HugeClaim huge;
    huge.length = 0x80000000u;
    ConcatenateStrings({huge.Handle(), huge.Handle()});  // exactly 2^32: too long
    EXPECT_EQ(TempStringCount(), 1);
    EXPECT_EQ(TempString(0), 0u);
    EXPECT_EQ(frame.LastError(), kErrorInvalidArgument);
    PopAndFreeString();
    allocation_seam::FailAllocationNumber(1);
    ConcatenateStrings({kAbcToJoin.Handle(), kDe.Handle()});
    allocation_seam::FailAllocationNumber(0);
    EXPECT_EQ(TempString(0), 0u);
    EXPECT_EQ(frame.LastError(), kErrorOutOfMemory);
    PopAndFreeString();
}
