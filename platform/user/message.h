// The message queue of the portable host: one queue per thread, fed by posted messages,
// the quit flag, the windows' update regions (WM_PAINT) and the display's events (close
// requests, exposure, size changes, keyboard and mouse), and the default window procedure.
#pragma once

#include "platform/types.h"

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *LPMSG;

#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SHOWWINDOW 0x0018
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCHAR 0x0106
#define WM_SYSCOMMAND 0x0112
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_USER 0x0400

#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2

#define SC_CLOSE 0xF060

#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_MBUTTON 0x0010

#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_DELETE 0x2E
#define VK_F1 0x70
#define VK_F4 0x73
#define VK_F12 0x7B

// Takes the next message of the calling thread's queue, waiting (without polling) when
// there is none. Order: posted messages and display input, then the quit message (returns
// 0, wParam the exit code), then WM_PAINT for a window of this thread whose update region
// is not empty (left in place until BeginPaint or the default procedure validates it).
// Repaint requests and posted messages from other threads wake the wait. Returns -1 with
// ERROR_NOT_SUPPORTED for a window filter or a message range (not supported here) and with
// ERROR_INVALID_PARAMETER for a null record.
BOOL GetMessageA(LPMSG message, HWND window, UINT first, UINT last);

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

// As GetMessageA without waiting: FALSE when nothing is there. With PM_NOREMOVE the message
// stays (the quit message too). Only PM_REMOVE / PM_NOREMOVE and no filter: others FALSE
// with ERROR_NOT_SUPPORTED.
BOOL PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT flags);

// Appends a message to the queue of the thread that owns `window` (the calling thread's
// for null) and wakes it; callable from any thread. FALSE with ERROR_INVALID_WINDOW_HANDLE
// for a dead window.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sets the calling thread's quit flag: GetMessageA returns 0 once the posted messages
// before it have been taken.
void PostQuitMessage(int exitCode);

// Adds WM_CHAR / WM_SYSCHAR after a key-down message of a key that makes a character
// (letters, digits, space, Enter, Escape, Backspace, Tab). Returns nonzero when it added
// one, as Windows does.
BOOL TranslateMessage(const MSG* message);

// Hands the message to its window's procedure and returns the result. A message for no
// window or a dead one returns 0 without a call.
LRESULT DispatchMessageA(const MSG* message);

// Default processing: WM_NCCREATE gives TRUE; WM_CLOSE destroys the window; WM_SYSCOMMAND
// with SC_CLOSE and Alt+F4 (WM_SYSKEYDOWN with VK_F4) send WM_CLOSE; WM_ERASEBKGND fills
// the paint area with the class brush and returns 1 (0 when the class has none); WM_PAINT
// validates the window through BeginPaint/EndPaint; everything else gives 0.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
