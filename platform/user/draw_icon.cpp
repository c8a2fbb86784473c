// DrawIconEx with DI_NORMAL for 32-bit icons with alpha: each pixel is blended over the
// target as source-over with premultiplied colour, the way Windows composes such icons
// (AlphaBlend with per-pixel alpha); pixels of alpha 0 leave the target untouched.
#include "platform/gdi/gdi_objects.h"
#include "platform/trace.h"
#include "platform/user/icon_state.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace gdi_objects;

namespace {

// source + dest * (255 - alpha) / 255 per channel, rounded to nearest, two channels at a time
// (blue and red, then green and alpha, each in a 16-bit lane): t = x + 128 and
// (t + (t >> 8)) >> 8 is x / 255 rounded, exactly, for every x up to 255 * 255.
inline uint32_t Blend(uint32_t source, uint32_t dest) {
    const uint32_t alpha = source >> 24;
    if (alpha == 255) return source;
    const uint32_t keep = 255 - alpha;
    uint32_t rb = (dest & 0x00FF00FF) * keep + 0x00800080;
    rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
    uint32_t ag = ((dest >> 8) & 0x00FF00FF) * keep + 0x00800080;
    ag = (ag + ((ag >> 8) & 0x00FF00FF)) & 0xFF00FF00;
    return source + rb + ag;
}

}  // namespace

BOOL DrawIconEx(HDC handle, int left, int top, HICON iconHandle, int width, int height, UINT,
                HBRUSH flickerFreeBrush, UINT flags) {
    DeviceContextState* dc = FindDc(handle);
    if (!dc) return FALSE;
    user_icons::IconState* icon = user_icons::Find(iconHandle);
    if (!icon) return FALSE;
    if (width == 0) width = icon->width;
    if (height == 0) height = icon->height;
    if (platform_trace::Recording()) {
        char text[128];
        std::snprintf(text, sizeof text, "dc=%p at=%d,%d size=%dx%d icon=%p flags=0x%x",
                      static_cast<void*>(handle), left, top, width, height,
                      static_cast<void*>(iconHandle), flags);
        platform_trace::Record("DrawIconEx", text);
    }
    if ((flags & ~DI_DEFAULTSIZE) != DI_NORMAL || flickerFreeBrush || width != icon->width ||
        height != icon->height) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    RECT area = Intersect(RECT{left, top, left + width, top + height}, DrawableArea(dc));
    PixelSurface* target = TargetOf(dc);
    // The icon's columns inside the drawable area.
    const int clipFrom = area.left - left, clipTo = area.right - left;
    for (LONG y = area.top; y < area.bottom; ++y) {
        const int iy = y - top;
        const uint32_t* source = icon->premultiplied.data() + static_cast<size_t>(iy) * width;
        uint32_t* row = target->Row(y);
        for (uint32_t r = icon->rowRuns[iy]; r < icon->rowRuns[iy + 1]; ++r) {
            const user_icons::PixelRun& run = icon->runs[r];
            const int from = std::max<int>(clipFrom, run.start);
            const int to = std::min<int>(clipTo, run.start + run.length);
            if (from >= to) continue;
            if (run.opaque) {
                std::memcpy(row + left + from, source + from, static_cast<size_t>(to - from) * 4);
                continue;
            }
            for (int x = from; x < to; ++x)
                if (source[x] >> 24) row[left + x] = Blend(source[x], row[left + x]);
        }
    }
    return TRUE;
}
