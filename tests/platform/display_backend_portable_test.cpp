// Portable only: which display backend serves, and the headless backend's own promises
// (frames cut to the surface, a display that is switched off) seen through USER's calls.
#include "platform/display/headless_backend.h"
#include "platform/display/sdl_backend.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <string>

namespace {

HWND CreatePlainWindow(const char* title) {
    WNDCLASSA record{};
    record.lpfnWndProc = DefWindowProcA;
    record.lpszClassName = "DisplayBackendClass";
    RegisterClassA(&record);  // once; later calls find it taken
    return CreateWindowExA(0, "DisplayBackendClass", title, WS_POPUP, 0, 0, 40, 30, nullptr,
                           nullptr, nullptr, nullptr);
}

// The unit tests run on the headless display; once it is open no other backend can take over.
TEST(DisplayBackend, TheChoiceIsFixedOnceTheDisplayIsOpen) {
    ASSERT_TRUE(display::Open(nullptr));
    EXPECT_STREQ(display::CurrentBackend().name, "headless");
    EXPECT_FALSE(display::UseBackend(display::SdlBackend()));
    EXPECT_STREQ(display::CurrentBackend().name, "headless");
    EXPECT_TRUE(display::UseHeadlessDisplay());  // the one in use: nothing to change
    EXPECT_STREQ(display::SdlBackend().name, "sdl2");
}

TEST(DisplayBackend, APresentedFrameIsCutToTheSurfaceAndLosesItsAlpha) {
    display::SurfaceSpec spec;
    spec.title = "cut";
    spec.width = 2;
    spec.height = 2;
    ASSERT_TRUE(display::Open(nullptr));
    const display::SurfaceId surface = display::CreateSurface(spec);
    ASSERT_NE(surface, 0u);
    const uint32_t pixels[] = {0xFF010203, 0x80040506, 0xFF999999,  // 3 x 2
                               0x00070809, 0xFF0A0B0C, 0xFF999999};
    display::Present(surface, display::Frame{pixels, 3, 2});
    std::vector<uint32_t> screen;
    int w = 0, h = 0;
    ASSERT_TRUE(display::ReadFrame(surface, &screen, &w, &h));
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(screen, (std::vector<uint32_t>{0x010203, 0x040506, 0x070809, 0x0A0B0C}));
    display::DestroySurface(surface);
    EXPECT_FALSE(display::ReadFrame(surface, &screen, &w, &h));
}

TEST(DisplayBackend, WithTheDisplaySwitchedOffNoWindowIsCreated) {
    display::headless::SetAvailable(false);
    std::string reason;
    EXPECT_FALSE(display::Open(&reason));
    EXPECT_EQ(reason.rfind("no display available (", 0), 0u) << reason;
    SetLastError(0);
    EXPECT_EQ(CreatePlainWindow("off"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_AVAILABLE));
    EXPECT_EQ(display::headless::FindSurface("off"), 0u);
    display::headless::SetAvailable(true);
    HWND window = CreatePlainWindow("on");
    ASSERT_NE(window, nullptr);
    EXPECT_NE(display::headless::FindSurface("on"), 0u);
    DestroyWindow(window);
    EXPECT_EQ(display::headless::FindSurface("on"), 0u);
}

}  // namespace
