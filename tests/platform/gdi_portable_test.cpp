// Portable only: the failures our rasteriser reports for what it leaves out (other raster
// operations, scaling), the handle checks, and icon blending on icons built from pixels
// (Windows has no call that makes an icon from straight-alpha pixels in memory).
#include "platform/user/icon_state.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct PortableCanvas {
    PortableCanvas(int w, int h) : width(w) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, w, h);
        previous = SelectObject(dc, bitmap);
    }
    ~PortableCanvas() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Fill(COLORREF color) {
        RECT all{0, 0, 1000, 1000};
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    int width;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
};

// An icon of w x h whose every pixel is (b, g, r, a).
HICON SolidIcon(int w, int h, uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
    std::vector<uint8_t> pixels;
    for (int i = 0; i < w * h; ++i) pixels.insert(pixels.end(), {b, g, r, a});
    return user_icons::Create(w, h, pixels.data(), false);
}

TEST(PortableGdi, OnlySrcCopyIsSupported) {
    PortableCanvas a(4, 4), b(4, 4);
    SetLastError(0);
    EXPECT_FALSE(BitBlt(a.dc, 0, 0, 4, 4, b.dc, 0, 0, 0x00EE0086));  // SRCPAINT
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_FALSE(BitBlt(a.dc, 0, 0, -4, 4, b.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(PortableGdi, DeadHandlesAreRefused) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(0);
    ASSERT_TRUE(DeleteDC(dc));
    RECT r{0, 0, 1, 1};
    SetLastError(0);
    EXPECT_EQ(FillRect(dc, &r, brush), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(DeleteDC(dc));
    ASSERT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
    PortableCanvas c(2, 2);
    EXPECT_EQ(FillRect(c.dc, &r, brush), 0);
    EXPECT_EQ(SelectObject(c.dc, brush), nullptr);
}

TEST(PortableGdi, SelectedObjectsAreNotDeleted) {
    PortableCanvas c(2, 2);
    EXPECT_FALSE(DeleteObject(c.bitmap));
    HBRUSH brush = CreateSolidBrush(0);
    HGDIOBJ old = SelectObject(c.dc, brush);
    EXPECT_FALSE(DeleteObject(brush));
    SelectObject(c.dc, old);
    EXPECT_TRUE(DeleteObject(brush));
}

TEST(PortableGdi, DrawIconBlendsByAlphaAndLeavesTransparentPixels) {
    PortableCanvas c(3, 1);
    c.Fill(RGB(100, 50, 200));
    HICON opaque = SolidIcon(1, 1, 10, 20, 30, 255);
    HICON clear = SolidIcon(1, 1, 10, 20, 30, 0);
    HICON half = SolidIcon(1, 1, 255, 255, 255, 128);
    ASSERT_TRUE(DrawIconEx(c.dc, 0, 0, opaque, 1, 1, 0, nullptr, DI_NORMAL));
    ASSERT_TRUE(DrawIconEx(c.dc, 1, 0, clear, 1, 1, 0, nullptr, DI_NORMAL));
    ASSERT_TRUE(DrawIconEx(c.dc, 2, 0, half, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetPixel(c.dc, 0, 0), RGB(30, 20, 10));
    EXPECT_EQ(GetPixel(c.dc, 1, 0), RGB(100, 50, 200));
    // 255 * 128 / 255 + d * 127 / 255, each rounded: 128 + 50, 128 + 25, 128 + 100.
    EXPECT_EQ(GetPixel(c.dc, 2, 0), RGB(178, 153, 228));
    for (HICON icon : {opaque, clear, half}) DestroyIcon(icon);
}

TEST(PortableGdi, BlendingIsRoundedSourceOverForEveryAlphaAndBackground) {
    // Row y holds background value y in every channel; column x has alpha x and colour
    // (200, 100, 50). Each result must be round(c * a / 255) + round(d * (255 - a) / 255).
    PortableCanvas c(256, 256);
    for (int y = 0; y < 256; ++y) {
        RECT row{0, y, 256, y + 1};
        HBRUSH brush = CreateSolidBrush(RGB(y, y, y));
        FillRect(c.dc, &row, brush);
        DeleteObject(brush);
    }
    std::vector<uint8_t> pixels;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) pixels.insert(pixels.end(), {50, 100, 200, uint8_t(x)});
    HICON icon = user_icons::Create(256, 256, pixels.data(), false);
    ASSERT_TRUE(DrawIconEx(c.dc, 0, 0, icon, 256, 256, 0, nullptr, DI_NORMAL));
    auto round255 = [](int v) { return (v + 127) / 255; };
    int wrong = 0;
    for (int d = 0; d < 256; ++d) {
        for (int a = 0; a < 256; ++a) {
            COLORREF got = GetPixel(c.dc, a, d);
            int want[3] = {round255(200 * a) + round255(d * (255 - a)),
                           round255(100 * a) + round255(d * (255 - a)),
                           round255(50 * a) + round255(d * (255 - a))};
            wrong +=
                GetRValue(got) != want[0] || GetGValue(got) != want[1] || GetBValue(got) != want[2];
        }
    }
    EXPECT_EQ(wrong, 0);
    DestroyIcon(icon);
}

TEST(PortableGdi, DrawIconIsClippedToTheBitmap) {
    PortableCanvas c(4, 4);
    c.Fill(RGB(0, 0, 0));
    HICON icon = SolidIcon(3, 3, 0, 0, 255, 255);
    ASSERT_TRUE(DrawIconEx(c.dc, -2, 2, icon, 3, 3, 0, nullptr, DI_NORMAL));
    ASSERT_TRUE(DrawIconEx(c.dc, 3, -1, icon, 3, 3, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetPixel(c.dc, 0, 3), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(c.dc, 1, 3), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(c.dc, 3, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(c.dc, 3, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(c.dc, 3, 2), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(c.dc, 2, 0), RGB(0, 0, 0));
    DestroyIcon(icon);
}

// Long opaque stretches are copied and the rest blended: every pixel must come out as the
// pixel-by-pixel rule gives it, with the stretches cut by the bitmap's edges anywhere.
TEST(PortableGdi, CopiedAndBlendedStretchesAgreeWhereverTheyAreClipped) {
    // One row of 40: clear, 3 opaque, half, 20 opaque, clear, 1 quarter, 9 opaque, clear.
    std::vector<uint8_t> alphas(40, 0);
    for (int x = 2; x < 5; ++x) alphas[x] = 255;
    alphas[5] = 128;
    for (int x = 6; x < 26; ++x) alphas[x] = 255;
    alphas[28] = 64;
    for (int x = 29; x < 38; ++x) alphas[x] = 255;
    std::vector<uint8_t> pixels;
    for (uint8_t a : alphas) pixels.insert(pixels.end(), {40, 80, 160, a});
    HICON icon = user_icons::Create(40, 1, pixels.data(), false);
    auto round255 = [](int v) { return (v + 127) / 255; };
    for (int left : {-30, -7, 0, 3, 11}) {
        SCOPED_TRACE(left);
        PortableCanvas c(24, 1);
        c.Fill(RGB(10, 20, 30));
        ASSERT_TRUE(DrawIconEx(c.dc, left, 0, icon, 40, 1, 0, nullptr, DI_NORMAL));
        for (int x = 0; x < 24; ++x) {
            const int a = x - left >= 0 && x - left < 40 ? alphas[x - left] : 0;
            auto over = [&](int colour, int background) {
                return round255(colour * a) + round255(background * (255 - a));
            };
            EXPECT_EQ(GetPixel(c.dc, x, 0), RGB(over(160, 10), over(80, 20), over(40, 30))) << x;
        }
    }
    DestroyIcon(icon);
}

TEST(PortableGdi, DrawIconRefusesScalingAndOtherModes) {
    PortableCanvas c(8, 8);
    HICON icon = SolidIcon(4, 4, 1, 2, 3, 255);
    SetLastError(0);
    EXPECT_FALSE(DrawIconEx(c.dc, 0, 0, icon, 8, 8, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_FALSE(DrawIconEx(c.dc, 0, 0, icon, 4, 4, 0, nullptr, DI_IMAGE));
    HBRUSH brush = CreateSolidBrush(0);
    EXPECT_FALSE(DrawIconEx(c.dc, 0, 0, icon, 4, 4, 0, brush, DI_NORMAL));
    DeleteObject(brush);
    ASSERT_TRUE(DestroyIcon(icon));
    SetLastError(0);
    EXPECT_FALSE(DrawIconEx(c.dc, 0, 0, icon, 4, 4, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(DrawIconEx(c.dc, 0, 0, nullptr, 4, 4, 0, nullptr, DI_NORMAL));
}

}  // namespace
