// Top-level windows for the portable host: creation, showing, destruction and geometry.
// Each window is a surface of the display backend (platform/display; an SDL window when the
// program runs) whose client area holds the pixels that painting produces. Child windows
// and menus are not supported.
#pragma once

#include "platform/types.h"

#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)

#define CW_USEDEFAULT ((int)0x80000000)

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10
#define SW_FORCEMINIMIZE 11

// No display could be opened (no X server, no DISPLAY): the code CreateWindowExA reports.
#define ERROR_DEVICE_NOT_AVAILABLE 4319L

typedef struct tagCREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTA;

// Creates a top-level window of a registered class, hidden unless WS_VISIBLE is given.
// `width` x `height` is the outer size, frame included, as on Windows; the client area is
// smaller by the classic Windows frame of a captioned, sizable window (4 pixels left, right
// and bottom, 23 at the top: 820 x 500 gives a client area of 812 x 473, what Windows with
// classic metrics and Wine give). The SDL window has that client size; its frame is the
// window manager's. CW_USEDEFAULT places it where the display chooses (and, for the width,
// sizes it 640 x 480). Before returning it sends WM_NCCREATE, WM_CREATE, WM_SIZE and
// WM_MOVE to the class's procedure; WM_NCCREATE returning FALSE or WM_CREATE returning -1
// destroys the window again and returns null. Returns null with ERROR_CANNOT_FIND_WND_CLASS
// for an unknown class, ERROR_NOT_SUPPORTED for a parent, a menu or WS_CHILD, and
// ERROR_DEVICE_NOT_AVAILABLE when no display can be opened (then nothing is created). The
// extended style is kept and has no effect. On X11 the window's WM_CLASS is the class name.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID parameter);

// Destroys a window of the calling thread: hides it, sends WM_DESTROY and WM_NCDESTROY,
// closes the SDL window and forgets the handle. FALSE with ERROR_INVALID_WINDOW_HANDLE for
// a dead handle, ERROR_ACCESS_DENIED for a window of another thread.
BOOL DestroyWindow(HWND window);

// Shows, hides, minimises, maximises or restores a window; the SW_SHOW... forms that show
// it mark the whole client area for painting. Returns nonzero when the window was visible
// before, 0 when it was hidden or the handle is dead (ERROR_INVALID_WINDOW_HANDLE).
// Activation and focus are the window manager's: the NOACTIVATE forms act like the others.
BOOL ShowWindow(HWND window, int command);

// Paints the window now, on the calling thread, when its update region is not empty: sends
// WM_PAINT straight to its procedure. TRUE on success; FALSE with
// ERROR_INVALID_WINDOW_HANDLE for a dead handle.
BOOL UpdateWindow(HWND window);

// The client rectangle: (0, 0, width, height). FALSE with ERROR_INVALID_WINDOW_HANDLE for a
// dead handle, ERROR_INVALID_PARAMETER for a null rectangle.
BOOL GetClientRect(HWND window, LPRECT rect);

// The outer rectangle in screen coordinates: the position the display reports for the
// client area, widened by the frame that CreateWindowExA took off. FALSE as GetClientRect.
BOOL GetWindowRect(HWND window, LPRECT rect);

// Calls the window's procedure with the message on the calling thread and returns its
// result. Only windows of the calling thread: others give 0 with ERROR_ACCESS_DENIED
// (Windows would hand the message to the owning thread). Dead handle: 0,
// ERROR_INVALID_WINDOW_HANDLE.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
