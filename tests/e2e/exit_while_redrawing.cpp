// The smallest program that ends as the Towers program does: a second thread keeps asking
// for a repaint of the window (RedrawWindow, then a pause), the first thread runs the message
// loop, destroys the window when the time is up, leaves COM and calls ExitProcess while the
// second thread still runs. Run many times under Wine it shows whether ExitProcess can hang
// when the other thread is ended inside the window system.
//   exit_while_redrawing MILLISECONDS [PAUSE_MS] [--stop-first | --no-thread]
// MILLISECONDS: how long the window stays; PAUSE_MS: the second thread's pause (0: none);
// --stop-first: the first thread stops the second at a point outside the window system before
// ExitProcess, as the program does; --no-thread: no second thread at all. Each step of the
// way out is printed to standard error, so a run that hangs shows where.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
HWND window;
DWORD pauseMs;
volatile LONG stopAsked;
HANDLE stopped;

void Step(const char* what) {
    std::fprintf(stderr, "exit_while_redrawing: %s\n", what);
    std::fflush(stderr);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

DWORD WINAPI Redrawer(LPVOID) {
    while (!stopAsked) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        if (pauseMs) Sleep(pauseMs);
    }
    SetEvent(stopped);
    Sleep(INFINITE);  // parked outside the window system until the process ends
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const UINT lifeMs = static_cast<UINT>(std::atoi(argv[1]));
    pauseMs = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 0;
    const bool stopFirst = argc > 3 && std::strcmp(argv[3], "--stop-first") == 0;
    const bool noThread = argc > 3 && std::strcmp(argv[3], "--no-thread") == 0;
    CoInitialize(nullptr);
    WNDCLASSA record{};
    record.lpfnWndProc = WindowProc;
    record.hInstance = GetModuleHandleA(nullptr);
    record.lpszClassName = "ExitWhileRedrawing";
    record.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassA(&record);
    window = CreateWindowExA(0, "ExitWhileRedrawing", "Exit while redrawing", WS_OVERLAPPEDWINDOW,
                             CW_USEDEFAULT, CW_USEDEFAULT, 820, 500, nullptr, nullptr,
                             record.hInstance, nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    stopped = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!noThread) CloseHandle(CreateThread(nullptr, 0, Redrawer, nullptr, 0, nullptr));
    SetTimer(window, 1, lifeMs, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    Step("message loop ended");
    if (stopFirst) {
        InterlockedExchange(&stopAsked, 1);
        WaitForSingleObject(stopped, 5000);
        Step("second thread stopped");
    }
    CoUninitialize();
    Step("COM left, ending the process");
    ExitProcess(0);
}
