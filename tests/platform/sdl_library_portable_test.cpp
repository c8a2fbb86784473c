#include "platform/display/sdl_library.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SdlLibrary, LoadsEveryCallOrSaysWhatIsMissing) {
    struct Case {
        const char* library;
        bool loads;
        const char* failureNames;  // part of the reason given
    } cases[] = {
        {sdl_library::kLibraryName, true, ""},
        {"libhanoi-no-such-library.so.9", false, "libhanoi-no-such-library.so.9"},
        {"libc.so.6", false, "libc.so.6 has no SDL_ConvertPixels"},  // loads, but is not SDL
    };
    for (const Case& c : cases) {
        sdl_library::Calls calls;
        std::string failure;
        EXPECT_EQ(sdl_library::LoadCalls(c.library, &calls, &failure), c.loads) << c.library;
        EXPECT_NE(failure.find(c.failureNames), std::string::npos) << failure;
        if (c.loads) {
            EXPECT_NE(calls.WaitEvent, nullptr);  // the last of the table's calls
            EXPECT_NE(calls.GetError(), nullptr);  // a real SDL call answers
        }
    }
    // The process-wide answer is the same table every time.
    std::string failure;
    const sdl_library::Calls* first = sdl_library::Get(&failure);
    ASSERT_NE(first, nullptr) << failure;
    EXPECT_EQ(sdl_library::Get(nullptr), first);
}

}  // namespace
