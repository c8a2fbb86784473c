// Portable only: the main window on the headless display, with the platform trace; on
// Windows the same code is run whole by the end-to-end tests under Wine.
#include "platform/display/headless_backend.h"
#include "platform/trace.h"
#include "tests/ui/scene_test_support.h"
#include "ui/main_window.h"

#include <cstdlib>

namespace {

class MainWindowTest : public TracedSceneTest {
   protected:
    void TearDown() override {
        platform_trace::Enable(false);
        if (IsWindow(window)) DestroyWindow(window);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        TracedSceneTest::TearDown();
    }
    int Count(const char* call) {
        int n = 0;
        for (const auto& event : platform_trace::Events()) n += event.call == call;
        return n;
    }
    std::string Detail(const char* call) {
        for (const auto& event : platform_trace::Events())
            if (event.call == call) return event.detail;
        return "";
    }
    uint32_t ScreenAt(int x, int y) {
        std::vector<uint32_t> pixels;
        int w = 0, h = 0;
        display::ReadFrame(display::headless::FindSurface("Towers of Hanoi"), &pixels, &w, &h);
        return pixels.empty() ? 0xFFFFFFFF : pixels[y * w + x];
    }
    HWND window = nullptr;
};

TEST_F(MainWindowTest, ClassIsRegisteredOnceAndTheWindowHasItsTitleAndSize) {
    window = CreateHanoisWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(ClassRegistered);
    EXPECT_EQ(Detail("CreateWindowExA"),
              "class=HanoisClass title=Towers of Hanoi size=820x500 style=0x02CF0000");
    platform_trace::Clear();
    RegisterHanoisClass();  // a second call registers nothing
    EXPECT_EQ(Count("RegisterClassA"), 0);
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 820);
    EXPECT_EQ(outer.bottom - outer.top, 500);
    // What the desktop is told: the title, the class (WM_CLASS on X11) and the icon.
    display::headless::SurfaceInfo surface;
    ASSERT_TRUE(
        display::headless::Describe(display::headless::FindSurface("Towers of Hanoi"), &surface));
    EXPECT_EQ(surface.className, "HanoisClass");
    EXPECT_GT(surface.iconWidth, 0);
}

TEST_F(MainWindowTest, FirstPaintShowsTheEmptyPegsWithoutErasing) {
    window = CreateHanoisWindow();
    ShowWindow(window, SW_SHOWNORMAL);
    platform_trace::Clear();
    UpdateWindow(window);
    std::vector<std::string> order;
    for (const auto& event : platform_trace::Events())
        if (event.call == "BeginPaint" || event.call == "BitBlt" || event.call == "EndPaint" ||
            event.call == "FillRect")
            order.push_back(event.call);
    // One fill (the scene's own background, never the class brush), one copy, in the paint.
    EXPECT_EQ(order, (std::vector<std::string>{"BeginPaint", "FillRect", "BitBlt", "EndPaint"}));
    EXPECT_EQ(ScreenAt(5, 5), kBackgroundRgb);
    EXPECT_EQ(ScreenAt(811, 472), kBackgroundRgb);
    EXPECT_NE(ScreenAt(10 + 128, 200), kBackgroundRgb);  // a rod
    EXPECT_EQ(ScreenAt(60, 346), kBackgroundRgb);        // no disk on peg 0 yet
}

TEST_F(MainWindowTest, EraseIsSkippedPaintDrawsThePegsInputChangesNothing) {
    window = CreateHanoisWindow();
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SceneCanvas canvas(4, 4);
    EXPECT_EQ(HanoisWndProc(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc), 0), 0);
    EXPECT_EQ(canvas.At(0, 0), 0u);  // nothing erased
    SetPeg(0, "7654321");
    InvalidateRect(window, nullptr, TRUE);
    EXPECT_EQ(HanoisWndProc(window, WM_PAINT, 0, 0), 0);
    EXPECT_NE(ScreenAt(60, 346), kBackgroundRgb);  // the disks are there now
    // Clicks and keys get default processing and change nothing.
    EXPECT_EQ(HanoisWndProc(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(100, 300)), 0);
    EXPECT_EQ(HanoisWndProc(window, WM_KEYDOWN, VK_SPACE, 1), 0);
    EXPECT_EQ(PegText(0), "7654321");
    EXPECT_TRUE(IsWindow(window));
}

// The scene is composed and copied whole whatever was invalidated; only the paint DC's
// clipping to the small region keeps the rest of the screen as it was.
TEST_F(MainWindowTest, PaintOfASmallRegionComposesAndCopiesTheWholeScene) {
    window = CreateHanoisWindow();
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetPeg(0, "7654321");
    platform_trace::Clear();
    const RECT small{50, 336, 70, 356};
    InvalidateRect(window, &small, FALSE);
    UpdateWindow(window);
    EXPECT_EQ(Count("BeginPaint"), 1);
    EXPECT_NE(Detail("FillRect").find(" rect=0,0,812,473 "), std::string::npos)
        << Detail("FillRect");
    EXPECT_NE(Detail("BitBlt").find(" at=0,0 size=812x473 "), std::string::npos)
        << Detail("BitBlt");
    EXPECT_EQ(Count("DrawIconEx"), 3 + 7);          // every peg image and every disk
    EXPECT_NE(ScreenAt(60, 346), kBackgroundRgb);   // inside the region: the disks came
    EXPECT_EQ(ScreenAt(216, 346), kBackgroundRgb);  // outside: clipped away
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_NE(ScreenAt(216, 346), kBackgroundRgb);  // the same point does show a disk
}

TEST_F(MainWindowTest, CloseEndsTheMessageLoopWithZero) {
    window = CreateHanoisWindow();
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    PostMessageA(window, WM_CLOSE, 0, 0);  // goes to DefWindowProcA: no case of its own
    EXPECT_EQ(RunMessageLoop(window), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Count("PostQuitMessage"), 1);
}

TEST(MainWindowDeathTest, FailedRegistrationShowsTheMessageAndExitsWithZero) {
    EXPECT_EXIT(
        {
            display::headless::SetAvailable(false);
            WNDCLASSA taken{};
            taken.lpfnWndProc = DefWindowProcA;
            taken.lpszClassName = "HanoisClass";
            RegisterClassA(&taken);  // whether or not it was there: now it is taken
            ClassRegistered = 0;
            RegisterHanoisClass();
            std::exit(3);  // not reached
        },
        ::testing::ExitedWithCode(0), "^Quarkstone: RegisterClass for hanois failed\n$");
}

// Without a window the run ends with 255 and says why, as CreateWindowExA's error tells.
TEST(MainWindowDeathTest, WithoutAWindowTheRunEndsWith255AndItsReason) {
    const struct {
        DWORD error;
        const char* said;
    } cases[] = {
        {ERROR_DEVICE_NOT_AVAILABLE, "No display is available"},
        {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory"},
        {ERROR_OUTOFMEMORY, "Not enough memory"},
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(
            {
                display::headless::SetAvailable(false);
                SetLastError(c.error);
                EndWithoutWindow();
            },
            ::testing::ExitedWithCode(255),
            std::string("^Quarkstone: ") + c.said + ": the window cannot be opened\n$");
    }
}

}  // namespace
