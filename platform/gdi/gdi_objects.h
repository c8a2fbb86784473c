// Private state of the GDI handles on the portable host: one struct per handle kind, the
// table of live handles, and the paint DCs that BeginPaint hands out for a window's client
// pixels. Only platform/ includes this header.
#pragma once

#include "platform/gdi/pixel_memory.h"
#include "platform/win32.h"

#include <cstdint>
#include <vector>

namespace gdi_objects {

// Pixels of a bitmap or of a window's client area: 0xAARRGGBB words (B, G, R, A in memory,
// the layout of a 32-bit DIB), rows top-down, no padding.
struct PixelSurface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t, pixel_memory::Allocator<uint32_t>> pixels;
    uint32_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
};

enum class Kind { kBitmap, kBrush, kDeviceContext };

struct ObjectHeader {
    explicit ObjectHeader(Kind k) : kind(k) {}
    Kind kind;
    bool stock = false;  // never deleted
};

struct BitmapState : ObjectHeader {
    BitmapState() : ObjectHeader(Kind::kBitmap) {}
    PixelSurface surface;
    bool section = false;        // a DIB section: the caller holds a pointer to the pixels
    HDC selectedInto = nullptr;  // the one memory DC holding it, if any
};

struct BrushState : ObjectHeader {
    BrushState() : ObjectHeader(Kind::kBrush) {}
    COLORREF color = 0;
    int selectionCount = 0;  // DCs holding it; a brush may sit in several at once
};

struct DeviceContextState : ObjectHeader {
    DeviceContextState() : ObjectHeader(Kind::kDeviceContext) {}
    bool paintDc = false;                  // a window's DC from BeginPaint
    PixelSurface* windowPixels = nullptr;  // paint DC: the window's client pixels
    BitmapState* bitmap = nullptr;         // memory DC: the selected bitmap (stock 1 x 1 at first)
    BrushState* brush = nullptr;           // the selected brush (stock white at first)
    RECT clip{0, 0, 0, 0};                 // paint DC: the area being painted
    bool hasClip = false;
};

// The pixels a DC draws into (never null for a live DC).
PixelSurface* TargetOf(DeviceContextState* dc);

// The rectangle of the target that drawing may touch: the surface, cut by the clip.
RECT DrawableArea(DeviceContextState* dc);

// Handle lookups: the state, or null with ERROR_INVALID_HANDLE for anything not live and
// of that kind.
DeviceContextState* FindDc(HDC dc);
BitmapState* FindBitmap(HGDIOBJ object);
BrushState* FindBrush(HGDIOBJ object);
Kind* FindAny(HGDIOBJ object);

// The number of live bitmaps, brushes and DCs (stock objects included), for leak checks.
size_t LiveObjectCount();

// Adds a new object to the live table and returns its handle value.
void* Register(ObjectHeader* object);
// Removes an object from the live table and frees it.
void Destroy(ObjectHeader* object);

// The stock objects a new DC starts with.
BitmapState* StockBitmap();
BrushState* StockWhiteBrush();

// A DC drawing into a window's client pixels, limited to `clip`; BeginPaint makes it and
// EndPaint ends it with DeletePaintDc. The pixels must outlive the DC.
HDC CreatePaintDc(PixelSurface* windowPixels, const RECT& clip);
void DeletePaintDc(HDC dc);

// The colour of a brush handle, which may also be a system colour index + 1 (as class
// brushes are). False with ERROR_INVALID_HANDLE for anything else.
bool BrushColor(HBRUSH brush, COLORREF* color);

// Packs a COLORREF (0x00BBGGRR) into a pixel word (0x00RRGGBB, alpha 0 as GDI leaves it).
inline uint32_t PixelOf(COLORREF color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
inline COLORREF ColorOf(uint32_t pixel) {
    return ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16);
}

// Intersection of two rectangles (empty when they do not meet: right <= left or bottom <= top).
RECT Intersect(const RECT& a, const RECT& b);
inline bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

}  // namespace gdi_objects
