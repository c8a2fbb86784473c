// GDI32 subset for the portable host: device contexts, 32-bit bitmaps, solid brushes, icon
// drawing and block transfers, as the scene painting and its tests need them. Every bitmap
// here is 32 bits per pixel (B, G, R, A in memory, rows top-down); there are no palettes,
// pens, fonts, regions or mapping modes.
#pragma once

#include "platform/types.h"

typedef struct tagBITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
} BITMAP;

typedef struct tagBITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER;

typedef struct tagRGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
} RGBQUAD;

typedef struct tagBITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
} BITMAPINFO;

#define BI_RGB 0L
#define DIB_RGB_COLORS 0
#define SRCCOPY 0x00CC0020
#define CLR_INVALID 0xFFFFFFFF

#define DI_MASK 0x0001
#define DI_IMAGE 0x0002
#define DI_NORMAL 0x0003
#define DI_COMPAT 0x0004
#define DI_DEFAULTSIZE 0x0008

// A memory device context. `reference` may be null (the screen) or any live DC; the new DC
// holds a 1 x 1 stock bitmap until another is selected. Returns null with
// ERROR_INVALID_HANDLE for a reference that is not a live DC.
HDC CreateCompatibleDC(HDC reference);

// Deletes a memory DC; its selected bitmap becomes free to select elsewhere. Returns FALSE
// with ERROR_INVALID_HANDLE for anything else, including a window's paint DC (EndPaint ends
// that one).
BOOL DeleteDC(HDC dc);

// A 32-bit bitmap of width x height, every pixel 0. Unlike Windows the format never follows
// the DC (Windows makes a monochrome bitmap for a DC that holds its stock bitmap); a zero
// width or height gives a 1 x 1 bitmap, as on Windows. Returns null with
// ERROR_INVALID_HANDLE for a dead DC, ERROR_INVALID_PARAMETER for a negative size and
// ERROR_NOT_ENOUGH_MEMORY when the pixels cannot be had.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);

// A bitmap whose pixels the caller reads and writes through `*bits`. Only 32-bit BI_RGB
// top-down sections (negative biHeight) exist here; anything else fails with
// ERROR_NOT_SUPPORTED, a null `info`/`bits` or zero size with ERROR_INVALID_PARAMETER.
// `section` must be null (no file mappings).
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);

// A solid brush of `color` (the low 24 bits; palette-index forms are not supported and are
// read as plain RGB). Returns null with ERROR_NOT_ENOUGH_MEMORY when out of memory.
HBRUSH CreateSolidBrush(COLORREF color);

// Selects a bitmap into a memory DC, or a brush into any DC, and returns the object it
// replaces. Fails with null and ERROR_INVALID_HANDLE for a dead DC or object, and with null
// (last error untouched, as on Windows) for a bitmap already selected into another DC or a
// bitmap offered to a window's paint DC.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);

// Deletes a bitmap or brush. Stock objects are left alone and report TRUE, as on Windows.
// An object still selected into a DC is not deleted: FALSE (Wine defers such a delete
// instead). Unknown handles: FALSE with ERROR_INVALID_HANDLE.
BOOL DeleteObject(HGDIOBJ object);

// Describes a bitmap (type 0, width, height, bytes per row, 1 plane, 32 bits, and the pixel
// pointer for a DIB section, else null). Only bitmaps and `size` >= sizeof(BITMAP);
// returns the bytes written or 0 (ERROR_INVALID_HANDLE / ERROR_INVALID_PARAMETER).
int GetObjectA(HGDIOBJ object, int size, LPVOID buffer);

// Fills `rect` (right and bottom exclusive) with the brush, clipped to the DC's bitmap and
// clip rectangle. An inverted rectangle fills its mirror image with the far edges inclusive
// (right + 1 .. left + 1), as GDI does. `brush` may also be a system colour index + 1 (1..31), as
// on Windows. Returns nonzero on success, also for an empty rectangle; 0 with ERROR_INVALID_HANDLE
// for a dead DC or brush, ERROR_INVALID_PARAMETER for a null rectangle.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);

// Copies width x height pixels from `source` at (sourceX, sourceY) to `dest` at (x, y),
// clipped to both bitmaps and to the destination's clip rectangle; overlapping copies
// within one bitmap are safe. Only SRCCOPY is supported (others: FALSE,
// ERROR_NOT_SUPPORTED); negative sizes (mirroring) fail with ERROR_INVALID_PARAMETER.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
            DWORD rop);

// The colour of one pixel, or CLR_INVALID outside the bitmap or clip rectangle and for a
// dead DC.
COLORREF GetPixel(HDC dc, int x, int y);

// Draws an icon with its top-left corner at (left, top), DI_NORMAL, as Windows does for
// 32-bit icons with alpha: each pixel blended over the target by its straight alpha, pixels
// of alpha 0 leave the target unchanged; clipped to the DC. A width or height of 0 takes
// the icon's own size (with or without DI_DEFAULTSIZE). Unlike Windows nothing is scaled:
// any other size, a flicker-free brush, DI_IMAGE or DI_MASK alone and DI_COMPAT fail with
// ERROR_NOT_SUPPORTED. `step` is ignored (no animated cursors). A dead DC or icon: FALSE
// with ERROR_INVALID_HANDLE.
BOOL DrawIconEx(HDC dc, int left, int top, HICON icon, int width, int height, UINT step,
                HBRUSH flickerFreeBrush, UINT flags);
