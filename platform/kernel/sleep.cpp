// Sleep for the portable host, with the test trace's instant mode.
#include "platform/trace.h"
#include "platform/win32.h"

#include <chrono>
#include <thread>

void Sleep(DWORD milliseconds) {
    platform_trace::Record("Sleep", std::to_string(milliseconds));
    if (platform_trace::InstantSleep()) return;
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
