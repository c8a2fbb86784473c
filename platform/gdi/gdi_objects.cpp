// The table of live GDI handles and the stock objects. A handle is the address of its state
// struct; the table decides whether a value is live, so stale or foreign handles are
// refused instead of dereferenced. One lock guards the table; drawing itself takes none
// (a DC is used by one thread at a time, as on Windows).
#include "platform/gdi/gdi_objects.h"

#include "platform/run_allocations.h"

#include <mutex>
#include <new>
#include <unordered_map>

namespace gdi_objects {
namespace {

std::mutex tableLock;
std::unordered_map<const void*, Kind>& Table() {
    static auto* table = new std::unordered_map<const void*, Kind>();  // outlives every thread
    return *table;
}

template <typename State>
State* Find(const void* handle, Kind kind) {
    {
        std::lock_guard<std::mutex> guard(tableLock);
        auto found = Table().find(handle);
        if (found != Table().end() && found->second == kind)
            return static_cast<State*>(const_cast<void*>(handle));
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

}  // namespace

size_t LiveObjectCount() {
    std::lock_guard<std::mutex> guard(tableLock);
    return Table().size();
}

void* Register(ObjectHeader* object) {
    std::lock_guard<std::mutex> guard(tableLock);
    Table()[object] = object->kind;
    return object;
}

void Destroy(ObjectHeader* object) {
    {
        std::lock_guard<std::mutex> guard(tableLock);
        Table().erase(object);
    }
    switch (object->kind) {
        case Kind::kBitmap:
            delete static_cast<BitmapState*>(object);
            break;
        case Kind::kBrush:
            delete static_cast<BrushState*>(object);
            break;
        case Kind::kDeviceContext:
            delete static_cast<DeviceContextState*>(object);
            break;
    }
}

DeviceContextState* FindDc(HDC dc) {
    return Find<DeviceContextState>(dc, Kind::kDeviceContext);
}
BitmapState* FindBitmap(HGDIOBJ object) {
    return Find<BitmapState>(object, Kind::kBitmap);
}
BrushState* FindBrush(HGDIOBJ object) {
    return Find<BrushState>(object, Kind::kBrush);
}

Kind* FindAny(HGDIOBJ object) {
    {
        std::lock_guard<std::mutex> guard(tableLock);
        if (Table().count(object)) return &static_cast<ObjectHeader*>(object)->kind;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

BitmapState* StockBitmap() {
    // Windows gives a new memory DC a 1 x 1 monochrome stock bitmap; here it is 32-bit.
    static BitmapState* stock = [] {
        auto* bitmap = new BitmapState();
        bitmap->stock = true;
        bitmap->surface.width = bitmap->surface.height = 1;
        bitmap->surface.pixels.assign(1, 0);
        Register(bitmap);
        return bitmap;
    }();
    return stock;
}

BrushState* StockWhiteBrush() {
    static BrushState* stock = [] {
        auto* brush = new BrushState();
        brush->stock = true;
        brush->color = 0x00FFFFFF;
        Register(brush);
        return brush;
    }();
    return stock;
}

PixelSurface* TargetOf(DeviceContextState* dc) {
    return dc->paintDc ? dc->windowPixels : &dc->bitmap->surface;
}

RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
           a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    if (IsEmpty(r)) r = RECT{0, 0, 0, 0};
    return r;
}

RECT DrawableArea(DeviceContextState* dc) {
    PixelSurface* target = TargetOf(dc);
    RECT all{0, 0, target->width, target->height};
    return dc->hasClip ? Intersect(all, dc->clip) : all;
}

HDC CreatePaintDc(PixelSurface* windowPixels, const RECT& clip) {
    auto* dc = run_allocations::Allow() ? new (std::nothrow) DeviceContextState() : nullptr;
    if (!dc) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    dc->paintDc = true;
    dc->windowPixels = windowPixels;
    dc->brush = StockWhiteBrush();
    dc->brush->selectionCount++;
    dc->clip = clip;
    dc->hasClip = true;
    return static_cast<HDC>(Register(dc));
}

void DeletePaintDc(HDC handle) {
    DeviceContextState* dc = FindDc(handle);
    if (!dc || !dc->paintDc) return;
    if (dc->brush) dc->brush->selectionCount--;
    Destroy(dc);
}

}  // namespace gdi_objects
