// Bitmaps: CreateCompatibleBitmap, CreateDIBSection and GetPixel. Every bitmap is 32-bit.
#include "platform/gdi/gdi_objects.h"
#include "platform/run_allocations.h"
#include "platform/trace.h"

#include <cstdio>
#include <new>

using namespace gdi_objects;

namespace {

// Larger requests fail as out of memory instead of asking the allocator for gigabytes.
constexpr long long kMaxPixels = 1LL << 26;

BitmapState* NewBitmap(int width, int height) {
    if (static_cast<long long>(width) * height > kMaxPixels) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto* bitmap = run_allocations::Allow() ? new (std::nothrow) BitmapState() : nullptr;
    if (!bitmap) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    try {
        bitmap->surface.pixels.assign(static_cast<size_t>(width) * height, 0);
    } catch (const std::bad_alloc&) {
        delete bitmap;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    bitmap->surface.width = width;
    bitmap->surface.height = height;
    Register(bitmap);
    return bitmap;
}

}  // namespace

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (!FindDc(dc)) return nullptr;
    if (width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const int askedWidth = width, askedHeight = height;
    if (width == 0 || height == 0) width = height = 1;  // as Windows does
    auto* bitmap = reinterpret_cast<HBITMAP>(NewBitmap(width, height));
    if (platform_trace::Recording()) {
        char text[96];
        std::snprintf(text, sizeof text, "dc=%p size=%dx%d bitmap=%p", static_cast<void*>(dc),
                      askedWidth, askedHeight, static_cast<void*>(bitmap));
        platform_trace::Record("CreateCompatibleBitmap", text);
    }
    return bitmap;
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD) {
    if (bits) *bits = nullptr;
    if (dc && !FindDc(dc)) return nullptr;
    if (!info || !bits || section || usage != DIB_RGB_COLORS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biWidth <= 0 || header.biHeight == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (header.biBitCount != 32 || header.biCompression != BI_RGB || header.biHeight > 0 ||
        header.biPlanes != 1) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    BitmapState* bitmap = NewBitmap(header.biWidth, -header.biHeight);
    if (!bitmap) return nullptr;
    bitmap->section = true;
    *bits = bitmap->surface.pixels.data();
    return reinterpret_cast<HBITMAP>(bitmap);
}

COLORREF GetPixel(HDC handle, int x, int y) {
    DeviceContextState* dc = FindDc(handle);
    if (!dc) return CLR_INVALID;
    RECT area = DrawableArea(dc);
    if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) return CLR_INVALID;
    return ColorOf(TargetOf(dc)->Row(y)[x]);
}
