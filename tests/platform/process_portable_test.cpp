// Portable only: the process end and the stand-in message box are this layer's own; on
// Windows ExitProcess is the system's and a message box is a real modal window.
#include "platform/trace.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include <unistd.h>

namespace {
// A static object whose destructor would show if ExitProcess ran static destructors; armed
// only inside the child process of the death test.
bool armed = false;
struct Announcer {
    ~Announcer() {
        if (armed) std::fprintf(stderr, "static destructor ran\n");
    }
} announcer;
}  // namespace

TEST(ExitProcessDeathTest, EndsRunningThreadsWithTheCodeAndFlushesBufferedOutput) {
    EXPECT_EXIT(
        {
            armed = true;
            std::thread([] {
                while (true) Sleep(1);
            }).detach();
            // A stream of its own on standard error, fully buffered: only a flush shows it.
            FILE* stream = fdopen(dup(2), "w");
            std::setvbuf(stream, nullptr, _IOFBF, 1024);
            std::fputs("flushed\n", stream);
            ExitProcess(3);
        },
        ::testing::ExitedWithCode(3), "^flushed\n$");  // and no static destructor ran
}

TEST(PortableMessageBox, RecordsCaptionAndTextAndAnswersOk) {
    platform_trace::Clear();
    platform_trace::Enable(true);
    EXPECT_EQ(MessageBoxW(nullptr, WSTR("h\u00e4noi"), WSTR("Quarkstone"), 0x12000), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, 0), IDOK);
    platform_trace::Enable(false);
    auto events = platform_trace::Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].detail, "Quarkstone|h\xC3\xA4noi|style=73728");
    EXPECT_EQ(events[1].detail, "Error||style=0");
}
