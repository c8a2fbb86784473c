// Window classes for the portable host: the class record, RegisterClassA and the stock
// cursor and icon identifiers that a class record names.
#pragma once

#include "platform/types.h"

typedef WORD ATOM;
typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagWNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
} WNDCLASSA;

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_OWNDC 0x0020
#define CS_CLASSDC 0x0040
#define CS_PARENTDC 0x0080
#define CS_NOCLOSE 0x0200
#define CS_SAVEBITS 0x0800
#define CS_GLOBALCLASS 0x4000

#define COLOR_WINDOW 5
#define COLOR_BTNFACE 15

#define MAKEINTATOM(atom) ((LPCSTR)((ULONG_PTR)((WORD)(atom))))

#define ERROR_CANNOT_FIND_WND_CLASS 1407L

// Registers a window class for this process and returns its atom (0xC000 and up). Class
// names compare without regard to ASCII case, as on Windows. Fails with 0 and
// ERROR_CLASS_ALREADY_EXISTS for a name already registered, ERROR_INVALID_PARAMETER for a
// null record, procedure or name, an empty name or extra bytes (which this host does not
// keep: cbClsExtra and cbWndExtra must be 0), and ERROR_NOT_SUPPORTED for a menu name. The
// class styles other than CS_HREDRAW and CS_VREDRAW are kept and have no effect.
ATOM RegisterClassA(const WNDCLASSA* record);
