// The TempStringStack: pushes and pops, assignment into variables with buffer reuse,
// arguments, fixed-length and zero-terminated buffers, and exact ownership throughout.
#include "runtime/temp_strings.h"

#include "runtime/error_numbers.h"
#include "runtime/string_buffers.h"
#include "runtime/string_literal.h"
#include "tests/runtime/string_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
constexpr auto kAbcTemporary = StringLiteral("abc");
constexpr auto kXyz = StringLiteral("xyz");
constexpr auto kWxyz = StringLiteral("wxyz");
constexpr auto kSixBytes = StringLiteral("abcdef");
}  // namespace

TEST(TempStringStack, IndexMovesOneHandleWidthPerSlot) {
    ProcFrame frame;
    const LONG width = sizeof(StringHandle);
    PushBorrowedString(kAbcTemporary.Handle());
    PushEmptyString();
    EXPECT_EQ(frame.tempIndex, -2 * width);
    EXPECT_EQ(TempStringCount(), 2);
    EXPECT_EQ(TempString(0), 0u);
    EXPECT_EQ(TempString(1), BorrowedHandle(kAbcTemporary.Handle()));
    PushBorrowedString(nullptr);
    EXPECT_EQ(TempString(0), kBorrowedMark);  // a marked null
    PopAndFreeString();
    PopAndFreeString();
    EXPECT_EQ(PopStringLength(), 3u);
    EXPECT_EQ(frame.tempIndex, 0);
}

TEST(TempStringStack, LiteralIntoVariableGivesAnOwnCopyAndTheLiteralIsNeverFreed) {
    ProcFrame frame;
    SeamDelta seam;
    BSTR variable = nullptr;
    PushBorrowedString(kAbcTemporary.Handle());
    PopIntoStringVariable(&variable);
    ASSERT_NE(variable, nullptr);
    EXPECT_NE(variable, kAbcTemporary.Handle());
    EXPECT_EQ(Text(variable), "abc");
    EXPECT_EQ(seam.Allocations(), 1);
    FreeString(variable);
    EXPECT_EQ(seam.Frees(), 1);
    EXPECT_EQ(Text(kAbcTemporary.Handle()), "abc");
}

TEST(TempStringStack, SameLengthReusesTheVariablesBufferOtherLengthsReplaceIt) {
    ProcFrame frame;
    BSTR variable = Owned("abc");
    BSTR buffer = variable;
    SeamDelta seam;
    PushBorrowedString(kXyz.Handle());
    PopIntoStringVariable(&variable);
    EXPECT_EQ(variable, buffer);
    EXPECT_EQ(Text(variable), "xyz");
    EXPECT_EQ(seam.Allocations(), 0);
    EXPECT_EQ(seam.Frees(), 0);
    PushBorrowedString(kWxyz.Handle());
    PopIntoStringVariable(&variable);
    EXPECT_EQ(Text(variable), "wxyz");
    EXPECT_EQ(seam.Allocations(), 1);
    EXPECT_EQ(seam.Frees(), 1);
    // Assigning a variable to itself copies onto itself.
    PushBorrowedString(variable);
    PopIntoStringVariable(&variable);
    EXPECT_EQ(Text(variable), "wxyz");
    EXPECT_EQ(seam.Allocations(), 1);
    FreeString(variable);
}

TEST(TempStringStack, OwnedSlotsMoveIntoVariablesAndMarkedNullEmptiesThem) {
    ProcFrame frame;
    SeamDelta seam;
    BSTR variable = Owned("old");
    BSTR fresh = Owned("new!");
    PushOwnedString(fresh);
    PopIntoStringVariable(&variable);
    EXPECT_EQ(variable, fresh);  // moved, not copied
    EXPECT_EQ(seam.Frees(), 1);  // "old"
    PushBorrowedString(nullptr);
    PopIntoStringVariable(&variable);
    EXPECT_EQ(variable, nullptr);
    EXPECT_EQ(seam.Frees(), 2);
    // An owned slot that is the variable's own string is kept, not freed.
    variable = Owned("same");
    PushOwnedString(variable);
    PopIntoStringVariable(&variable);
    EXPECT_EQ(Text(variable), "same");
    FreeString(variable);
    EXPECT_EQ(seam.Allocations(), seam.Frees());
}

