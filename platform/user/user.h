// USER32 subset for the portable host: repaint requests here; window classes, windows, the
// message queue, painting, resources and message boxes in the headers included below.
#pragma once

#include "platform/types.h"
#include "platform/user/message.h"
#include "platform/user/message_box.h"
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

// True when `window` names a live window of this process.
BOOL IsWindow(HWND window);

// Marks (part of) a window for repainting; callable from any thread, never waits for the
// paint. A null window stands for the whole desktop, as on Windows: every window of the
// process is marked and TRUE is returned. An unknown window fails with
// ERROR_INVALID_WINDOW_HANDLE.
BOOL RedrawWindow(HWND window, const RECT* area, HRGN region, UINT flags);
// As RedrawWindow with RDW_INVALIDATE (and RDW_ERASE when `erase` is TRUE).
BOOL InvalidateRect(HWND window, const RECT* area, BOOL erase);
