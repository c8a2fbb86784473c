// A Windows program that crashes on purpose, with the program's own crash report installed:
// the whole-program runs check that it ends at once with the report (exception, module and
// offset, thread name, backtrace). "--second-thread": the crash comes on a thread the probe
// names "solver thread" while the first thread waits for it. "--while-exiting": the first
// thread ends the process (ExitProcess) one second after that crash began, which is before
// Wine's debugger can attach: only the program's own report shows the crash then.
// "--no-report" leaves the report out, to show what Wine alone prints.
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

HANDLE crashBegan;
LONG WINAPI NoteCrash(EXCEPTION_POINTERS*) {
    SetEvent(crashBegan);
    return EXCEPTION_CONTINUE_SEARCH;
}

DWORD WINAPI SecondThread(LPVOID) {
    NameCrashThread("solver thread");
    WriteThroughNull(3);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    bool secondThread = false, whileExiting = false, report = true;
    for (int i = 1; i < argc; ++i) {
        secondThread |= std::strcmp(argv[i], "--second-thread") == 0;
        whileExiting |= std::strcmp(argv[i], "--while-exiting") == 0;
        report &= std::strcmp(argv[i], "--no-report") != 0;
    }
    if (report) InstallCrashReport();
    NameCrashThread("main thread");
    std::puts("writing through a null pointer");
    std::fflush(stdout);
    if (whileExiting) {
        crashBegan = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        AddVectoredExceptionHandler(1, NoteCrash);
        CloseHandle(CreateThread(nullptr, 0, SecondThread, nullptr, 0, nullptr));
        WaitForSingleObject(crashBegan, INFINITE);
        Sleep(1000);
        ExitProcess(0);
    }
    if (secondThread) {
        HANDLE thread = CreateThread(nullptr, 0, SecondThread, nullptr, 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
        return 0;
    }
    WriteThroughNull(3);
    return 0;
}
