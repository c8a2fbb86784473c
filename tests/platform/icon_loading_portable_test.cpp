// Portable only: LoadImageA / LoadIconA over the embedded icon groups, looked at through the
// icon's own state (Windows' loader is checked under Wine in tests/resources).
#include "platform/user/icon_state.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <set>

namespace {

HICON LoadGroup(int group, int width, int height, UINT flags = 0) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(group),
                                         IMAGE_ICON, width, height, flags));
}

struct Extent {
    int firstColumn = 1 << 30, lastColumn = -1, firstRow = -1, lastRow = -1;
};

Extent OpaqueExtent(HICON icon) {
    Extent e;
    user_icons::IconState* state = user_icons::Find(icon);
    for (int y = 0; y < state->height; ++y) {
        const uint32_t first = state->rowRuns[y], end = state->rowRuns[y + 1];
        if (first == end) continue;  // no visible pixel in this row
        if (e.firstRow < 0) e.firstRow = y;
        e.lastRow = y;
        const user_icons::PixelRun& last = state->runs[end - 1];
        e.firstColumn = std::min<int>(e.firstColumn, state->runs[first].start);
        e.lastColumn = std::max<int>(e.lastColumn, last.start + last.length - 1);
    }
    return e;
}

TEST(IconLoading, EachDiskSizeGivesItsOwnImageWithItsOpaqueRows) {
    struct Want {
        int size, firstRow, lastRow;
    };
    const Want want[] = {{133, 20, 110}, {153, 23, 127}, {173, 26, 144}, {193, 30, 161},
                         {213, 32, 178}, {233, 35, 194}, {253, 38, 211}};
    std::set<HICON> seen;
    for (const Want& w : want) {
        HICON icon = LoadGroup(3, w.size, w.size);
        ASSERT_NE(icon, nullptr) << w.size;
        EXPECT_TRUE(seen.insert(icon).second);
        user_icons::IconState* state = user_icons::Find(icon);
        EXPECT_EQ(state->width, w.size);
        EXPECT_EQ(state->height, w.size);
        Extent e = OpaqueExtent(icon);
        EXPECT_EQ(e.firstColumn, 4) << w.size;
        EXPECT_EQ(e.lastColumn, w.size - 1) << w.size;
        EXPECT_EQ(e.firstRow, w.firstRow) << w.size;
        EXPECT_EQ(e.lastRow, w.lastRow) << w.size;
    }
    for (HICON icon : seen) EXPECT_TRUE(DestroyIcon(icon));
}

TEST(IconLoading, ThePegIsOneUnscaledImage) {
    HICON peg = LoadGroup(2, 256, 256);
    ASSERT_NE(peg, nullptr);
    Extent e = OpaqueExtent(peg);
    EXPECT_EQ(e.firstColumn, 108);
    EXPECT_EQ(e.lastColumn, 147);
    EXPECT_EQ(e.firstRow, 0);
    EXPECT_EQ(e.lastRow, 255);
    // Soft edges: some pixels are partly transparent.
    user_icons::IconState* state = user_icons::Find(peg);
    int partial = 0;
    for (uint32_t p : state->premultiplied) partial += (p >> 24) > 0 && (p >> 24) < 255;
    EXPECT_GT(partial, 0);
    DestroyIcon(peg);
    SetLastError(0);
    EXPECT_EQ(LoadGroup(2, 128, 128), nullptr);  // the group has no other size
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

TEST(IconLoading, ClassIconIsShared32By32) {
    HMODULE module = GetModuleHandleA(nullptr);
    HICON icon = LoadIconA(module, MAKEINTRESOURCEA(1));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconA(module, MAKEINTRESOURCEA(1)), icon);
    EXPECT_EQ(user_icons::Find(icon)->width, 32);
    EXPECT_TRUE(DestroyIcon(icon));  // shared: stays
    EXPECT_NE(user_icons::Find(icon), nullptr);
    EXPECT_NE(LoadGroup(1, 0, 0), nullptr);  // 0 x 0: the largest, 256
}

TEST(IconLoading, FailuresSayWhy) {
    SetLastError(0);
    EXPECT_EQ(LoadGroup(4, 32, 32), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadGroup(3, 134, 134), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(LoadGroup(3, 133, 133, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(3), IMAGE_BITMAP, 133, 133, 0),
              nullptr);
    EXPECT_EQ(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(32513)), nullptr);
}

}  // namespace
