// Portable only: the display's message box and its standard-error fallback are this layer's
// own; on Windows a message box is a real modal window that a unit test cannot answer.
#include "platform/display/headless_backend.h"
#include "platform/trace.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct TraceOn {
    TraceOn() {
        platform_trace::Clear();
        platform_trace::Enable(true);
    }
    ~TraceOn() { platform_trace::Enable(false); }
};

TEST(MessageBox, WhileTracedAnswersWithTheFirstButtonOfTheStyle) {
    TraceOn trace;
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OKCANCEL), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_RETRYCANCEL), IDRETRY);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_ABORTRETRYIGNORE), IDABORT);
    EXPECT_EQ(platform_trace::Events().size(), 5u);
}

TEST(MessageBox, AnUnknownButtonSetFails) {
    TraceOn trace;
    SetLastError(0);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", 0x7), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(MessageBoxDeathTest, WithoutADisplayTheTextGoesToStandardErrorOnOneLine) {
    EXPECT_EXIT(
        {
            display::headless::SetAvailable(false);
            int answer = MessageBoxW(nullptr, WSTR("RegisterClass for hanois failed"),
                                     WSTR("Quarkstone"), MB_TASKMODAL | MB_SETFOREGROUND);
            std::exit(answer == IDOK ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "^Quarkstone: RegisterClass for hanois failed\n$");
}

}  // namespace
