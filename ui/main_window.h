// The main window: its class "HanoisClass" (registered once per process), the window of
// 820 x 500 titled "Towers of Hanoi", its procedure and the UI thread's message loop.
#pragma once

#include "platform/win32.h"

constexpr char kHanoisClassName[] = "HanoisClass";
constexpr char kHanoisTitle[] = "Towers of Hanoi";
constexpr int kHanoisWidth = 820;  // outer size, frame included
constexpr int kHanoisHeight = 500;
constexpr DWORD kHanoisStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;  // 0x02CF0000

// Set once the class is registered; never cleared.
extern BOOL ClassRegistered;

// Registers the class once per process. On failure shows "RegisterClass for hanois failed"
// (caption "Quarkstone", MB_TASKMODAL | MB_SETFOREGROUND) and ends the process with exit
// code 0 through RuntimeExit; it does not return then.
void RegisterHanoisClass();

// Registers the class, then creates the (hidden) main window; returns its handle unchanged.
HWND CreateHanoisWindow();

// The main window could not be created (on the portable host: no display, or no memory).
// Says so in one message ("No display is available: the window cannot be opened", or "Not
// enough memory: ..." when the creation failed for memory; on standard error when no box can
// be shown) and ends the process with exit code 255, without starting the solver.
[[noreturn]] void EndWithoutWindow();

// WM_ERASEBKGND: 0, nothing erased; WM_PAINT: PaintScene, 0; WM_DESTROY: PostQuitMessage(0),
// 0; everything else: DefWindowProcA.
LRESULT CALLBACK HanoisWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Fetches and dispatches the thread's messages (no window filter) until the quit message;
// returns 0. `window` is not used.
LONG RunMessageLoop(HWND window);
