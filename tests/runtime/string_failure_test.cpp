// Every allocation of the string operations, made to fail in turn: each leaves a null
// result in place, raises 7 where the operation reports errors (conversions stay silent),
// and neither leaks nor frees twice.
#include "runtime/error_numbers.h"
#include "runtime/string_convert.h"
#include "runtime/string_join.h"
#include "runtime/string_literal.h"
#include "runtime/temp_strings.h"
#include "tests/runtime/string_test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
constexpr auto kAbcFailing = StringLiteral("abc");

struct Case {
    const char* name;
    BYTE error;  // expected error number when an allocation fails (0: none raised)
    // Sets up, calls arm() right before the operation, runs it, checks that its result is
    // either right or empty, and releases everything it made.
    std::function<void(const std::function<void()>& arm)> run;
};

void RunWithEachAllocationFailing(const Case& c) {
    for (long n = 1;; ++n) {
        ProcFrame frame;
        SeamDelta seam;
        c.run([n] { allocation_seam::FailAllocationNumber(n); });
        const bool injected = allocation_seam::InjectedFailureHappened();
        allocation_seam::FailAllocationNumber(0);
        EXPECT_EQ(seam.Allocations(), seam.Frees()) << c.name << " allocation " << n;
        if (!injected) {
            EXPECT_GT(n, 1) << c.name << " never allocates";
            return;
        }
        EXPECT_EQ(frame.LastError(), c.error) << c.name << " allocation " << n;
        if (c.error) {
            EXPECT_EQ(frame.ErrorFlags(), kErrorFromService) << c.name;
        }
    }
}
}  // namespace

TEST(StringAllocationFailure, EveryAllocationOfEveryOperation) {
    const Case cases[] = {
        {"push copy", kErrorOutOfMemory,
         [](auto& arm) {
             arm();
             PushStringCopy("abc", 3);
             EXPECT_TRUE(TempString(0) == 0 || Text(TempString(0)) == "abc");
             PopAndFreeString();
         }},
        {"pop into variable", kErrorOutOfMemory,
         [](auto& arm) {
             BSTR variable = Owned("ab");
             PushBorrowedString(kAbcFailing.Handle());
             arm();
             PopIntoStringVariable(&variable);
             EXPECT_TRUE(variable == nullptr || Text(variable) == "abc");
             FreeString(variable);
         }},
        {"pop into argument", kErrorOutOfMemory,
         [](auto& arm) {
             BSTR place = nullptr;
             PushBorrowedString(kAbcFailing.Handle());
             arm();
             BSTR argument = PopIntoStringArgument(&place);
             EXPECT_EQ(argument, place);
             FreeString(argument);
         }},
        {"append", kErrorOutOfMemory,
         [](auto& arm) {
             PushOwnedString(Owned("ab"));
             PushBorrowedString(kAbcFailing.Handle());
             arm();
             AppendTopToNext();
             EXPECT_EQ(TempStringCount(), 1);
             PopAndFreeString();
         }},
        {"concatenate", kErrorOutOfMemory,
         [](auto& arm) {
             BSTR part = Owned("x");
             arm();
             ConcatenateStrings({part, kAbcFailing.Handle()});
             PopAndFreeString();
             FreeString(part);
         }},
        {"resize", kErrorOutOfMemory,
         [](auto& arm) {
             BSTR text = Owned("abc");
             arm();
             FreeString(ResizeByteString(OwnedHandle(text), 9));
         }},
        {"slot to wide", 0,
         [](auto& arm) {
             PushOwnedString(Owned("abc"));
             arm();
             ConvertTempToWide(CP_UTF8, 0);
             PopAndFreeString();
         }},
        {"slot to bytes", 0,
         [](auto& arm) {
             PushOwnedString(RuntimeAllocWideString(WSTR("abc"), 3));
             arm();
             ConvertTempToBytes(CP_UTF8, 0);
             PopAndFreeString();
         }},
    };
    for (const Case& c : cases) RunWithEachAllocationFailing(c);
}
