// Memory DCs, bitmaps, brushes and block transfers behave alike on both hosts: the same
// checks run against our rasteriser and, under Wine, against the real GDI.
#include "platform/win32.h"

#include <gtest/gtest.h>

namespace {

// A memory DC holding a 32-bit top-down DIB section whose pixels the test reads directly.
struct Canvas {
    Canvas(int w, int h) : width(w), height(h) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(nullptr);
        void* raw = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
        bits = static_cast<DWORD*>(raw);
        previous = SelectObject(dc, bitmap);
    }
    ~Canvas() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    // 0x00RRGGBB of one pixel; the byte GDI keeps for alpha is left out.
    DWORD At(int x, int y) const { return bits[y * width + x] & 0x00FFFFFF; }
    void Fill(COLORREF color, RECT area) {
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &area, brush);
        DeleteObject(brush);
    }
    int width, height;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    DWORD* bits = nullptr;
};

TEST(MemoryDc, SelectObjectHandsBackThePreviousBitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    Canvas reference(4, 4);
    HBITMAP first = CreateCompatibleBitmap(reference.dc, 8, 8);
    HBITMAP second = CreateCompatibleBitmap(reference.dc, 8, 8);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    HGDIOBJ stock = SelectObject(dc, first);
    EXPECT_NE(stock, nullptr);  // the DC's own 1 x 1 bitmap
    EXPECT_EQ(SelectObject(dc, second), static_cast<HGDIOBJ>(first));
    EXPECT_EQ(SelectObject(dc, stock), static_cast<HGDIOBJ>(second));
    EXPECT_TRUE(DeleteObject(first));
    EXPECT_TRUE(DeleteObject(second));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(MemoryDc, ABitmapSitsInOneDcAtATime) {
    Canvas owner(4, 4);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, owner.bitmap), nullptr);
    // Once the first DC lets go, the bitmap can move.
    HGDIOBJ mine = SelectObject(owner.dc, owner.previous);
    EXPECT_EQ(mine, static_cast<HGDIOBJ>(owner.bitmap));
    HGDIOBJ stock = SelectObject(other, owner.bitmap);
    EXPECT_NE(stock, nullptr);
    SelectObject(other, stock);
    SelectObject(owner.dc, owner.bitmap);
    DeleteDC(other);
}

TEST(MemoryDc, CompatibleBitmapOfA32BitDcIs32Bit) {
    Canvas reference(2, 2);
    HBITMAP bitmap = CreateCompatibleBitmap(reference.dc, 820, 500);
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 820);
    EXPECT_EQ(info.bmHeight, 500);
    EXPECT_EQ(info.bmBitsPixel, 32);
    DeleteObject(bitmap);
}

TEST(MemoryDc, ZeroSizedCompatibleBitmapIsOneByOne) {
    Canvas reference(2, 2);
    for (auto [w, h] : {std::pair{0, 500}, std::pair{820, 0}, std::pair{0, 0}}) {
        HBITMAP bitmap = CreateCompatibleBitmap(reference.dc, w, h);
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, 1);
        EXPECT_EQ(info.bmHeight, 1);
        DeleteObject(bitmap);
    }
}

TEST(FillRect, RightAndBottomEdgesAreExclusive) {
    Canvas canvas(10, 10);
    canvas.Fill(RGB(255, 255, 255), RECT{0, 0, 10, 10});
    canvas.Fill(RGB(245, 237, 203), RECT{2, 3, 5, 7});
    EXPECT_EQ(canvas.At(2, 3), 0xF5EDCBu);
    EXPECT_EQ(canvas.At(4, 6), 0xF5EDCBu);
    EXPECT_EQ(canvas.At(5, 3), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(2, 7), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(1, 3), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(2, 2), 0xFFFFFFu);
}

