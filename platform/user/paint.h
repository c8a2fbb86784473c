// Painting for the portable host: the paint DC of a window and its update region.
#pragma once

#include "platform/types.h"

typedef struct tagPAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
} PAINTSTRUCT, *LPPAINTSTRUCT;

// Starts painting a window of the calling thread: when the update region asks for
// erasing, sends WM_ERASEBKGND first (fErase is TRUE when the procedure returned 0);
// rcPaint is the bounding rectangle of the update region, which is then emptied; the DC
// draws into the window's client pixels, clipped to rcPaint. Returns null with
// ERROR_INVALID_WINDOW_HANDLE for a dead window, ERROR_INVALID_PARAMETER for a null record,
// ERROR_ACCESS_DENIED for another thread's window.
HDC BeginPaint(HWND window, LPPAINTSTRUCT paint);

// Ends the paint: releases the paint DC and puts the client pixels on the screen. Always
// TRUE, as on Windows; a record that BeginPaint did not fill is ignored.
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

// Empties (part of) the update region; a null rectangle empties it all. FALSE with
// ERROR_INVALID_WINDOW_HANDLE for a dead window.
BOOL ValidateRect(HWND window, const RECT* area);
