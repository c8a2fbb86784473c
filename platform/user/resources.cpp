// LoadImageA and LoadIconA: icons from the icon groups embedded in the program, chosen by
// exact size and decoded by platform/user/icon_file.h.
#include "platform/trace.h"
#include "platform/user/icon_file.h"
#include "platform/user/icon_state.h"
#include "platform/win32.h"
#include "resources/embedded_icons.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <tuple>

namespace {

constexpr int kStandardIconSize = 32;  // SM_CXICON / SM_CYICON at 96 DPI

std::mutex sharedLock;
std::map<std::tuple<int, int, int>, HICON>& SharedIcons() {
    static auto* shared = new std::map<std::tuple<int, int, int>, HICON>();
    return *shared;
}

HICON Load(HINSTANCE instance, LPCSTR name, int width, int height, UINT flags) {
    if (!IS_INTRESOURCE(name)) {
        SetLastError(ERROR_NOT_SUPPORTED);  // the program names its resources by number
        return nullptr;
    }
    if (!instance) {  // system icons are not held here
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    if (instance != GetModuleHandleA(nullptr)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const int id = LOWORD(name);
    size_t size = 0;
    const unsigned char* group = EmbeddedIconGroup(id, &size);
    std::vector<IconFileEntry> entries;
    if (!group || !ParseIconFile(group, size, &entries)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    if (width == 0) width = (flags & LR_DEFAULTSIZE) ? kStandardIconSize : entries[0].width;
    if (height == 0) height = (flags & LR_DEFAULTSIZE) ? kStandardIconSize : entries[0].height;
    const bool shared = (flags & LR_SHARED) != 0;
    const auto key = std::make_tuple(id, width, height);
    std::lock_guard<std::mutex> guard(sharedLock);
    if (shared) {
        auto found = SharedIcons().find(key);
        if (found != SharedIcons().end()) return found->second;
    }
    int index = FindIconEntry(entries, width, height);
    if (index < 0) {
        SetLastError(ERROR_NOT_SUPPORTED);  // no image of that size, and nothing is scaled
        return nullptr;
    }
    // One decoding buffer for every load (they run under sharedLock): its pages are touched
    // once, not once per icon.
    static IconPixels& pixels = *new IconPixels();
    if (!DecodeIconEntry(group, size, entries[index], &pixels)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    HICON icon = user_icons::Create(pixels.width, pixels.height, pixels.bgra.data(), shared);
    if (icon && shared) SharedIcons()[key] = icon;
    return icon;
}

}  // namespace

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags) {
    HICON icon = nullptr;
    if (type != IMAGE_ICON || (flags & ~(LR_SHARED | LR_DEFAULTSIZE)) || width < 0 || height < 0) {
        SetLastError(ERROR_NOT_SUPPORTED);
    } else {
        icon = Load(instance, name, width, height, flags);
    }
    if (platform_trace::Recording()) {
        char text[96];
        std::snprintf(text, sizeof text, "id=%u size=%dx%d icon=%p",
                      static_cast<unsigned>(reinterpret_cast<uintptr_t>(name)), width, height,
                      static_cast<void*>(icon));
        platform_trace::Record("LoadImageA", text);
    }
    return icon;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    return Load(instance, name, kStandardIconSize, kStandardIconSize, LR_SHARED);
}
