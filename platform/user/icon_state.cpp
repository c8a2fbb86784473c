// Icon handles: creation from decoded pixels, lookup, DestroyIcon.
#include "platform/user/icon_state.h"

#include "platform/run_allocations.h"

#include <mutex>
#include <new>
#include <unordered_set>

namespace user_icons {
namespace {

// Opaque stretches shorter than this are blended with their neighbours: a copy call costs
// more than blending a few pixels (blending an opaque pixel gives the pixel itself).
constexpr int kShortestCopy = 8;

// The end of the opaque stretch that starts at `x`.
int OpaqueEnd(const uint32_t* row, int x, int end) {
    while (x < end && (row[x] >> 24) == 255) ++x;
    return x;
}

// The runs of every row; throws std::bad_alloc.
void MakeRuns(IconState* icon) {
    icon->rowRuns.reserve(static_cast<size_t>(icon->height) + 1);
    for (int y = 0; y < icon->height; ++y) {
        icon->rowRuns.push_back(static_cast<uint32_t>(icon->runs.size()));
        const uint32_t* row = icon->premultiplied.data() + static_cast<size_t>(y) * icon->width;
        int x = 0;
        const int end = icon->width;
        while (x < end) {
            if (row[x] == 0) {  // clear: premultiplied colour is 0 where alpha is
                ++x;
                continue;
            }
            int opaqueEnd = OpaqueEnd(row, x, end);
            if (opaqueEnd - x >= kShortestCopy) {
                icon->runs.push_back({uint16_t(x), uint16_t(opaqueEnd - x), true});
                x = opaqueEnd;
                continue;
            }
            // Blended up to the next clear pixel or long opaque stretch.
            const int start = x;
            while (x < end && row[x] != 0) {
                opaqueEnd = OpaqueEnd(row, x, end);
                if (opaqueEnd - x >= kShortestCopy) break;
                x = opaqueEnd > x ? opaqueEnd : x + 1;
            }
            icon->runs.push_back({uint16_t(start), uint16_t(x - start), false});
        }
    }
    icon->rowRuns.push_back(static_cast<uint32_t>(icon->runs.size()));
}

std::mutex tableLock;
std::unordered_set<const void*>& Table() {
    static auto* table = new std::unordered_set<const void*>();  // outlives every thread
    return *table;
}
}  // namespace

HICON Create(int width, int height, const uint8_t* bgra, bool shared) {
    if (!bgra || width < 1 || height < 1 || width > 256 || height > 256) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* icon = run_allocations::Allow() ? new (std::nothrow) IconState() : nullptr;
    if (!icon) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    try {
        icon->premultiplied.resize(static_cast<size_t>(width) * height);
    } catch (const std::bad_alloc&) {
        delete icon;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    icon->width = width;
    icon->height = height;
    icon->shared = shared;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = bgra + (static_cast<size_t>(y) * width + x) * 4;
            const uint32_t a = p[3];
            uint32_t& out = icon->premultiplied[static_cast<size_t>(y) * width + x];
            // Most pixels of the pictures are either clear or solid, and scaling by 0 or 255
            // changes nothing: only the soft edges pay for the arithmetic.
            if (a == 0) {
                out = 0;
                continue;
            }
            if (a == 255) {
                out = 0xFF000000u | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
            } else {
                auto scale = [a](uint32_t c) { return (c * a + 127) / 255; };
                out = (a << 24) | (scale(p[2]) << 16) | (scale(p[1]) << 8) | scale(p[0]);
            }
        }
    }
    try {
        MakeRuns(icon);
    } catch (const std::bad_alloc&) {
        delete icon;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(tableLock);
    Table().insert(icon);
    return reinterpret_cast<HICON>(icon);
}

IconState* Find(HICON icon) {
    {
        std::lock_guard<std::mutex> guard(tableLock);
        if (Table().count(icon)) return reinterpret_cast<IconState*>(icon);
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

}  // namespace user_icons

BOOL DestroyIcon(HICON icon) {
    user_icons::IconState* state = user_icons::Find(icon);
    if (!state) return FALSE;
    if (state->shared) return TRUE;  // shared icons live as long as the process, as on Windows
    {
        std::lock_guard<std::mutex> guard(user_icons::tableLock);
        user_icons::Table().erase(state);
    }
    delete state;
    return TRUE;
}
