// The thread message queue without windows, on both hosts: posted messages come before the
// quit message, which GetMessageA reports with 0 and the exit code.
#include "platform/win32.h"

#include <gtest/gtest.h>

namespace {

// Empties the calling thread's queue so that one test's leftovers do not reach the next.
void Drain() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST(MessageQueue, QuitMessageEndsGetMessageWithItsCode) {
    Drain();
    PostQuitMessage(3);
    MSG message{};
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), FALSE);
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));  // taken once only
}

TEST(MessageQueue, PostedMessagesComeBeforeTheQuitMessageInOrder) {
    Drain();
    PostMessageA(nullptr, WM_USER + 1, 10, 20);
    PostQuitMessage(0);
    PostMessageA(nullptr, WM_USER + 2, 0, 0);  // posted after the quit, still before it
    MSG message{};
    ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(message.wParam, 10u);
    EXPECT_EQ(message.lParam, 20);
    EXPECT_EQ(message.hwnd, nullptr);
    ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 2));
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), FALSE);
}

TEST(MessageQueue, PeekWithoutRemoveLeavesTheMessage) {
    Drain();
    PostMessageA(nullptr, WM_USER + 5, 0, 0);
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 5));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 5));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST(MessageQueue, DispatchOfAThreadMessageCallsNothing) {
    MSG message{nullptr, WM_USER + 9, 0, 0, 0, POINT{0, 0}};
    EXPECT_EQ(DispatchMessageA(&message), 0);
}

}  // namespace
