// A Windows program that crashes on purpose, with the program's own crash report installed:
// the whole-program runs check that it ends at once with the report (exception, module and
// offset, thread name, backtrace). "--second-thread": the crash comes on a thread the probe
// names "solver thread" while the first thread waits for it.
#include "platform/win32.h"
#include "runtime/crash_filter.h"
#include "runtime/crash_report.h"

#include <cstdio>
#include <cstring>

namespace {
// Out of line and not a tail call, so that each level leaves a frame for the backtrace.
__attribute__((noinline)) void WriteThroughNull(int depth) {
    if (depth > 0) {
        WriteThroughNull(depth - 1);
        asm volatile("");
        return;
    }
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

DWORD WINAPI SecondThread(LPVOID) {
    NameCrashThread("solver thread");
    WriteThroughNull(3);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    InstallCrashReport();
    NameCrashThread("main thread");
    std::puts("writing through a null pointer");
    std::fflush(stdout);
    if (argc > 1 && std::strcmp(argv[1], "--second-thread") == 0) {
        HANDLE thread = CreateThread(nullptr, 0, SecondThread, nullptr, 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
        return 0;
    }
    WriteThroughNull(3);
    return 0;
}
