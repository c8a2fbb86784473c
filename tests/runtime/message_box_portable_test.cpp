// Portable only: a real message box would wait for a click; here the platform's trace shows
// what ShowMessageBox handed to MessageBoxW.
#include "runtime/message_box.h"

#include "platform/trace.h"
#include "runtime/string_literal.h"
#include "runtime/temp_strings.h"
#include "tests/runtime/string_test_support.h"

#include <gtest/gtest.h>

namespace {
// The caption, text and style of every message box shown, in order, and the sleeps.
std::vector<std::string> Shown() {
    std::vector<std::string> shown;
    for (const auto& event : platform_trace::Events())
        if (event.call == "MessageBox" || event.call == "Sleep")
            shown.push_back(event.call + " " + event.detail);
    return shown;
}

class ShowMessageBoxTest : public ::testing::Test {
   protected:
    void SetUp() override {
        platform_trace::Clear();
        platform_trace::Enable(true);
        platform_trace::SetInstantSleep(true);
    }
    void TearDown() override {
        platform_trace::SetInstantSleep(false);
        platform_trace::Enable(false);
        platform_trace::Clear();
    }
};
}  // namespace

TEST_F(ShowMessageBoxTest, EmptyTitleGivesTheDefaultCaptionAndBothSlotsArePopped) {
    static constexpr auto text = WideLiteral(WSTR("RegisterClass for hanois failed"));
    ProcFrame frame;
    SeamDelta seam;
    PushBorrowedString(text.Handle());
    PushEmptyString();
    EXPECT_EQ(ShowMessageBox(0x12000), IDOK);
    EXPECT_EQ(frame.tempIndex, 0);
    EXPECT_EQ(Shown(),
              (std::vector<std::string>{"Sleep 5",
                                        "MessageBox Quarkstone|RegisterClass for hanois failed|"
                                        "style=73728"}));
    EXPECT_EQ(seam.Frees(), 0);
}

TEST_F(ShowMessageBoxTest, OneCharacterTitleIsTheCaptionAndOwnedSlotsAreFreed) {
    ProcFrame frame;
    SeamDelta seam;
    PushOwnedString(RuntimeAllocWideString(WSTR("body"), 4));
    PushOwnedString(RuntimeAllocWideString(WSTR("T"), 1));
    ShowMessageBox(0);
    PushBorrowedString(nullptr);  // a null text is the empty text
    PushOwnedString(RuntimeAllocWideString(WSTR("x"), 1));
    ShowMessageBox(0);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Sleep 5", "MessageBox T|body|style=0", "Sleep 5",
                                                 "MessageBox x||style=0"}));
    EXPECT_EQ(seam.Allocations(), 3);
    EXPECT_EQ(seam.Frees(), 3);
    EXPECT_EQ(frame.tempIndex, 0);
}
