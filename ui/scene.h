// Scene rendering: the picture of the pegs and disks, composed off-screen and copied to the
// window in one transfer. The layout is fixed in client pixels and never scaled.
#pragma once

#include "platform/win32.h"

constexpr COLORREF kSceneBackground = 0x00CBEDF5;  // red 245, green 237, blue 203
constexpr LONG kPegImageLeft = 10;                 // peg i's image at (10 + 256 i, 100)
constexpr LONG kPegImageTop = 100;
constexpr LONG kPegSpacing = 256;
constexpr LONG kPegImageSize = 256;
constexpr LONG kDiskAnchorDx = 128;  // bottom disk's anchor: peg image corner + (128, 246)
constexpr LONG kDiskAnchorDy = 246;
constexpr LONG kDiskStep = 20;  // from one disk's anchor to the next one up

// Paints the window's scene (WM_PAINT): BeginPaint, the client size, ComposeScene, EndPaint.
void PaintScene(HWND window);

// Draws the whole scene on any target DC of width x height: an off-screen bitmap and
// memory DC, the background fill, the three pegs, one SRCCOPY of the whole area to the
// target, and every object released. The window's paint passes its DC; tests and the
// benchmark pass a memory DC.
void ComposeScene(HDC target, LONG width, LONG height);

// Draws peg `peg`'s image with its top-left corner at (x, y), then its disks bottom first.
void DrawPeg(HDC dc, LONG x, LONG y, LONG peg);

// Half of `n` rounded to the nearest integer, a half going to the even neighbour.
LONG HalfRoundedToEven(LONG n);
