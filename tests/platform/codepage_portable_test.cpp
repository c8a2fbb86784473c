// Portable only: Wine accepts these flags and arguments for UTF-8, where Windows documents
// (and this host gives) ERROR_INVALID_FLAGS or ERROR_INVALID_PARAMETER; and CP_ACP is UTF-8
// only on this host.
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <string>

TEST(CodePagePortable, Utf8TakesOnlyItsOwnFlagsAndNoDefaultCharacter) {
    WCHAR out[4];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "a", 1, out, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
    char bytes[4];
    BOOL used = FALSE;
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, WSTR("a"), 1, bytes, 4, nullptr, &used), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_NO_BEST_FIT_CHARS, WSTR("a"), 1, bytes, 4, nullptr,
                                  nullptr),
              0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
}

TEST(CodePagePortable, TheAnsiCodePageIsUtf8WithAnsiFlags) {
    WCHAR wide[4] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "\xC3\xA9x", 3, wide, 4), 2);
    EXPECT_EQ(wide[0], 0x00E9);
    EXPECT_EQ(wide[1], u'x');
    char bytes[4] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, WSTR("\u20AC"), 1, bytes, 4,
                                  nullptr, nullptr),
              3);
    EXPECT_EQ(std::string(bytes, 3), "\xE2\x82\xAC");
    // Only an unpaired surrogate needs the default character in UTF-8.
    const WCHAR lone[] = {0xDC00, u'y'};
    BOOL used = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, lone, 2, bytes, 4, "#", &used), 2);
    EXPECT_EQ(std::string(bytes, 2), "#y");
    EXPECT_TRUE(used);
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_COMPOSITE, "a", 1, wide, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(437, 0, "a", 1, wide, 4), 0);  // not supported here
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}
