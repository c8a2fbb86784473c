// Memory device contexts and the objects selected into them: CreateCompatibleDC, DeleteDC,
// SelectObject, DeleteObject, GetObjectA.
#include "platform/gdi/gdi_objects.h"
#include "platform/run_allocations.h"
#include "platform/trace.h"

#include <cstdio>
#include <cstring>
#include <new>

using namespace gdi_objects;

namespace {
std::string Hex(const void* handle) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", handle);
    return text;
}
}  // namespace

HDC CreateCompatibleDC(HDC reference) {
    if (reference && !FindDc(reference)) return nullptr;
    auto* dc = run_allocations::Allow() ? new (std::nothrow) DeviceContextState() : nullptr;
    if (!dc) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    dc->bitmap = StockBitmap();
    dc->brush = StockWhiteBrush();
    dc->brush->selectionCount++;
    HDC handle = static_cast<HDC>(Register(dc));
    if (platform_trace::Recording())
        platform_trace::Record("CreateCompatibleDC", "dc=" + Hex(handle));
    return handle;
}

BOOL DeleteDC(HDC handle) {
    DeviceContextState* dc = FindDc(handle);
    if (!dc) return FALSE;
    if (dc->paintDc) {  // EndPaint owns it
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (platform_trace::Recording()) platform_trace::Record("DeleteDC", "dc=" + Hex(handle));
    if (dc->bitmap && !dc->bitmap->stock) dc->bitmap->selectedInto = nullptr;
    dc->brush->selectionCount--;
    Destroy(dc);
    return TRUE;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
    DeviceContextState* dc = FindDc(handle);
    if (!dc) return nullptr;
    Kind* kind = FindAny(object);
    if (!kind) return nullptr;
    if (platform_trace::Recording())
        platform_trace::Record("SelectObject", "dc=" + Hex(handle) + " object=" + Hex(object));
    if (*kind == Kind::kBitmap) {
        auto* bitmap = static_cast<BitmapState*>(object);
        if (dc->paintDc) return nullptr;  // a window's DC draws into the window only
        if (bitmap == dc->bitmap) return bitmap;
        if (!bitmap->stock && bitmap->selectedInto) return nullptr;  // one DC at a time
        BitmapState* previous = dc->bitmap;
        if (!previous->stock) previous->selectedInto = nullptr;
        if (!bitmap->stock) bitmap->selectedInto = handle;
        dc->bitmap = bitmap;
        return previous;
    }
    if (*kind == Kind::kBrush) {
        auto* brush = static_cast<BrushState*>(object);
        BrushState* previous = dc->brush;
        previous->selectionCount--;
        brush->selectionCount++;
        dc->brush = brush;
        return previous;
    }
    SetLastError(ERROR_INVALID_PARAMETER);  // a DC is not selectable
    return nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
    Kind* kind = FindAny(object);
    if (!kind || *kind == Kind::kDeviceContext) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto* header = static_cast<ObjectHeader*>(object);
    if (header->stock) return TRUE;
    if (*kind == Kind::kBitmap && static_cast<BitmapState*>(object)->selectedInto) return FALSE;
    if (*kind == Kind::kBrush && static_cast<BrushState*>(object)->selectionCount > 0) return FALSE;
    if (platform_trace::Recording())
        platform_trace::Record("DeleteObject", "object=" + Hex(object));
    Destroy(header);
    return TRUE;
}

int GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
    BitmapState* bitmap = FindBitmap(object);
    if (!bitmap) return 0;
    if (!buffer || size < static_cast<int>(sizeof(BITMAP))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    BITMAP info{};
    info.bmWidth = bitmap->surface.width;
    info.bmHeight = bitmap->surface.height;
    info.bmWidthBytes = bitmap->surface.width * 4;
    info.bmPlanes = 1;
    info.bmBitsPixel = 32;
    info.bmBits = bitmap->section ? bitmap->surface.pixels.data() : nullptr;
    std::memcpy(buffer, &info, sizeof info);
    return sizeof info;
}