TEST(TempStringStack, ArgumentsAreOwnedCopiesOfBorrowedStrings) {
    ProcFrame frame;
    SeamDelta seam;
    BSTR place = nullptr;
    PushBorrowedString(kAbcTemporary.Handle());
    BSTR argument = PopIntoStringArgument(&place);
    EXPECT_EQ(argument, place);
    EXPECT_NE(argument, kAbcTemporary.Handle());
    EXPECT_EQ(Text(argument), "abc");
    FreeString(argument);  // program code frees the argument after the call
    BSTR owned = Owned("mine");
    PushOwnedString(owned);
    EXPECT_EQ(PopIntoStringArgument(&place), owned);
    EXPECT_EQ(place, owned);
    FreeString(owned);
    EXPECT_EQ(seam.Allocations(), 2);
    EXPECT_EQ(seam.Frees(), 2);
    EXPECT_EQ(frame.tempIndex, 0);
}

TEST(TempStringStack, PushCopyAndPopLength) {
    ProcFrame frame;
    SeamDelta seam;
    PushStringCopy("a\0b", 3);
    EXPECT_FALSE(IsBorrowed(TempString(0)));
    EXPECT_EQ(Text(TempString(0)), std::string("a\0b", 3));
    EXPECT_EQ(PopStringLength(), 3u);
    PushStringCopy("", 0);
    EXPECT_EQ(TempString(0), 0u);
    PopAndFreeString();
    PushBorrowedString(kSixBytes.Handle());
    EXPECT_EQ(PopStringLength(), 6u);
    EXPECT_EQ(seam.Allocations(), 1);
    EXPECT_EQ(seam.Frees(), 1);
}

TEST(TempStringStack, FrameExitReleasesWhatAStatementLeftBehind) {
    SeamDelta seam;
    {
        ProcFrame frame;
        PushOwnedString(Owned("left"));
        PushBorrowedString(kAbcTemporary.Handle());
    }
    EXPECT_EQ(seam.Allocations(), 1);
    EXPECT_EQ(seam.Frees(), 1);
}

TEST(TempStringStackDeathTest, OverflowAndUnderflowEndTheProcess) {
    EXPECT_EXIT(
        {
            ProcFrame frame;
            for (int k = 0; k < kTempStringSlots; ++k) PushEmptyString();
            PushEmptyString();
        },
        ::testing::ExitedWithCode(kFatalExitCode), "");
    EXPECT_EXIT(
        {
            ProcFrame frame;
            PopAndFreeString();
        },
        ::testing::ExitedWithCode(kFatalExitCode), "");
}

TEST(StringBuffers, FixedLengthIsBlankPadded) {
    ProcFrame frame;
    char buffer[5];
    PushBorrowedString(kAbcTemporary.Handle());
    PopIntoFixedBuffer(buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, 5), "abc  ");
    PushOwnedString(Owned("abcdef"));
    SeamDelta seam;
    PopIntoFixedBuffer(buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, 5), "abcde");
    EXPECT_EQ(seam.Frees(), 1);
    PushEmptyString();
    PopIntoFixedBuffer(buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, 5), "     ");
    EXPECT_EQ(frame.tempIndex, 0);
}

TEST(StringBuffers, ZeroTerminatedStopsAtSizeOrAfterTheFirstZero) {
    ProcFrame frame;
    char buffer[20];
    std::memset(buffer, 'x', sizeof buffer);
    PushBorrowedString(kAbcTemporary.Handle());
    PopIntoZeroTerminatedBuffer(buffer, 20);
    EXPECT_EQ(std::string(buffer, 5), std::string("abc\0x", 5));
    std::memset(buffer, 'x', sizeof buffer);
    PushOwnedString(Owned("abcdef"));
    PopIntoZeroTerminatedBuffer(buffer, 4);
    EXPECT_EQ(std::string(buffer, 5), std::string("abc\0x", 5));
    std::memset(buffer, 'x', sizeof buffer);
    PushOwnedString(Owned(std::string("a\0bc", 4)));
    PopIntoZeroTerminatedBuffer(buffer, 20);
    EXPECT_EQ(std::string(buffer, 3), std::string("a\0x", 3));
    std::memset(buffer, 'x', sizeof buffer);
    PushBorrowedString(kSixBytes.Handle());
    PopIntoZeroTerminatedBuffer(buffer, 0);  // 0: no practical limit
    EXPECT_EQ(std::string(buffer, 8), std::string("abcdef\0x", 8));
    PushEmptyString();
    PopIntoZeroTerminatedBuffer(buffer, 1);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(frame.tempIndex, 0);
}
