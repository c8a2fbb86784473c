// Private state of icon handles (HICON) on the portable host: the pixels of one image at
// one size, kept premultiplied with per-row runs of visible pixels so that drawing skips
// the transparent parts and copies the opaque ones. Made by LoadImageA / LoadIconA, drawn
// by DrawIconEx.
#pragma once

#include "platform/gdi/pixel_memory.h"
#include "platform/win32.h"

#include <cstdint>
#include <vector>

namespace user_icons {

// Visible pixels of one row, from column `start` on: all opaque (copied as they are) or
// not (blended one by one).
struct PixelRun {
    uint16_t start;
    uint16_t length;
    bool opaque;
};

struct IconState {
    int width = 0;
    int height = 0;
    // 0xAARRGGBB, colour already times alpha / 255
    std::vector<uint32_t, pixel_memory::Allocator<uint32_t, pixel_memory::Carved>> premultiplied;
    std::vector<PixelRun> runs;           // every row's runs, left to right, rows top-down
    std::vector<uint32_t> rowRuns;  // row y's runs are runs[rowRuns[y]] to runs[rowRuns[y + 1]]
    bool shared = false;            // from LoadIconA: DestroyIcon leaves it alone
};

// A new icon from straight-alpha pixels laid out B, G, R, A, rows top-down. Null with
// ERROR_NOT_ENOUGH_MEMORY or ERROR_INVALID_PARAMETER (size outside 1..256 or no pixels).
HICON Create(int width, int height, const uint8_t* bgra, bool shared);

// The state of a live icon, or null with ERROR_INVALID_HANDLE (ERROR_INVALID_CURSOR_HANDLE
// on Windows; one code for every dead handle here).
IconState* Find(HICON icon);

}  // namespace user_icons
