// The icon groups as the running executable holds them. On Windows: the resource section that
// windres built from hanoi.rc (group directories with image ids, language 1033), and the real
// LoadImageA choosing each disk size. On the portable host: the embedded .ico files, whose
// entries take the ids windres gives them (1..17 in file order).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win32.h"
#include "tests/resources/expected_icons.h"

#ifndef _WIN32
#include "platform/user/icon_file.h"
#include "resources/embedded_icons.h"
#endif

namespace {

struct ListedImage {
    int id, width, height, bitCount;
    uint32_t bytes;
};

#ifdef _WIN32
uint32_t Word(const uint8_t* p) {
    return p[0] | p[1] << 8;
}
uint32_t Dword(const uint8_t* p) {
    return Word(p) | Word(p + 2) << 16;
}

// RT_GROUP_ICON: 6-byte header, then 14-byte entries ending in the image's resource id.
std::vector<ListedImage> ListGroup(int group) {
    std::vector<ListedImage> listed;
    HRSRC info = FindResourceExA(nullptr, MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(group),
                                 MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (!info) return listed;
    auto* dir = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, info)));
    DWORD size = SizeofResource(nullptr, info);
    if (!dir || size < 6 || Word(dir + 2) != 1 || size < 6 + 14 * Word(dir + 4)) return listed;
    for (uint32_t i = 0; i < Word(dir + 4); ++i) {
        const uint8_t* e = dir + 6 + 14 * i;
        ListedImage image{static_cast<int>(Word(e + 12)), e[0] ? e[0] : 256, e[1] ? e[1] : 256,
                          static_cast<int>(Word(e + 6)), Dword(e + 8)};
        HRSRC icon = FindResourceExA(nullptr, MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(image.id),
                                     MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        EXPECT_NE(icon, nullptr) << "icon image " << image.id;
        if (icon) {
            EXPECT_EQ(SizeofResource(nullptr, icon), image.bytes) << "icon image " << image.id;
        }
        listed.push_back(image);
    }
    return listed;
}
#else
std::vector<ListedImage> ListGroup(int group) {
    std::vector<ListedImage> listed;
    size_t size = 0;
    const unsigned char* data = EmbeddedIconGroup(group, &size);
    std::vector<IconFileEntry> entries;
    if (!data || !ParseIconFile(data, size, &entries)) return listed;
    int firstId = group == 1 ? 1 : group == 2 ? 10 : 11;
    for (size_t i = 0; i < entries.size(); ++i) {
        listed.push_back({firstId + static_cast<int>(i), entries[i].width, entries[i].height,
                          entries[i].bitCount, entries[i].size});
    }
    return listed;
}
#endif

}  // namespace

TEST(IconResources, GroupsListTheirImagesLargestFirst) {
    for (int group = 1; group <= 3; ++group) {
        std::vector<expected_icons::Image> want;
        for (const auto& image : expected_icons::kImages) {
            if (image.group == group) want.push_back(image);
        }
        std::vector<ListedImage> listed = ListGroup(group);
        ASSERT_EQ(listed.size(), want.size()) << "group " << group;
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(listed[i].id, want[i].id) << "group " << group << " entry " << i;
            EXPECT_EQ(listed[i].width, want[i].size) << "image " << want[i].id;
            EXPECT_EQ(listed[i].height, want[i].size) << "image " << want[i].id;
            EXPECT_EQ(listed[i].bitCount, 32) << "image " << want[i].id;
            if (!want[i].png) {
                EXPECT_EQ(listed[i].bytes, want[i].bitmapBytes) << "image " << want[i].id;
            }
        }
    }
}

#ifdef _WIN32
// Only the real platform's loader here; the portable LoadImageA is tested with the window code.
TEST(IconResources, WindowsLoadsTheIconsAndEachDiskAtItsExactSize) {
    HMODULE module = GetModuleHandleA(nullptr);
    EXPECT_NE(LoadIconA(module, MAKEINTRESOURCEA(1)), nullptr);
    auto peg = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(2), IMAGE_ICON, 256, 256, 0));
    ASSERT_NE(peg, nullptr);
    DestroyIcon(peg);
    for (int disk = 1; disk <= 7; ++disk) {
        int size = 133 + 20 * (disk - 1);
        auto icon =
            static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(3), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap{};
        ASSERT_TRUE(GetObjectA(info.hbmColor, sizeof bitmap, &bitmap));
        EXPECT_EQ(bitmap.bmWidth, size);
        EXPECT_EQ(bitmap.bmHeight, size);
        EXPECT_EQ(bitmap.bmBitsPixel, 32);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}
#endif
