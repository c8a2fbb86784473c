// Private state of icon handles (HICON) on the portable host: the pixels of one image at
// one size, kept premultiplied with per-row spans of visible pixels so that drawing skips
// the transparent parts. Made by LoadImageA / LoadIconA, drawn by DrawIconEx.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <vector>

namespace user_icons {

struct IconState {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> premultiplied;  // 0xAARRGGBB, colour already times alpha / 255
    std::vector<int> firstVisible;        // per row: first column with alpha > 0 (width if none)
    std::vector<int> endVisible;          // per row: one past the last such column
    bool shared = false;                  // from LoadIconA: DestroyIcon leaves it alone
};

// A new icon from straight-alpha pixels laid out B, G, R, A, rows top-down. Null with
// ERROR_NOT_ENOUGH_MEMORY or ERROR_INVALID_PARAMETER (size outside 1..256 or no pixels).
HICON Create(int width, int height, const uint8_t* bgra, bool shared);

// The state of a live icon, or null with ERROR_INVALID_HANDLE (ERROR_INVALID_CURSOR_HANDLE
// on Windows; one code for every dead handle here).
IconState* Find(HICON icon);

}  // namespace user_icons
