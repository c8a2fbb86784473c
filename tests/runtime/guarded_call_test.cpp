// GuardedSystemCall: failure detection by the last error alone, the combined code, and the
// state it sets and restores around the call.
#include "runtime/guarded_call.h"

#include "runtime/error_numbers.h"
#include "runtime/fpu_control.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {
// A stand-in system function: fails with `error` (0: succeeds) and returns `result`.
BOOL WINAPI FakeSystemCall(DWORD error, BOOL result) {
    SetLastError(error);
    return result;
}
}  // namespace

TEST(GuardedSystemCall, TranslatesTheLastErrorIntoTheCombinedCode) {
    struct Case {
        DWORD win32;
        DWORD runtime;
    };
    for (Case c :
         {Case{2, kErrorFileNotFound}, Case{112, kErrorDiskFull}, Case{87, kErrorInvalidArgument},
          Case{1450, kErrorSystemCallFailed}, Case{7, kErrorMemoryDamaged}}) {
        auto outcome = GuardedSystemCall(FakeSystemCall, c.win32, FALSE);
        EXPECT_TRUE(outcome.failed) << c.win32;
        EXPECT_EQ(outcome.code & 0xFFFF, c.runtime) << c.win32;
        EXPECT_EQ(outcome.code >> 16, c.win32) << c.win32;
        EXPECT_EQ(outcome.value, FALSE);
    }
    // Only the low 16 bits of a large Win32 code fit in the high word.
    auto large = GuardedSystemCall(FakeSystemCall, 0x12345u, FALSE);
    EXPECT_EQ(large.code, 0x2345u << 16 | 75u);
}

TEST(GuardedSystemCall, TheLastErrorAloneDecidesFailure) {
    // A stale last error from before the call does not count: it is cleared first.
    SetLastError(ERROR_ACCESS_DENIED);
    auto zeroResult = GuardedSystemCall(FakeSystemCall, 0u, FALSE);
    EXPECT_FALSE(zeroResult.failed);
    EXPECT_EQ(zeroResult.code, 0u);
    // A function that reports success yet leaves an error is taken as failing.
    auto leftError = GuardedSystemCall(FakeSystemCall, ERROR_FILE_NOT_FOUND, TRUE);
    EXPECT_TRUE(leftError.failed);
    EXPECT_EQ(leftError.value, TRUE);
    auto voidCall = GuardedSystemCall([] { SetLastError(ERROR_DISK_FULL); });
    EXPECT_TRUE(voidCall.failed);
    EXPECT_EQ(voidCall.code, 112u << 16 | 61u);
}

TEST(GuardedSystemCall, SetsErrorModeAndCleanFpuInsideAndRestoresBoth) {
    const UINT before = SetErrorMode(SEM_NOGPFAULTERRORBOX);
    const uint16_t savedWord = ReadFpuControlWord();
    LoadFpuControlWord(kRuntimeFpuControlWord);
    const uint16_t runtimeWord = ReadFpuControlWord();
    UINT modeInside = 0;
    uint16_t wordInside = 0;
    bool lockedInside = false;
    GuardedSystemCall([&] {
        modeInside = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        wordInside = ReadFpuControlWord();
        lockedInside = GuardedCallLockHeld();
        LoadFpuControlWord(0x0C7F);  // the system may leave anything behind
        return 0;
    });
    const uint16_t wordAfter = ReadFpuControlWord();
    const UINT modeAfter = SetErrorMode(before);
    LoadFpuControlWord(savedWord);
    EXPECT_EQ(modeInside, static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
    EXPECT_EQ(modeAfter, static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
    EXPECT_EQ(wordInside, 0x037F);  // FNSAVE left the unit in its initial state
    EXPECT_EQ(wordAfter, runtimeWord);
    EXPECT_TRUE(lockedInside);
    EXPECT_FALSE(GuardedCallLockHeld());
}

TEST(GuardedCallConcurrency, OneGuardedCallAtATimeAcrossThreads) {
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    long calls = 0;  // plain on purpose: only ever touched under the lock
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int k = 0; k < 2000; ++k) {
                auto outcome = GuardedSystemCall([&] {
                    if (inside.fetch_add(1) != 0) overlaps.fetch_add(1);
                    ++calls;
                    SetLastError(k % 2 ? ERROR_DISK_FULL : 0);
                    inside.fetch_sub(1);
                    return k;
                });
                // Each thread sees its own call's last error, never another thread's.
                if (outcome.failed != (k % 2 == 1)) overlaps.fetch_add(1);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_EQ(calls, 8000);
}
