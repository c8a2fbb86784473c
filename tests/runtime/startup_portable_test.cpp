// Portable only: on Windows the refusal shows a real modal message box that nobody closes.
#include "runtime/startup.h"

#include "runtime/error_numbers.h"

#include <gtest/gtest.h>

TEST(PlatformCheckDeathTest, AnythingButNtIsRefusedWithAMessageAnd255) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
    CheckPlatform(version);  // the NT platform passes
    version.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    // No caption is passed, so the box has the system's default one.
    EXPECT_EXIT(CheckPlatform(version), ::testing::ExitedWithCode(kFatalExitCode),
                "^Error: Win98 No Support\n$");
}
