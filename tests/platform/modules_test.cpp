// Loading libraries and finding their exports; module file names. Runs on both hosts with
// the test library that sits beside the test program.
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(Modules, LibraryIsLoadedFoundByNameAndFreed) {
    HMODULE library = LoadLibraryA(HANOI_TEST_LIBRARY);
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(GetModuleHandleA(HANOI_TEST_LIBRARY), library);
    EXPECT_EQ(LoadLibraryA(HANOI_TEST_LIBRARY), library);  // counted twice now
    EXPECT_NE(GetProcAddress(library, "DllGetClassObject"), nullptr);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(library, "NoSuchExport"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(library, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(std::strlen(path), length);
    const std::string full(path);
    EXPECT_EQ(full.substr(full.size() - std::strlen(HANOI_TEST_LIBRARY)), HANOI_TEST_LIBRARY);

    EXPECT_TRUE(FreeLibrary(library));
    EXPECT_EQ(GetModuleHandleA(HANOI_TEST_LIBRARY), library);  // one load left
    EXPECT_TRUE(FreeLibrary(library));
}

TEST(Modules, MissingLibrariesAndShortBuffersFailAsPublished) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("no_such_library_anywhere_x"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleA("no_such_library_anywhere_x"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 4u);
    char shortBuffer[5] = {'x', 'x', 'x', 'x', 'x'};
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(nullptr, shortBuffer, sizeof shortBuffer), sizeof shortBuffer);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(shortBuffer, 4), std::string(path, 4));
    // The last character is the terminator (Vista and later, and the portable layer) or the
    // fifth character of the path (XP, and Wine): either way the buffer is not overrun.
    EXPECT_TRUE(shortBuffer[4] == '\0' || shortBuffer[4] == path[4]);
}