TEST(FillRect, ClipsToTheBitmapAndIgnoresEmptyRectangles) {
    Canvas canvas(6, 4);
    canvas.Fill(RGB(0, 0, 0), RECT{0, 0, 6, 4});
    canvas.Fill(RGB(10, 20, 30), RECT{-100, -100, 100, 100});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(canvas.At(x, y), 0x0A141Eu) << x << "," << y;
    canvas.Fill(RGB(255, 0, 0), RECT{4, 2, 4, 3});  // zero width
    canvas.Fill(RGB(255, 0, 0), RECT{1, 2, 3, 2});  // zero height
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(canvas.At(x, y), 0x0A141Eu) << x << "," << y;
}

TEST(FillRect, AnInvertedRectangleFillsItsMirrorAsGdiDoes) {
    // GDI fills (right, bottom)..(left, top) with the far edges then inclusive: x 3..4, y 2..3.
    Canvas canvas(6, 5);
    canvas.Fill(RGB(0, 0, 0), RECT{0, 0, 6, 5});
    canvas.Fill(RGB(255, 0, 0), RECT{4, 3, 2, 1});
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            bool inside = x >= 3 && x <= 4 && y >= 2 && y <= 3;
            EXPECT_EQ(canvas.At(x, y), inside ? 0xFF0000u : 0u) << x << "," << y;
        }
}

TEST(FillRect, TakesASystemColourIndexPlusOneAsBrush) {
    Canvas canvas(3, 3);
    canvas.Fill(RGB(1, 2, 3), RECT{0, 0, 3, 3});
    RECT all{0, 0, 3, 3};
    EXPECT_NE(FillRect(canvas.dc, &all, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)), 0);
    EXPECT_EQ(canvas.At(1, 1), 0xFFFFFFu);
}

TEST(BitBlt, CopiesARectangleAndClipsAtTheDestination) {
    Canvas source(8, 8), dest(8, 8);
    source.Fill(RGB(0, 0, 255), RECT{0, 0, 8, 8});
    source.Fill(RGB(255, 0, 0), RECT{2, 2, 4, 4});
    dest.Fill(RGB(0, 255, 0), RECT{0, 0, 8, 8});
    ASSERT_TRUE(BitBlt(dest.dc, 5, 6, 4, 4, source.dc, 1, 1, SRCCOPY));
    EXPECT_EQ(dest.At(4, 6), 0x00FF00u);  // left of the copy
    EXPECT_EQ(dest.At(5, 6), 0x0000FFu);  // source (1, 1)
    EXPECT_EQ(dest.At(6, 7), 0xFF0000u);  // source (2, 2)
    EXPECT_EQ(dest.At(7, 7), 0xFF0000u);  // source (3, 2)
    EXPECT_EQ(dest.At(5, 5), 0x00FF00u);  // above the copy
}

TEST(BitBlt, WholeFrameCopyIsExact) {
    Canvas source(31, 17), dest(31, 17);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 31; ++x) source.bits[y * 31 + x] = (x * 8) << 16 | (y * 15) << 8 | 77;
    ASSERT_TRUE(BitBlt(dest.dc, 0, 0, 31, 17, source.dc, 0, 0, SRCCOPY));
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 31; ++x) ASSERT_EQ(dest.At(x, y), source.At(x, y)) << x << "," << y;
}

TEST(GetPixel, ReadsColoursAndRefusesPointsOutside) {
    Canvas canvas(4, 4);
    canvas.Fill(RGB(12, 34, 56), RECT{0, 0, 4, 4});
    EXPECT_EQ(GetPixel(canvas.dc, 3, 3), RGB(12, 34, 56));
    EXPECT_EQ(GetPixel(canvas.dc, 4, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(canvas.dc, 0, -1), CLR_INVALID);
}

TEST(DeleteObject, BrushesAndUnselectedBitmapsGo) {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_NE(brush, nullptr);
    EXPECT_TRUE(DeleteObject(brush));
    Canvas reference(2, 2);
    HBITMAP bitmap = CreateCompatibleBitmap(reference.dc, 5, 5);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(nullptr));
}

}  // namespace
