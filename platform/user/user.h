// USER32 subset for the portable host: repaint requests here; window classes, windows, the
// message queue, painting, resources and message boxes in the headers included below.
#pragma once

#include "platform/types.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/resources.h"
#include "platform/user/window.h"
#include "platform/user/window_class.h"

#define RDW_INVALIDATE 0x0001
#define RDW_INTERNALPAINT 0x0002
#define RDW_ERASE 0x0004
#define RDW_VALIDATE 0x0008
#define RDW_NOINTERNALPAINT 0x0010
#define RDW_NOERASE 0x0020
#define RDW_NOCHILDREN 0x0040
#define RDW_ALLCHILDREN 0x0080
#define RDW_UPDATENOW 0x0100
#define RDW_ERASENOW 0x0200
#define RDW_FRAME 0x0400
#define RDW_NOFRAME 0x0800

/// True when `window` names a live window of this process.
BOOL IsWindow(HWND window);

/// Marks (part of) a window for repainting; callable from any thread, never waits for the
/// paint. A null window stands for the whole desktop, as on Windows: every window of the
/// process is marked and TRUE is returned. An unknown window fails with
/// ERROR_INVALID_WINDOW_HANDLE.
BOOL RedrawWindow(HWND window, const RECT* area, HRGN region, UINT flags);
/// As RedrawWindow with RDW_INVALIDATE (and RDW_ERASE when `erase` is TRUE).
BOOL InvalidateRect(HWND window, const RECT* area, BOOL erase);

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

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ICONERROR 0x00000010L
#define MB_ICONWARNING 0x00000030L
#define MB_ICONINFORMATION 0x00000040L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define MB_SETFOREGROUND 0x00010000L
#define IDOK 1
#define IDCANCEL 2

/// Shows a message box. For now the caption and text go to standard error as one line
/// "caption: text" (caption "Error" when null, as Windows' default) and the result is IDOK
/// at once, whatever the style; no window appears and nothing waits for the user.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
/// As MessageBoxA, for UTF-16 text and caption (written to standard error as UTF-8).
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style);
