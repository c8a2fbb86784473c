// Dynamic strings one at a time: allocation, release, lengths, resizing, the shared empty
// string and literals.
#include "runtime/string_handle.h"

#include "runtime/error_numbers.h"
#include "runtime/string_literal.h"
#include "tests/runtime/string_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(StringHandle, EmptyAllocationIsNullWithTheSharedEmptyString) {
    ProcFrame frame;
    SeamDelta seam;
    EXPECT_EQ(AllocByteString(0), nullptr);
    EXPECT_EQ(AllocWideString(0), nullptr);
    EXPECT_EQ(seam.Allocations(), 0);
    const BYTE* empty = StringBytes(0);
    EXPECT_EQ(empty, reinterpret_cast<const BYTE*>(SharedEmptyString()));
    EXPECT_EQ(empty[0], 0);
    EXPECT_EQ(empty[1], 0);
    EXPECT_EQ(StringByteLength(SharedEmptyString()), 0u);
    EXPECT_EQ(StringBytes(kBorrowedMark), empty);  // a borrowed null reads the same
    EXPECT_EQ(frame.errorState, 0);
}

TEST(StringHandle, AllocatedStringsHaveTheirLengthsAndAreEven) {
    ProcFrame frame;
    BSTR bytes = AllocByteString(5);
    BSTR wide = AllocWideString(3);
    ASSERT_NE(bytes, nullptr);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(StringByteLength(bytes), 5u);
    EXPECT_EQ(StringByteLength(wide), 6u);
    EXPECT_EQ(StringCharCount(OwnedHandle(wide)), 3u);
    EXPECT_EQ(StringCharCount(OwnedHandle(bytes)), 2u);  // whole wide characters only
    EXPECT_EQ(OwnedHandle(bytes) & kBorrowedMark, 0u);   // the mark bit is free
    EXPECT_EQ(StringByteLength(BorrowedHandle(bytes)), 5u);
    FreeString(bytes);
    FreeString(wide);
}

TEST(StringHandle, AllocationFailureGivesNullAndError7) {
    ProcFrame frame;
    allocation_seam::FailAllocationNumber(1);
    EXPECT_EQ(AllocByteString(3), nullptr);
    EXPECT_EQ(frame.LastError(), kErrorOutOfMemory);
    frame.errorState = 0;
    allocation_seam::FailAllocationNumber(1);
    EXPECT_EQ(AllocWideString(3), nullptr);
    EXPECT_EQ(frame.LastError(), kErrorOutOfMemory);
    allocation_seam::FailAllocationNumber(0);
}

TEST(StringHandle, FreeSkipsNullAndBorrowedHandles) {
    BSTR text = Owned("abc");
    SeamDelta seam;
    FreeString(StringHandle{0});
    FreeString(kBorrowedMark);
    FreeString(BorrowedHandle(text));
    EXPECT_EQ(seam.Frees(), 0);
    FreeString(text);
    EXPECT_EQ(seam.Frees(), 1);
}

TEST(StringHandle, LiteralsShareTheLayoutAndCountEmbeddedZeros) {
    static constexpr auto literal = StringLiteral("a\0bc");
    EXPECT_EQ(StringByteLength(BorrowedHandle(literal.Handle())), 4u);
    EXPECT_EQ(Text(BorrowedHandle(literal.Handle())), std::string("a\0bc", 4));
    static constexpr auto wide = WideLiteral(WSTR("hi"));
    EXPECT_EQ(StringCharCount(OwnedHandle(wide.Handle())), 2u);
    EXPECT_EQ(wide.Handle()[2], 0);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(literal.Handle()) % 8, 0u);
}

TEST(StringHandle, ResizeKeepsThePrefixZeroFillsAndFreesTheOld) {
    ProcFrame frame;
    SeamDelta seam;
    BSTR text = Owned("abcd");
    BSTR longer = ResizeByteString(OwnedHandle(text), 6);
    EXPECT_EQ(Text(longer), std::string("abcd\0\0", 6));
    EXPECT_EQ(seam.Frees(), 1);
    BSTR shorter = ResizeByteString(OwnedHandle(longer), 2);
    EXPECT_EQ(Text(shorter), "ab");
    // A borrowed source stays alive; resizing to 0 gives the empty string.
    BSTR copy = ResizeByteString(BorrowedHandle(shorter), 0);
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(Text(shorter), "ab");
    EXPECT_EQ(seam.Frees(), 2);
    allocation_seam::FailAllocationNumber(1);
    EXPECT_EQ(ResizeByteString(OwnedHandle(shorter), 8), nullptr);
    allocation_seam::FailAllocationNumber(0);
    EXPECT_EQ(frame.LastError(), kErrorOutOfMemory);
    EXPECT_EQ(frame.ErrorFlags(), kErrorFromService);  // raised by the allocation inside
    EXPECT_EQ(seam.Frees(), 3);                        // the old string goes even on failure
    EXPECT_EQ(seam.Allocations(), seam.Frees());
}
