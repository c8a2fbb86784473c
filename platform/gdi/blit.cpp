// BitBlt with SRCCOPY: the one block transfer the scene needs.
#include "platform/gdi/gdi_objects.h"
#include "platform/trace.h"

#include <cstdio>
#include <cstring>
#include <vector>

using namespace gdi_objects;

BOOL BitBlt(HDC destHandle, int x, int y, int width, int height, HDC sourceHandle, int sourceX,
            int sourceY, DWORD rop) {
    DeviceContextState* dest = FindDc(destHandle);
    if (!dest) return FALSE;
    DeviceContextState* source = FindDc(sourceHandle);
    if (!source) return FALSE;
    if (rop != SRCCOPY) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    if (width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (platform_trace::Recording()) {
        char text[160];
        std::snprintf(
            text, sizeof text, "dc=%p at=%d,%d size=%dx%d source=%p from=%d,%d rop=0x%08x",
            static_cast<void*>(destHandle), x, y, width, height, static_cast<void*>(sourceHandle),
            sourceX, sourceY, static_cast<unsigned>(rop));
        platform_trace::Record("BitBlt", text);
    }

    // Clip the destination rectangle, then cut it further where the source runs out.
    RECT area = Intersect(RECT{x, y, x + width, y + height}, DrawableArea(dest));
    RECT sourceArea = DrawableArea(source);
    RECT fromSource =
        Intersect(RECT{sourceArea.left - sourceX + x, sourceArea.top - sourceY + y,
                       sourceArea.right - sourceX + x, sourceArea.bottom - sourceY + y},
                  area);
    if (IsEmpty(fromSource)) return TRUE;
    PixelSurface* to = TargetOf(dest);
    PixelSurface* from = TargetOf(source);
    const size_t rowBytes = static_cast<size_t>(fromSource.right - fromSource.left) * 4;
    const int rows = fromSource.bottom - fromSource.top;
    const bool sameSurface = to == from;
    decltype(from->pixels) copy;
    if (sameSurface) copy = from->pixels;  // overlapping source and destination
    for (int row = 0; row < rows; ++row) {
        int ty = fromSource.top + row;
        int sy = ty - y + sourceY;
        int sx = fromSource.left - x + sourceX;
        const uint32_t* src =
            (sameSurface ? copy.data() + static_cast<size_t>(sy) * from->width : from->Row(sy)) +
            sx;
        std::memcpy(to->Row(ty) + fromSource.left, src, rowBytes);
    }
    return TRUE;
}
