// Solid brushes and FillRect (a USER32 call on Windows, kept with the brushes here).
#include "platform/gdi/gdi_objects.h"
#include "platform/run_allocations.h"
#include "platform/trace.h"

#include <cstdio>
#include <new>

using namespace gdi_objects;

namespace {

// The system colours that a class brush or FillRect may name as index + 1, with the values
// of the default scheme of current Windows. Indices without an entry here are refused.
bool SystemColor(uintptr_t index, COLORREF* color) {
    switch (index) {
        case 0:
            *color = 0xC8C8C8;
            return true;  // COLOR_SCROLLBAR
        case 1:
            *color = 0x000000;
            return true;  // COLOR_BACKGROUND
        case 4:
            *color = 0xF0F0F0;
            return true;  // COLOR_MENU
        case 5:
            *color = 0xFFFFFF;
            return true;  // COLOR_WINDOW
        case 6:
            *color = 0x646464;
            return true;  // COLOR_WINDOWFRAME
        case 8:
            *color = 0x000000;
            return true;  // COLOR_WINDOWTEXT
        case 12:
            *color = 0xABABAB;
            return true;  // COLOR_APPWORKSPACE
        case 15:
            *color = 0xF0F0F0;
            return true;  // COLOR_BTNFACE
        case 16:
            *color = 0xA0A0A0;
            return true;  // COLOR_BTNSHADOW
        case 18:
            *color = 0x000000;
            return true;  // COLOR_BTNTEXT
        case 20:
            *color = 0xFFFFFF;
            return true;  // COLOR_BTNHIGHLIGHT
        default:
            return false;
    }
}

}  // namespace

bool gdi_objects::BrushColor(HBRUSH brush, COLORREF* color) {
    auto value = reinterpret_cast<uintptr_t>(brush);
    if (value >= 1 && value <= 31) {
        if (SystemColor(value - 1, color)) return true;
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    BrushState* state = FindBrush(brush);
    if (!state) return false;
    *color = state->color;
    return true;
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto* brush = run_allocations::Allow() ? new (std::nothrow) BrushState() : nullptr;
    if (!brush) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    brush->color = color & 0x00FFFFFF;
    auto* handle = static_cast<HBRUSH>(Register(brush));
    if (platform_trace::Recording()) {
        char text[64];
        std::snprintf(text, sizeof text, "color=0x%06x brush=%p",
                      static_cast<unsigned>(brush->color), static_cast<void*>(handle));
        platform_trace::Record("CreateSolidBrush", text);
    }
    return handle;
}

int FillRect(HDC handle, const RECT* rect, HBRUSH brush) {
    DeviceContextState* dc = FindDc(handle);
    if (!dc) return 0;
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    COLORREF color;
    if (!BrushColor(brush, &color)) return 0;
    if (platform_trace::Recording()) {
        char text[96];
        std::snprintf(text, sizeof text, "dc=%p rect=%d,%d,%d,%d color=0x%06x",
                      static_cast<void*>(handle), static_cast<int>(rect->left),
                      static_cast<int>(rect->top), static_cast<int>(rect->right),
                      static_cast<int>(rect->bottom), static_cast<unsigned>(color));
        platform_trace::Record("FillRect", text);
    }
    // An inverted rectangle fills its mirror with the far edges inclusive, as GDI does.
    RECT fill = *rect;
    if (fill.right < fill.left) fill = RECT{fill.right + 1, fill.top, fill.left + 1, fill.bottom};
    if (fill.bottom < fill.top) fill = RECT{fill.left, fill.bottom + 1, fill.right, fill.top + 1};
    RECT area = Intersect(fill, DrawableArea(dc));
    PixelSurface* target = TargetOf(dc);
    const uint32_t pixel = PixelOf(color);
    for (LONG y = area.top; y < area.bottom; ++y) {
        uint32_t* row = target->Row(y);
        for (LONG x = area.left; x < area.right; ++x) row[x] = pixel;
    }
    return 1;
}
